// POP3 client (RFC 1939). TCustomPop3Cli is the protocol itself: bytes in, command lines and
// connection requests out, events for every reply; it needs no network and is what the tests
// and the fuzz target drive. TPop3Cli runs it over an orva::StreamSocket.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "platform/Network.h"

namespace orva {

enum class TPop3ProtocolState {
  pop3Disconnected,
  pop3WaitingUser,
  pop3WaitingPass,
  pop3Transaction
};

enum class TPop3Request {
  pop3Connect,
  pop3User,
  pop3Pass,
  pop3RPop,
  pop3APop,
  pop3Stat,
  pop3List,
  pop3Uidl,
  pop3Retr,
  pop3Top,
  pop3Dele,
  pop3Noop,
  pop3RSet,
  pop3Last,
  pop3Quit,
  pop3Abort,
};

// A request that cannot even start (busy, not connected, bad argument).
class Pop3Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Error codes of OnRequestDone besides 0 (success).
constexpr int kPop3ErrorReply = 500;    // negative reply, lost connection, protocol fault
constexpr int kPop3ErrorAborted = 426;  // Abort

// "4A7D1ED414474E4033AC29CCB8653D9B" style digest of RFC 1321, in lower case.
std::string Md5Hex(std::string_view bytes);

class TCustomPop3Cli {
 public:
  // A reply line holds at most this many bytes with its CR LF; the rest of a longer line is
  // read and dropped.
  static constexpr std::size_t kLineBufferSize = 4096;
  // A multi-line reply (a whole message for RETR) larger than this ends the request.
  static constexpr std::size_t kDefaultMaxReplyBytes = 64u << 20;
  // A one-line reply (greeting, status) larger than this ends the request: no honest server
  // sends one longer than a few hundred bytes.
  static constexpr std::size_t kMaxStatusReplyBytes = 64u << 10;
  static constexpr int kDefaultReadTimeoutMs = 60000;

  TCustomPop3Cli() = default;
  virtual ~TCustomPop3Cli() = default;
  TCustomPop3Cli(const TCustomPop3Cli&) = delete;
  TCustomPop3Cli& operator=(const TCustomPop3Cli&) = delete;

  // Properties.
  std::string Host;
  std::string Port = "pop3";
  std::string UserName;
  std::string PassWord;
  int MsgNum = 0;
  int MsgLines = 0;
  const std::string& ErrorMessage() const { return m_errorMessage; }
  const std::string& LastResponse() const { return m_lastResponse; }
  TPop3ProtocolState ProtocolState() const { return m_state; }
  int MsgCount() const { return m_msgCount; }
  long long MsgSize() const { return m_msgSize; }
  const std::string& MsgUidl() const { return m_msgUidl; }
  const std::string& Timestamp() const { return m_timestamp; }
  bool Busy() const { return m_running; }
  bool Connected() const { return m_connected || m_connecting; }
  std::size_t MaxReplyBytes = kDefaultMaxReplyBytes;
  // Connect asks for an encrypted session (TLS from the first byte on port 995, STLS after the
  // greeting elsewhere) and no login command goes out without one.
  bool RequireTls = false;
  bool Encrypted() const { return m_encrypted; }
  // A request that hears nothing from the server for this long fails (connecting, the TLS
  // handshake and every reply); it needs the timer given to SetReadTimer.
  int ReadTimeoutMs = kDefaultReadTimeoutMs;
  void SetReadTimer(std::unique_ptr<Timer> timer);

  // Requests. Each ends with exactly one OnRequestDone; a request that cannot start throws
  // Pop3Exception and raises no event.
  void Connect();
  void User();
  void Pass();
  void RPop();
  void APop();
  void Stat();
  void List();
  void Uidl();
  void Retr();
  void Top();
  void Dele();
  void Noop();
  void RSet();
  void Last();
  void Quit();
  void Abort();

  // Events.
  std::function<void(const std::string& text)> OnDisplay;
  std::function<void()> OnMessageBegin, OnMessageLine, OnMessageEnd;
  std::function<void()> OnListBegin, OnListLine, OnListEnd;
  std::function<void(TPop3Request request, int error)> OnRequestDone;

  // What the transport reports.
  void TransportConnected();
  void TransportData(std::string_view bytes);
  void TransportClosed();
  void TransportError(const std::string& text);
  // The TLS handshake is done and the server's certificate verified.
  void TransportEncrypted();

 protected:
  // What the protocol asks of the transport.
  // `encrypted`: TLS from the first byte.
  virtual void OpenConnection(const std::string& host, std::uint16_t port, bool encrypted) = 0;
  // STLS: TLS on the open connection; ends in TransportEncrypted or TransportError.
  virtual void StartEncryption() { TransportError("TLS not available"); }
  virtual void SendBytes(std::string_view bytes) = 0;
  virtual void CloseConnection() = 0;

 private:
  enum class Phase { Idle, Connecting, FirstLine, MultiLine };
  // The steps of Connect after the greeting when TLS comes by STLS.
  enum class TlsStage { None, Capa, CapaLines, Stls, Handshake };

  void Begin(TPop3Request request, bool needsConnection = true);
  void SendCommand(const std::string& command);
  // A request refused by the protocol state: ends at once with a "-ERR" text.
  void FailNow(const std::string& text);
  void DropConnection();
  void Finish(int error);
  void Fail(int error, const std::string& text, bool dropConnection);
  void HandleLine(std::string line);
  void HandleFirstLine(const std::string& line);
  void HandleDataLine(std::string line);
  bool TransactionCommand(TPop3Request request, const char* name);
  void MultiLineBegin();
  void MultiLineEnd();
  void MultiLineLine();
  void ConnectGreeted();
  void HandleTlsLine(const std::string& line);
  bool RefuseWithoutTls(const char* command);
  void ArmReadTimer();
  void ReadTimedOut();

  TPop3ProtocolState m_state = TPop3ProtocolState::pop3Disconnected;
  TPop3Request m_request = TPop3Request::pop3Noop;
  Phase m_phase = Phase::Idle;
  bool m_running = false;
  bool m_connected = false;
  bool m_connecting = false;
  bool m_multiLine = false;  // the running request expects a multi-line reply
  std::size_t m_replyBytes = 0;
  bool m_dropRestOfLine = false;  // a line passed the buffer: its rest is dropped
  bool m_implicitTls = false;
  bool m_encrypted = false;
  bool m_capaStls = false;
  TlsStage m_tlsStage = TlsStage::None;
  std::unique_ptr<Timer> m_readTimer;
  std::uint64_t m_generation = 0;  // bumped whenever the connection is dropped
  std::string m_buffer;
  std::string m_errorMessage;
  std::string m_lastResponse;
  std::string m_timestamp;
  std::string m_msgUidl;
  int m_msgCount = 0;
  long long m_msgSize = 0;
};

// The client over a stream socket.
class TPop3Cli final : public TCustomPop3Cli {
 public:
  explicit TPop3Cli(NetworkFactory& network);
  // Tests: a socket of their own.
  explicit TPop3Cli(std::unique_ptr<StreamSocket> socket);
  ~TPop3Cli() override;

 protected:
  void OpenConnection(const std::string& host, std::uint16_t port, bool encrypted) override;
  void StartEncryption() override;
  void SendBytes(std::string_view bytes) override;
  void CloseConnection() override;

 private:
  void Wire();
  std::unique_ptr<StreamSocket> m_socket;
};

// "pop3" and "pop3s" by name, otherwise a number 1..65535; 0 when the text is neither.
std::uint16_t Pop3PortNumber(std::string_view port);

}  // namespace orva

// POP3 client: command sequencing, the line buffer, multi-line replies and the socket glue.
#include "net/Pop3Prot.h"
#include "platform/Trim.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>
#include <vector>

namespace orva {

namespace {

// Command arguments never carry a line end into the command stream.
std::string OneLine(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != '\r' && c != '\n') out += c;
  return out;
}

// The words after the status indicator ("+OK 3 1200" -> "3", "1200").
std::vector<std::string_view> ReplyWords(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size() && line[i] != ' ') ++i;  // skip "+OK"
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

// A decimal number, saturated at the type's maximum; 0 when the word is not a number.
template <class T>
T ReplyNumber(const std::vector<std::string_view>& words, std::size_t n) {
  if (n >= words.size()) return 0;
  T value = 0;
  const auto w = words[n];
  const auto [ptr, ec] = std::from_chars(w.data(), w.data() + w.size(), value);
  if (ec == std::errc::result_out_of_range) return std::numeric_limits<T>::max();
  if (ec != std::errc() || value < 0) return 0;
  (void)ptr;
  return value;
}

}  // namespace

std::string Md5Hex(std::string_view bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned int i = 0; i < length; ++i) {
    out += kHex[digest[i] >> 4];
    out += kHex[digest[i] & 15];
  }
  return out;
}

std::uint16_t Pop3PortNumber(std::string_view port) {
  const std::string p(TrimControls(port));
  if (p == "pop3") return 110;
  if (p == "pop3s") return 995;
  unsigned value = 0;
  const auto [ptr, ec] = std::from_chars(p.data(), p.data() + p.size(), value);
  if (ec != std::errc() || ptr != p.data() + p.size() || value == 0 || value > 65535) return 0;
  return static_cast<std::uint16_t>(value);
}

// ---- requests ----

void TCustomPop3Cli::Begin(TPop3Request request, bool needsConnection) {
  if (m_running) throw Pop3Exception("POP3 component not ready");
  if (needsConnection && !m_connected) throw Pop3Exception("POP3 component not connected");
  m_request = request;
  m_running = true;
  m_errorMessage.clear();
  m_multiLine = false;
  m_replyBytes = 0;
}

void TCustomPop3Cli::SendCommand(const std::string& command) {
  if (OnDisplay) OnDisplay("> " + command);
  m_phase = Phase::FirstLine;
  ArmReadTimer();
  SendBytes(command + "\r\n");
}

void TCustomPop3Cli::SetReadTimer(std::unique_ptr<Timer> timer) {
  m_readTimer = std::move(timer);
  if (m_readTimer) m_readTimer->OnTimer = [this] { ReadTimedOut(); };
}

void TCustomPop3Cli::ArmReadTimer() {
  if (!m_readTimer) return;
  m_readTimer->SetEnabled(false);
  if (ReadTimeoutMs <= 0) return;
  m_readTimer->SetInterval(ReadTimeoutMs);
  m_readTimer->SetEnabled(true);
}

void TCustomPop3Cli::ReadTimedOut() {
  if (m_readTimer) m_readTimer->SetEnabled(false);
  if (!m_running) return;
  Fail(kPop3ErrorReply,
       "-ERR Read timeout: no answer in " + std::to_string(ReadTimeoutMs / 1000) + " s", true);
}

bool TCustomPop3Cli::RefuseWithoutTls(const char* command) {
  if (!RequireTls || m_encrypted) return false;
  FailNow(std::string("-ERR Encrypted connection required: ") + command + " not sent");
  return true;
}

void TCustomPop3Cli::FailNow(const std::string& text) {
  Fail(kPop3ErrorReply, text, false);
}

void TCustomPop3Cli::Finish(int error) {
  if (m_readTimer) m_readTimer->SetEnabled(false);
  m_running = false;
  m_phase = Phase::Idle;
  // The handler may start the next request at once.
  if (OnRequestDone) OnRequestDone(m_request, error);
}

void TCustomPop3Cli::DropConnection() {
  if (m_connected || m_connecting) CloseConnection();
  m_connected = m_connecting = false;
  m_buffer.clear();
  m_dropRestOfLine = false;
  m_encrypted = false;
  m_tlsStage = TlsStage::None;
  if (m_readTimer) m_readTimer->SetEnabled(false);
  ++m_generation;
  m_state = TPop3ProtocolState::pop3Disconnected;
}

void TCustomPop3Cli::Fail(int error, const std::string& text, bool dropConnection) {
  if (dropConnection) DropConnection();
  m_errorMessage = text;
  Finish(error);
}

void TCustomPop3Cli::Connect() {
  if (m_running) throw Pop3Exception("POP3 component not ready");
  if (m_connected || m_connecting) throw Pop3Exception("POP3 component already connected");
  const std::uint16_t port = Pop3PortNumber(Port);
  if (port == 0) throw Pop3Exception("Invalid port " + Port);
  Begin(TPop3Request::pop3Connect, false);
  m_buffer.clear();
  m_timestamp.clear();
  ++m_generation;
  m_connecting = true;
  m_phase = Phase::Connecting;
  m_dropRestOfLine = false;
  m_encrypted = false;
  m_tlsStage = TlsStage::None;
  // Port 995 ("pop3s") speaks TLS from the first byte.
  m_implicitTls = port == 995;
  ArmReadTimer();
  OpenConnection(std::string(TrimControls(Host)), port, m_implicitTls);
}

void TCustomPop3Cli::User() {
  Begin(TPop3Request::pop3User);
  if (m_state != TPop3ProtocolState::pop3WaitingUser)
    return FailNow("-ERR USER command invalid now");
  if (RefuseWithoutTls("USER")) return;
  SendCommand("USER " + OneLine(UserName));
}

void TCustomPop3Cli::Pass() {
  Begin(TPop3Request::pop3Pass);
  if (m_state != TPop3ProtocolState::pop3WaitingPass)
    return FailNow("-ERR PASS command invalid now");
  if (RefuseWithoutTls("PASS")) return;
  SendCommand("PASS " + OneLine(PassWord));
}

void TCustomPop3Cli::RPop() {
  Begin(TPop3Request::pop3RPop);
  if (m_state != TPop3ProtocolState::pop3WaitingPass)
    return FailNow("-ERR RPOP command invalid now");
  if (RefuseWithoutTls("RPOP")) return;
  SendCommand("RPOP " + OneLine(PassWord));
}

void TCustomPop3Cli::APop() {
  Begin(TPop3Request::pop3APop);
  if (m_state != TPop3ProtocolState::pop3WaitingUser)
    return FailNow("-ERR APOP command invalid now");
  if (m_timestamp.empty()) return FailNow("-ERR Server do not support APOP (no timestamp)");
  if (RefuseWithoutTls("APOP")) return;
  SendCommand("APOP " + OneLine(TrimControls(UserName)) + " " + Md5Hex(m_timestamp + PassWord));
}

bool TCustomPop3Cli::TransactionCommand(TPop3Request request, const char* name) {
  Begin(request);
  if (m_state != TPop3ProtocolState::pop3Transaction) {
    FailNow(std::string("-ERR ") + name + " command invalid now");
    return false;
  }
  return true;
}

void TCustomPop3Cli::Stat() {
  if (TransactionCommand(TPop3Request::pop3Stat, "STAT")) SendCommand("STAT");
}

void TCustomPop3Cli::List() {
  if (!TransactionCommand(TPop3Request::pop3List, "LIST")) return;
  m_multiLine = MsgNum <= 0;
  SendCommand(MsgNum > 0 ? "LIST " + std::to_string(MsgNum) : std::string("LIST"));
}

void TCustomPop3Cli::Uidl() {
  if (!TransactionCommand(TPop3Request::pop3Uidl, "UIDL")) return;
  m_multiLine = MsgNum <= 0;
  SendCommand(MsgNum > 0 ? "UIDL " + std::to_string(MsgNum) : std::string("UIDL"));
}

void TCustomPop3Cli::Retr() {
  if (!TransactionCommand(TPop3Request::pop3Retr, "RETR")) return;
  m_multiLine = true;
  SendCommand("RETR " + std::to_string(MsgNum));
}

void TCustomPop3Cli::Top() {
  if (MsgLines < 0) throw Pop3Exception("Invalid MsgLines for TOP command");
  if (!TransactionCommand(TPop3Request::pop3Top, "TOP")) return;
  m_multiLine = true;
  SendCommand("TOP " + std::to_string(MsgNum) + " " + std::to_string(MsgLines));
}

void TCustomPop3Cli::Dele() {
  if (TransactionCommand(TPop3Request::pop3Dele, "DELE"))
    SendCommand("DELE " + std::to_string(MsgNum));
}

void TCustomPop3Cli::Noop() {
  if (TransactionCommand(TPop3Request::pop3Noop, "NOOP")) SendCommand("NOOP");
}

void TCustomPop3Cli::RSet() {
  if (TransactionCommand(TPop3Request::pop3RSet, "RSET")) SendCommand("RSET");
}

void TCustomPop3Cli::Last() {
  if (TransactionCommand(TPop3Request::pop3Last, "LAST")) SendCommand("LAST");
}

void TCustomPop3Cli::Quit() {
  Begin(TPop3Request::pop3Quit);
  SendCommand("QUIT");
}

void TCustomPop3Cli::Abort() {
  // Abort never waits for anything: it drops the connection and ends whatever ran.
  m_request = TPop3Request::pop3Abort;
  m_running = true;
  Fail(kPop3ErrorAborted, "426 Operation aborted.", true);
}

// ---- transport events ----

void TCustomPop3Cli::TransportConnected() {
  if (!m_connecting) return;
  m_connecting = false;
  m_connected = true;
  m_phase = Phase::FirstLine;  // the greeting
}

void TCustomPop3Cli::TransportData(std::string_view bytes) {
  if (!m_connected) return;
  // Nothing is read in clear where TLS was asked for and is not yet in place: on port 995
  // before the handshake, after STLS whatever a man in the middle slipped in.
  if ((m_implicitTls && !m_encrypted) || m_tlsStage == TlsStage::Handshake) return;
  if (m_running) ArmReadTimer();  // the server is alive
  const std::uint64_t generation = m_generation;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const std::size_t lf = bytes.find('\n', pos);
    const std::size_t end = lf == std::string_view::npos ? bytes.size() : lf;
    if (m_running) {
      // Every byte of a reply counts against its bound as it arrives, so a reply that never
      // ends is stopped there, whether its lines end or not.
      m_replyBytes += (lf == std::string_view::npos ? end : lf + 1) - pos;
      const bool multiLine = m_phase == Phase::MultiLine || m_tlsStage == TlsStage::CapaLines;
      if (m_replyBytes > (multiLine ? MaxReplyBytes : kMaxStatusReplyBytes))
        return Fail(kPop3ErrorReply, "-ERR Reply too long", true);
    }
    if (!m_dropRestOfLine) {
      // The line and its CR fit in the buffer with the LF; a longer line is cut there.
      const std::size_t room = kLineBufferSize - 1 - m_buffer.size();
      m_buffer.append(bytes.substr(pos, std::min(end - pos, room)));
      if (end - pos > room) m_dropRestOfLine = true;
    }
    if (lf == std::string_view::npos) return;
    pos = lf + 1;
    m_dropRestOfLine = false;
    std::string line;
    line.swap(m_buffer);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > kLineBufferSize - 2) line.resize(kLineBufferSize - 2);
    HandleLine(std::move(line));
    if (generation != m_generation) return;         // the connection was dropped meanwhile
    if (m_tlsStage == TlsStage::Handshake) return;  // the rest came in clear after STLS
  }
}

void TCustomPop3Cli::TransportEncrypted() {
  if (!m_connected && !m_connecting) return;
  m_encrypted = true;
  if (m_running && m_request == TPop3Request::pop3Connect && m_tlsStage == TlsStage::Handshake) {
    m_tlsStage = TlsStage::None;
    ConnectGreeted();
  }
}

void TCustomPop3Cli::TransportClosed() {
  const bool wasOpen = m_connected || m_connecting;
  m_connected = m_connecting = false;
  m_buffer.clear();
  m_dropRestOfLine = false;
  m_encrypted = false;
  m_tlsStage = TlsStage::None;
  if (m_readTimer) m_readTimer->SetEnabled(false);
  ++m_generation;
  m_state = TPop3ProtocolState::pop3Disconnected;
  if (!wasOpen || !m_running) return;
  if (m_request == TPop3Request::pop3Quit) return Finish(0);  // the server ended the session
  m_errorMessage = "-ERR Disconneced unexpectedly";
  Finish(kPop3ErrorReply);
}

void TCustomPop3Cli::TransportError(const std::string& text) {
  const bool wasOpen = m_connected || m_connecting;
  if (!wasOpen) return;
  if (!m_running) return DropConnection();
  Fail(kPop3ErrorReply, "-ERR " + text, true);
}

// ---- replies ----

void TCustomPop3Cli::HandleLine(std::string line) {
  if (m_phase == Phase::MultiLine) return HandleDataLine(std::move(line));
  m_lastResponse = line;
  if (OnDisplay) OnDisplay("< " + line);
  if (m_running && m_phase == Phase::FirstLine) HandleFirstLine(m_lastResponse);
}

void TCustomPop3Cli::HandleFirstLine(const std::string& line) {
  const bool ok = !line.empty() && line[0] == '+';
  const auto words = ReplyWords(line);
  switch (m_request) {
    case TPop3Request::pop3Connect:
      if (m_tlsStage != TlsStage::None) return HandleTlsLine(line);
      if (!ok) return Fail(kPop3ErrorReply, line, true);
      {
        const auto lt = line.find('<');
        const auto gt = lt == std::string::npos ? lt : line.find('>', lt);
        if (gt != std::string::npos) m_timestamp = line.substr(lt, gt - lt + 1);
      }
      if (RequireTls && !m_encrypted) {
        // STLS (RFC 2595) only when the server lists it among its capabilities.
        m_tlsStage = TlsStage::Capa;
        m_capaStls = false;
        return SendCommand("CAPA");
      }
      return ConnectGreeted();
    case TPop3Request::pop3User:
      if (ok) m_state = TPop3ProtocolState::pop3WaitingPass;
      break;
    case TPop3Request::pop3Pass:
    case TPop3Request::pop3RPop:
    case TPop3Request::pop3APop:
      m_state = ok ? TPop3ProtocolState::pop3Transaction : TPop3ProtocolState::pop3WaitingUser;
      break;
    case TPop3Request::pop3Stat:
      if (ok) {
        m_msgCount = ReplyNumber<int>(words, 0);
        m_msgSize = ReplyNumber<long long>(words, 1);
      }
      break;
    case TPop3Request::pop3List:
      if (ok && !m_multiLine) m_msgSize = ReplyNumber<long long>(words, 1);
      break;
    case TPop3Request::pop3Uidl:
      if (ok && !m_multiLine) m_msgUidl = words.size() > 1 ? std::string(words[1]) : "";
      break;
    case TPop3Request::pop3Last:
      if (ok) MsgNum = ReplyNumber<int>(words, 0);
      break;
    case TPop3Request::pop3Quit:
      // The session is over whatever the server says.
      DropConnection();
      if (!ok) m_errorMessage = line;
      return Finish(ok ? 0 : kPop3ErrorReply);
    default:
      break;
  }
  if (!ok) {
    m_errorMessage = line;
    return Finish(kPop3ErrorReply);
  }
  if (m_multiLine) return MultiLineBegin();
  Finish(0);
}

void TCustomPop3Cli::ConnectGreeted() {
  m_state = TPop3ProtocolState::pop3WaitingUser;
  Finish(0);
}

void TCustomPop3Cli::HandleTlsLine(const std::string& line) {
  const bool ok = !line.empty() && line[0] == '+';
  switch (m_tlsStage) {
    case TlsStage::Capa:
      if (!ok)
        return Fail(kPop3ErrorReply,
                    "-ERR Server lists no capabilities (no STLS): encrypted connection required",
                    true);
      m_tlsStage = TlsStage::CapaLines;
      return;
    case TlsStage::CapaLines: {
      if (line != ".") {
        std::string word = line.substr(0, line.find(' '));
        for (auto& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (word == "STLS") m_capaStls = true;
        return;
      }
      if (!m_capaStls)
        return Fail(kPop3ErrorReply,
                    "-ERR Server does not offer STLS: encrypted connection required", true);
      m_tlsStage = TlsStage::Stls;
      return SendCommand("STLS");
    }
    case TlsStage::Stls:
      if (!ok) return Fail(kPop3ErrorReply, line, true);
      m_tlsStage = TlsStage::Handshake;
      m_buffer.clear();
      ArmReadTimer();
      return StartEncryption();
    default:
      return;
  }
}

void TCustomPop3Cli::MultiLineBegin() {
  m_phase = Phase::MultiLine;
  const bool list = m_request == TPop3Request::pop3List || m_request == TPop3Request::pop3Uidl;
  if (list ? OnListBegin : OnMessageBegin) (list ? OnListBegin : OnMessageBegin)();
}

void TCustomPop3Cli::MultiLineLine() {
  const bool list = m_request == TPop3Request::pop3List || m_request == TPop3Request::pop3Uidl;
  if (list ? OnListLine : OnMessageLine) (list ? OnListLine : OnMessageLine)();
}

void TCustomPop3Cli::MultiLineEnd() {
  const bool list = m_request == TPop3Request::pop3List || m_request == TPop3Request::pop3Uidl;
  if (list ? OnListEnd : OnMessageEnd) (list ? OnListEnd : OnMessageEnd)();
}

void TCustomPop3Cli::HandleDataLine(std::string line) {
  if (OnDisplay) OnDisplay("< " + line);
  if (line == ".") {
    m_lastResponse = line;
    MultiLineEnd();
    return Finish(0);
  }
  if (line.size() >= 2 && line[0] == '.' && line[1] == '.') line.erase(0, 1);
  m_lastResponse = std::move(line);
  MultiLineLine();
}

// ---- over a stream socket ----

TPop3Cli::TPop3Cli(NetworkFactory& network) : m_socket(network.CreateStreamSocket()) {
  Wire();
}

TPop3Cli::TPop3Cli(std::unique_ptr<StreamSocket> socket) : m_socket(std::move(socket)) {
  Wire();
}

TPop3Cli::~TPop3Cli() {
  if (m_socket) {
    m_socket->OnConnected = nullptr;
    m_socket->OnData = nullptr;
    m_socket->OnClosed = nullptr;
    m_socket->OnError = nullptr;
    m_socket->OnEncrypted = nullptr;
    m_socket->Close();
  }
}

void TPop3Cli::Wire() {
  m_socket->OnConnected = [this] { TransportConnected(); };
  m_socket->OnData = [this](std::string_view bytes) { TransportData(bytes); };
  m_socket->OnClosed = [this] { TransportClosed(); };
  m_socket->OnError = [this](const std::string& text) { TransportError(text); };
  m_socket->OnEncrypted = [this] { TransportEncrypted(); };
}

void TPop3Cli::OpenConnection(const std::string& host, std::uint16_t port, bool encrypted) {
  if (encrypted)
    m_socket->ConnectEncrypted(host, port);
  else
    m_socket->Connect(host, port);
}

void TPop3Cli::StartEncryption() {
  m_socket->StartEncryption();
}

void TPop3Cli::SendBytes(std::string_view bytes) {
  m_socket->Send(bytes);
}

void TPop3Cli::CloseConnection() {
  m_socket->Close();
}

}  // namespace orva

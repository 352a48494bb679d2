// Asynchronous network interfaces. Every event is delivered on the thread that owns the
// object (the user-interface thread), as the program's event loop runs; nothing blocks.
// The Qt implementations live in platform/qt; tests use fakes or loopback servers.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orva {

class StreamSocket {
 public:
  virtual ~StreamSocket() = default;
  virtual void Connect(const std::string& host, std::uint16_t port) = 0;
  virtual void Send(std::string_view bytes) = 0;
  // Closes without raising OnClosed.
  virtual void Close() = 0;
  // TLS, verified against the system's trusted certificates and the host name given to
  // Connect: ConnectEncrypted handshakes right after connecting (POP3 on port 995),
  // StartEncryption on an open connection (STLS). OnEncrypted follows a verified handshake;
  // a certificate that does not verify closes the connection with OnError and its reasons.
  virtual void ConnectEncrypted(const std::string& host, std::uint16_t port) {
    (void)host, (void)port;
    if (OnError) OnError("TLS not available");
  }
  virtual void StartEncryption() {
    if (OnError) OnError("TLS not available");
  }

  std::function<void()> OnConnected;
  std::function<void()> OnEncrypted;
  std::function<void(std::string_view bytes)> OnData;
  std::function<void()> OnClosed;  // the peer closed the connection
  std::function<void(const std::string& errorText)> OnError;
};

class DatagramSocket {
 public:
  virtual ~DatagramSocket() = default;
  // Binds a local port (0: any); false with errorText when the port cannot be had.
  virtual bool Bind(std::uint16_t localPort, std::string& errorText) = 0;
  virtual void SendTo(const std::string& address, std::uint16_t port, std::string_view bytes) = 0;
  virtual void Close() = 0;

  std::function<void(std::string_view bytes, const std::string& fromAddress,
                     std::uint16_t fromPort)>
      OnDatagram;
  std::function<void(const std::string& errorText)> OnError;
};

struct LookupResult {
  bool ok = false;
  // Forward lookups: the IPv4 addresses in dotted form, then the IPv6 addresses.
  std::vector<std::string> addresses;
  std::string name;  // reverse lookups: the host name
  std::string error;
};

class Resolver {
 public:
  using Callback = std::function<void(const LookupResult&)>;
  virtual ~Resolver() = default;
  // Start a lookup; the callback runs later on the owning thread (never inside the call).
  // Returns an id for Abort.
  virtual int LookupName(const std::string& name, Callback done) = 0;
  virtual int LookupAddress(const std::string& address, Callback done) = 0;
  // The callback of an aborted lookup never runs.
  virtual void Abort(int id) = 0;
};

class NetworkFactory {
 public:
  virtual ~NetworkFactory() = default;
  virtual std::unique_ptr<StreamSocket> CreateStreamSocket() = 0;
  virtual std::unique_ptr<DatagramSocket> CreateDatagramSocket() = 0;
  virtual Resolver& GetResolver() = 0;
};

}  // namespace orva

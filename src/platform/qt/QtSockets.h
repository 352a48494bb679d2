// The socket interfaces on Qt Network: a stream socket over QSslSocket (plain, or TLS verified
// against the system's trusted certificates), a datagram socket over QUdpSocket, and a
// NetworkFactory handing them out with a resolver.
#pragma once

#include <QSslSocket>
#include <QTimer>
#include <QUdpSocket>
#include <memory>

#include "platform/Network.h"

namespace orva {

class QtStreamSocket final : public StreamSocket {
 public:
  QtStreamSocket();
  ~QtStreamSocket() override;
  void Connect(const std::string& host, std::uint16_t port) override;
  void Send(std::string_view bytes) override;
  void Close() override;
  void ConnectEncrypted(const std::string& host, std::uint16_t port) override;
  void StartEncryption() override;

  // A connection not made in this time fails with an error (the system's own time-out of
  // a silent host runs to minutes).
  int connectTimeoutMs = 30000;

 private:
  void Reset();

  QSslSocket m_socket;
  QTimer m_connectTimer;
  bool m_closing = false;
  std::string m_certificateProblem;  // why the last handshake's certificate did not verify
};

class QtDatagramSocket final : public DatagramSocket {
 public:
  QtDatagramSocket();
  ~QtDatagramSocket() override;
  bool Bind(std::uint16_t localPort, std::string& errorText) override;
  void SendTo(const std::string& address, std::uint16_t port, std::string_view bytes) override;
  void Close() override;

 private:
  void ReadPending();
  QUdpSocket m_socket;
};

// Sockets from Qt; lookups from the resolver given (the program's one).
class QtNetworkFactory final : public NetworkFactory {
 public:
  explicit QtNetworkFactory(Resolver& resolver) : m_resolver(resolver) {}
  std::unique_ptr<StreamSocket> CreateStreamSocket() override;
  std::unique_ptr<DatagramSocket> CreateDatagramSocket() override;
  Resolver& GetResolver() override { return m_resolver; }

 private:
  Resolver& m_resolver;
};

}  // namespace orva

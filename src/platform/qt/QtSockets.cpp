// Qt sockets behind the network interfaces. Every event comes from the Qt event loop of the
// thread that owns the socket.
#include "platform/qt/QtSockets.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTimer>

namespace orva {

namespace {

std::string Utf8(const QString& s) {
  return s.toStdString();
}

// Dotted IPv4 form, also for IPv4 addresses that arrive mapped into IPv6.
std::string DottedAddress(const QHostAddress& address) {
  bool ok = false;
  const quint32 v4 = address.toIPv4Address(&ok);
  return ok ? Utf8(QHostAddress(v4).toString()) : Utf8(address.toString());
}

}  // namespace

// ---- stream ----

QtStreamSocket::QtStreamSocket() {
  m_connectTimer.setSingleShot(true);
  QObject::connect(&m_connectTimer, &QTimer::timeout, &m_socket, [this] {
    m_closing = true;
    m_socket.abort();
    m_closing = false;
    if (OnError) OnError("Tempo scaduto per la connessione");
  });
  QObject::connect(&m_socket, &QSslSocket::connected, &m_socket, [this] {
    m_connectTimer.stop();
    if (OnConnected) OnConnected();
  });
  QObject::connect(&m_socket, &QSslSocket::encrypted, &m_socket, [this] {
    if (OnEncrypted) OnEncrypted();
  });
  // Nothing is ignored: a certificate that does not verify fails the handshake, and the error
  // that follows carries these reasons.
  QObject::connect(&m_socket, &QSslSocket::sslErrors, &m_socket,
                   [this](const QList<QSslError>& errors) {
                     QStringList reasons;
                     for (const QSslError& e : errors)
                       if (!reasons.contains(e.errorString())) reasons << e.errorString();
                     m_certificateProblem =
                         "Certificate not trusted: " + Utf8(reasons.join(QStringLiteral("; ")));
                   });
  QObject::connect(&m_socket, &QSslSocket::readyRead, &m_socket, [this] {
    const QByteArray bytes = m_socket.readAll();
    if (!bytes.isEmpty() && OnData) OnData(std::string_view(bytes.constData(), bytes.size()));
  });
  QObject::connect(&m_socket, &QSslSocket::disconnected, &m_socket, [this] {
    if (!m_closing && OnClosed) OnClosed();
  });
  QObject::connect(&m_socket, &QSslSocket::errorOccurred, &m_socket,
                   [this](QAbstractSocket::SocketError error) {
                     // The peer closing is not a failure: disconnected reports it.
                     m_connectTimer.stop();
                     if (m_closing) return;
                     if (!m_certificateProblem.empty()) {
                       const std::string text = m_certificateProblem;
                       m_certificateProblem.clear();
                       m_closing = true;
                       m_socket.abort();
                       m_closing = false;
                       if (OnError) OnError(text);
                       return;
                     }
                     if (error == QAbstractSocket::RemoteHostClosedError) return;
                     if (OnError) OnError(Utf8(m_socket.errorString()));
                   });
}

QtStreamSocket::~QtStreamSocket() {
  m_closing = true;
  m_socket.disconnect();
  m_socket.abort();
}

void QtStreamSocket::Reset() {
  m_closing = true;
  m_socket.abort();
  m_closing = false;
  m_certificateProblem.clear();
}

void QtStreamSocket::Connect(const std::string& host, std::uint16_t port) {
  Reset();
  m_connectTimer.start(connectTimeoutMs);
  m_socket.connectToHost(QString::fromStdString(host), port);
}

void QtStreamSocket::ConnectEncrypted(const std::string& host, std::uint16_t port) {
  Reset();
  if (!QSslSocket::supportsSsl()) {
    // Reported from the event loop, as every other socket event is.
    QTimer::singleShot(0, &m_socket, [this] {
      if (OnError) OnError("TLS not available");
    });
    return;
  }
  m_connectTimer.start(connectTimeoutMs);
  // The peer is verified against the system's trusted certificates and this host name.
  m_socket.connectToHostEncrypted(QString::fromStdString(host), port);
}

void QtStreamSocket::StartEncryption() {
  if (!QSslSocket::supportsSsl()) {
    QTimer::singleShot(0, &m_socket, [this] {
      if (OnError) OnError("TLS not available");
    });
    return;
  }
  // Verified against the host name the connection was opened with.
  m_socket.startClientEncryption();
}

void QtStreamSocket::Send(std::string_view bytes) {
  if (m_socket.state() == QAbstractSocket::UnconnectedState) return;
  m_socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void QtStreamSocket::Close() {
  m_connectTimer.stop();
  m_closing = true;
  m_socket.abort();
  m_closing = false;
}

// ---- datagram ----

QtDatagramSocket::QtDatagramSocket() {
  QObject::connect(&m_socket, &QUdpSocket::readyRead, &m_socket, [this] { ReadPending(); });
  QObject::connect(&m_socket, &QUdpSocket::errorOccurred, &m_socket,
                   [this](QAbstractSocket::SocketError) {
                     if (OnError) OnError(Utf8(m_socket.errorString()));
                   });
}

QtDatagramSocket::~QtDatagramSocket() {
  m_socket.disconnect();
  m_socket.abort();
}

bool QtDatagramSocket::Bind(std::uint16_t localPort, std::string& errorText) {
  if (m_socket.state() != QAbstractSocket::UnconnectedState) m_socket.abort();
  if (m_socket.bind(QHostAddress::AnyIPv4, localPort)) return true;
  errorText = Utf8(m_socket.errorString());
  m_socket.abort();
  return false;
}

void QtDatagramSocket::SendTo(const std::string& address, std::uint16_t port,
                              std::string_view bytes) {
  const qint64 written =
      m_socket.writeDatagram(bytes.data(), static_cast<qint64>(bytes.size()),
                             QHostAddress(QString::fromStdString(address)), port);
  if (written >= 0) return;
  // Reported from the event loop, as every other socket event is.
  const std::string text = Utf8(m_socket.errorString());
  QTimer::singleShot(0, &m_socket, [this, text] {
    if (OnError) OnError(text);
  });
}

void QtDatagramSocket::Close() {
  m_socket.abort();
}

void QtDatagramSocket::ReadPending() {
  while (m_socket.state() == QAbstractSocket::BoundState && m_socket.hasPendingDatagrams()) {
    const QNetworkDatagram d = m_socket.receiveDatagram();
    if (!d.isValid()) break;
    const QByteArray data = d.data();
    if (OnDatagram)
      OnDatagram(std::string_view(data.constData(), data.size()), DottedAddress(d.senderAddress()),
                 static_cast<std::uint16_t>(d.senderPort()));
  }
}

// ---- factory ----

std::unique_ptr<StreamSocket> QtNetworkFactory::CreateStreamSocket() {
  return std::make_unique<QtStreamSocket>();
}

std::unique_ptr<DatagramSocket> QtNetworkFactory::CreateDatagramSocket() {
  return std::make_unique<QtDatagramSocket>();
}

}  // namespace orva

// The single instance over QLockFile and QLocalServer.
#include "platform/qt/SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>

namespace orva {

SingleInstance::SingleInstance(QString name, QString folder)
    : m_name(std::move(name)), m_folder(folder.isEmpty() ? DefaultFolder() : std::move(folder)) {}

SingleInstance::~SingleInstance() {
  m_server.close();
}

QString SingleInstance::DefaultFolder() {
  QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (dir.isEmpty()) dir = QDir::tempPath();
  return dir;
}

QString SingleInstance::SocketPath() const {
  return m_folder + QStringLiteral("/") + m_name + QStringLiteral(".sock");
}

bool SingleInstance::Acquire() {
  QDir().mkpath(m_folder);
  m_lock = std::make_unique<QLockFile>(m_folder + QStringLiteral("/") + m_name +
                                       QStringLiteral(".lock"));
  // A lock left by a copy that crashed is taken over (QLockFile checks its process).
  m_lock->setStaleLockTime(0);
  if (!m_lock->tryLock(0)) return false;
  QLocalServer::removeServer(SocketPath());
  m_server.setSocketOptions(QLocalServer::UserAccessOption);
  if (!m_server.listen(SocketPath())) return false;
  QObject::connect(&m_server, &QLocalServer::newConnection, this, [this] { OnConnection(); });
  return true;
}

void SingleInstance::OnConnection() {
  while (QLocalSocket* socket = m_server.nextPendingConnection()) {
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
      while (socket->canReadLine()) {
        const QByteArray raw = socket->readLine(4096);
        const std::string line(raw.constData(), static_cast<std::size_t>(raw.size()));
        std::vector<std::string> answers;
        // A request may show a question with its own event loop: the asker can be gone
        // (and its socket deleted) when it returns.
        const QPointer<QLocalSocket> alive(socket);
        if (OnRequest) answers = OnRequest(line);
        if (!alive || alive->state() != QLocalSocket::ConnectedState) return;
        for (const auto& a : answers) socket->write(a.data(), static_cast<qint64>(a.size()));
        socket->flush();
        socket->disconnectFromServer();
        return;
      }
      // A line longer than any request is dropped.
      if (socket->bytesAvailable() > 4096) socket->abort();
    });
  }
}

bool SingleInstance::Send(const QString& socketPath, const std::string& line,
                          std::vector<std::string>& answers, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(socketPath);
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(line.data(), static_cast<qint64>(line.size()));
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  QByteArray all;
  while (socket.state() == QLocalSocket::ConnectedState && socket.waitForReadyRead(timeoutMs))
    all += socket.readAll();
  all += socket.readAll();
  std::string text(all.constData(), static_cast<std::size_t>(all.size()));
  std::size_t start = 0;
  while (start < text.size()) {
    const auto end = text.find('\n', start);
    answers.push_back(
        text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return true;
}

}  // namespace orva

// A private D-Bus system bus for tests.
#include "PrivateBus.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <atomic>

#include <gtest/gtest.h>

namespace orva::test {
namespace {

// The interpreter of the system's packages: python-dbusmock is a Debian package.
const QString kPython = QStringLiteral("/usr/bin/python3");

void Stop(QProcess& p) {
  if (p.state() == QProcess::NotRunning) return;
  p.terminate();
  if (!p.waitForFinished(3000)) {
    p.kill();
    p.waitForFinished(3000);
  }
}

}  // namespace

std::string PrivateBus::SkipReason() {
  if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
    return "dbus-daemon is not installed (package dbus-daemon)";
  if (!QFile::exists(kPython)) return "no /usr/bin/python3";
  QProcess probe;
  probe.start(kPython, {QStringLiteral("-c"), QStringLiteral("import dbusmock")});
  if (!probe.waitForFinished(10000) || probe.exitStatus() != QProcess::NormalExit ||
      probe.exitCode() != 0)
    return "python-dbusmock is not installed (package python3-dbusmock)";
  return {};
}

PrivateBus::PrivateBus() = default;

PrivateBus::~PrivateBus() {
  if (!m_connectionName.isEmpty()) QDBusConnection::disconnectFromBus(m_connectionName);
  for (auto& mock : m_mocks) Stop(*mock);
  if (m_daemon) Stop(*m_daemon);
}

bool PrivateBus::Start(std::string& error) {
  const std::string config = m_dir.File("bus.conf");
  WriteBytes(config,
             "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
             " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
             "<busconfig>\n"
             "  <type>system</type>\n"
             "  <listen>unix:dir=" +
                 m_dir.path() +
                 "</listen>\n"
                 "  <auth>EXTERNAL</auth>\n"
                 "  <policy context=\"default\">\n"
                 "    <allow user=\"*\"/>\n"
                 "    <allow own=\"*\"/>\n"
                 "    <allow send_type=\"method_call\"/>\n"
                 "    <allow send_type=\"signal\"/>\n"
                 "    <allow send_requested_reply=\"true\" send_type=\"method_return\"/>\n"
                 "    <allow send_requested_reply=\"true\" send_type=\"error\"/>\n"
                 "    <allow receive_type=\"method_call\"/>\n"
                 "    <allow receive_type=\"method_return\"/>\n"
                 "    <allow receive_type=\"error\"/>\n"
                 "    <allow receive_type=\"signal\"/>\n"
                 "  </policy>\n"
                 "</busconfig>\n");
  m_daemon = std::make_unique<QProcess>();
  m_daemon->start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--config-file=") + QString::fromStdString(config),
                   QStringLiteral("--nofork"), QStringLiteral("--print-address")});
  if (!m_daemon->waitForStarted(5000)) {
    error = "dbus-daemon did not start";
    return false;
  }
  QElapsedTimer t;
  t.start();
  while (!m_daemon->canReadLine() && t.elapsed() < 5000) m_daemon->waitForReadyRead(100);
  m_address = QString::fromUtf8(m_daemon->readLine()).trimmed();
  if (m_address.isEmpty()) {
    error = "dbus-daemon gave no address: " + m_daemon->readAllStandardError().toStdString();
    return false;
  }
  return true;
}

QDBusConnection PrivateBus::Connection() {
  if (m_connectionName.isEmpty()) {
    static std::atomic<int> counter{0};
    m_connectionName = QStringLiteral("orva-test-bus-%1").arg(++counter);
    return QDBusConnection::connectToBus(m_address, m_connectionName);
  }
  return QDBusConnection(m_connectionName);
}

bool PrivateBus::StartMock(const QString& templateName, const QString& busName,
                           std::string& error) {
  auto p = std::make_unique<QProcess>();
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_address);
  p->setProcessEnvironment(env);
  p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  p->start(kPython, {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--system"),
                     QStringLiteral("--template"), templateName});
  QProcess* started = p.get();
  m_mocks.push_back(std::move(p));
  m_mockNames.push_back(busName);
  if (!started->waitForStarted(5000)) {
    error = "python-dbusmock did not start";
    return false;
  }
  QDBusConnection bus = Connection();
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < 15000) {
    if (bus.interface()->isServiceRegistered(busName).value()) return true;
    if (started->state() == QProcess::NotRunning) break;
    QThread::msleep(50);
  }
  error = "the mock of " + busName.toStdString() + " did not come up";
  return false;
}

bool PrivateBus::StopMock(const QString& busName, std::string& error) {
  for (std::size_t i = 0; i < m_mocks.size(); ++i) {
    if (m_mockNames[i] != busName || m_mocks[i]->state() == QProcess::NotRunning) continue;
    Stop(*m_mocks[i]);
    QDBusConnection bus = Connection();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 5000) {
      if (!bus.interface()->isServiceRegistered(busName).value()) return true;
      QThread::msleep(20);
    }
    error = busName.toStdString() + " stayed on the bus";
    return false;
  }
  error = "no running mock owns " + busName.toStdString();
  return false;
}

QVariantList PrivateBus::Call(const QString& service, const QString& path, const QString& interface,
                              const QString& method, const QVariantList& args, std::string* error) {
  auto call = QDBusMessage::createMethodCall(service, path, interface, method);
  call.setArguments(args);
  const QDBusMessage reply = Connection().call(call, QDBus::Block, 10000);
  if (reply.type() != QDBusMessage::ReplyMessage) {
    if (error) *error = reply.errorMessage().toStdString();
    return {};
  }
  return reply.arguments();
}

QVariantList PrivateBus::Mock(const QString& service, const QString& path, const QString& method,
                              const QVariantList& args) {
  std::string error;
  auto out = Call(service, path, QStringLiteral("org.freedesktop.DBus.Mock"), method, args, &error);
  if (!error.empty()) ADD_FAILURE() << method.toStdString() << ": " << error;
  return out;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  QElapsedTimer t;
  t.start();
  while (!condition()) {
    if (t.elapsed() > limit.count()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(2);
  }
  return true;
}

QString MockTemplateDir() {
  return QString::fromStdString(TestDataDir()) + QStringLiteral("dbus/");
}

}  // namespace orva::test

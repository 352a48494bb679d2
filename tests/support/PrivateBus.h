// A private D-Bus system bus for tests: a dbus-daemon of the test's own with its own
// configuration, and python-dbusmock services on it (NetworkManager, ModemManager). Every
// process is ended when the object goes; waits are bounded.
#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QVariantList>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TempDir.h"

namespace orva::test {

class PrivateBus {
 public:
  PrivateBus();
  ~PrivateBus();
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;

  // Why the bus cannot be had here (no dbus-daemon, no python-dbusmock); empty when it can.
  static std::string SkipReason();

  // Starts the daemon; false with a text on failure.
  bool Start(std::string& error);
  const QString& Address() const { return m_address; }
  // A connection of the test's own to the bus (named once per bus).
  QDBusConnection Connection();

  // Starts python-dbusmock with a template (a name it ships or a path) and waits until the
  // service's name is on the bus.
  bool StartMock(const QString& templateName, const QString& busName, std::string& error);
  // Ends the mock that owns a name (the service stops, or crashes before a restart) and waits
  // until the name has left the bus.
  bool StopMock(const QString& busName, std::string& error);

  // A method call on the bus, waited for (tests only); the reply's arguments, or empty with
  // `error` set.
  QVariantList Call(const QString& service, const QString& path, const QString& interface,
                    const QString& method, const QVariantList& args = {},
                    std::string* error = nullptr);
  // A method of the mock interface (org.freedesktop.DBus.Mock) on a service's main object.
  QVariantList Mock(const QString& service, const QString& path, const QString& method,
                    const QVariantList& args = {});

 private:
  TempDir m_dir;
  std::unique_ptr<QProcess> m_daemon;
  std::vector<std::unique_ptr<QProcess>> m_mocks;
  std::vector<QString> m_mockNames;  // the bus name of each mock
  QString m_address;
  QString m_connectionName;
};

// Runs the Qt event loop until the condition holds or the time is up; whether it held.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds limit = std::chrono::milliseconds(5000));

// The fixture folder of the D-Bus mock templates (tests/data/dbus/), with a trailing "/".
QString MockTemplateDir();

}  // namespace orva::test

// NetworkManager as the dial-up service: its gsm, cdma, pppoe and bluetooth DUN profiles are
// the entries, its active connections of those profiles the connections (activating =
// connecting, activated = connected, anything else = gone), the device's IP interface gives
// the byte counters and the address; dialling activates a profile, hang-up deactivates it.
// Everything comes from a copy of NetworkManager's objects kept up to date by its signals and
// by asynchronous replies, so the 250 ms poll answers from memory and never waits.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QMap>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Dialup.h"
#include "platform/qt/DBusValues.h"

class QDBusServiceWatcher;

namespace orva {

class NmDialup final : public QObject, public Dialup {
  Q_OBJECT
 public:
  explicit NmDialup(const QDBusConnection& bus, QObject* parent = nullptr);
  ~NmDialup() override;

  // Whether NetworkManager has its name on the bus (one short question to the bus).
  static bool Present(const QDBusConnection& bus);

  std::vector<std::string> EnumEntries() override;
  // A failure while NetworkManager is not on the bus.
  Result<std::vector<DialupConnection>> EnumConnections() override;
  DialupStatus GetConnectStatus(std::int64_t handle) override;
  std::string ErrorText(int code) override;
  // Asks NetworkManager to deactivate the connection; the link then goes.
  Status HangUp(std::int64_t handle) override;
  // NetworkManager dials by itself: no command.
  std::vector<std::string> DialCommand(const std::string&) override { return {}; }
  // Asks NetworkManager to activate the entry's profile, on the device that offers it.
  Status Dial(const std::string& entry, Launcher& launcher) override;
  // The profile's user name (gsm, cdma or pppoe setting); secrets are never asked for.
  std::string EntryUser(const std::string& entry) override;
  // nm-connection-editor --edit UUID, when it is installed.
  std::vector<std::string> EditCommand(const std::string& entry) override;

  // Whether the first picture of NetworkManager's objects and profiles has arrived.
  bool Ready() const { return m_loaded && m_pendingSettings == 0; }
  // Whether NetworkManager's name is on the bus, as last heard.
  bool OnBus() const { return m_onBus; }
  // Called when NetworkManager comes onto the bus or leaves it.
  std::function<void()> onPresenceChanged;
  std::string ConfigurationHint() const override {
    return "Le connessioni si configurano in NetworkManager (banda larga mobile, PPPoE, DUN "
           "Bluetooth).";
  }

 private slots:
  void OnInterfacesAdded(const QDBusMessage& message);
  void OnInterfacesRemoved(const QDBusMessage& message);
  void OnPropertiesChanged(const QDBusMessage& message);
  void OnConnectionUpdated(const QDBusMessage& message);

 private:
  struct Profile {
    QString id, uuid, type, user;
    bool dialup = false;
  };
  void Reload();
  void ForgetAll();
  void FetchSettings(const QString& path);
  void SyncProfiles();
  void EntriesMayHaveChanged();
  QString ProfilePathOf(const std::string& entry) const;
  QString ActivePathOf(std::int64_t handle) const;
  std::int64_t HandleOf(const QString& activePath);
  void Report(const QString& what, const QDBusMessage& reply);

  QDBusConnection m_bus;
  std::unique_ptr<QDBusServiceWatcher> m_watcher;
  bool m_present = false;
  bool m_onBus = false;
  bool m_loaded = false;
  bool m_settled = false;   // the first picture and all its profiles have arrived
  bool m_inFlight = false;  // a picture of all objects is on its way
  bool m_dirty = false;     // and a signal came meanwhile: another one follows
  int m_pendingSettings = 0;
  quint64 m_generation = 0;  // replies of an older picture are dropped
  QMap<QString, DBusInterfaces> m_objects;
  QMap<QString, Profile> m_profiles;
  std::map<QString, std::int64_t> m_handles;
  std::int64_t m_nextHandle = 1;
  std::vector<std::string> m_lastEntries;
};

}  // namespace orva

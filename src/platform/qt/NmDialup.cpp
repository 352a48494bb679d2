// NetworkManager as the dial-up service.
#include "platform/qt/NmDialup.h"

#include <net/if.h>

#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QStandardPaths>
#include <algorithm>

namespace orva {
namespace {

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kRoot = QStringLiteral("/org/freedesktop");
const QString kManagerPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kManager = QStringLiteral("org.freedesktop.NetworkManager");
const QString kObjectManager = QStringLiteral("org.freedesktop.DBus.ObjectManager");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kActive = QStringLiteral("org.freedesktop.NetworkManager.Connection.Active");
const QString kDevice = QStringLiteral("org.freedesktop.NetworkManager.Device");
const QString kIp4Config = QStringLiteral("org.freedesktop.NetworkManager.IP4Config");
const QString kSettings = QStringLiteral("org.freedesktop.NetworkManager.Settings");
const QString kSettingsConnection =
    QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection");

// NetworkManager's active connection states.
constexpr qint64 kNmActivating = 1;
constexpr qint64 kNmActivated = 2;

std::string S(const QString& s) {
  return s.toStdString();
}

// A profile's name as an entry: shown in menus and written to the associations' and the log's
// tab-separated lines, so control characters become blanks and it is cut to 256 characters.
// A profile without a name is named by its UUID.
QString EntryNameOf(const QString& id, const QString& uuid) {
  QString name;
  qsizetype chars = 0;
  for (qsizetype i = 0; i < id.size() && chars < 256; ++i, ++chars) {
    const QChar c = id.at(i);
    if (c.isHighSurrogate() && i + 1 < id.size()) {
      name += c;
      name += id.at(++i);
    } else {
      name += c.unicode() < 0x20 || c.unicode() == 0x7F ? QChar(u' ') : c;
    }
  }
  name = name.trimmed();
  return name.isEmpty() ? uuid.left(64) : name;
}

// Whether a property NetworkManager sent has the type the copy relies on. A value of another
// type is not news of the object: it is dropped and the value known before stays (a State
// that is not a number must not read as a connection gone).
bool WellTyped(const QString& interface, const QString& property, const QVariant& value) {
  static const QString kActiveIf =
      QStringLiteral("org.freedesktop.NetworkManager.Connection.Active");
  static const QString kDeviceIf = QStringLiteral("org.freedesktop.NetworkManager.Device");
  if (interface == kActiveIf) {
    if (property == u"State") {
      const qint64 state = IntegerOf(value);
      return state >= 0 && state <= 4;
    }
    if (property == u"Connection") return !PathOf(value).isEmpty();
  }
  if (interface == kDeviceIf) {
    if (property == u"Interface" || property == u"IpInterface")
      return value.metaType() == QMetaType::fromType<QString>() && value.toString().size() < 64;
    if (property == u"Ip4Config") return value.metaType() == QMetaType::fromType<QDBusObjectPath>();
  }
  return true;
}

const char* DeviceTypeOfProfile(const QString& type) {
  if (type == u"pppoe") return "PPPoE";
  if (type == u"bluetooth") return "bluetooth";
  return "modem";
}

}  // namespace

NmDialup::NmDialup(const QDBusConnection& bus, QObject* parent) : QObject(parent), m_bus(bus) {
  RegisterDBusTypes();
  m_watcher = std::make_unique<QDBusServiceWatcher>(kService, m_bus,
                                                    QDBusServiceWatcher::WatchForOwnerChange);
  connect(m_watcher.get(), &QDBusServiceWatcher::serviceRegistered, this, [this] {
    ForgetAll();
    m_onBus = true;
    Reload();
    if (onPresenceChanged) onPresenceChanged();
  });
  connect(m_watcher.get(), &QDBusServiceWatcher::serviceUnregistered, this, [this] {
    ForgetAll();
    m_present = false;
    m_onBus = false;
    EntriesMayHaveChanged();
    if (onPresenceChanged) onPresenceChanged();
  });
  m_onBus = Present(m_bus);
  // Every path of the service: the objects come and go while it runs.
  m_bus.connect(kService, kRoot, kObjectManager, QStringLiteral("InterfacesAdded"), this,
                SLOT(OnInterfacesAdded(QDBusMessage)));
  m_bus.connect(kService, kRoot, kObjectManager, QStringLiteral("InterfacesRemoved"), this,
                SLOT(OnInterfacesRemoved(QDBusMessage)));
  m_bus.connect(kService, QString(), kProperties, QStringLiteral("PropertiesChanged"), this,
                SLOT(OnPropertiesChanged(QDBusMessage)));
  m_bus.connect(kService, QString(), kSettingsConnection, QStringLiteral("Updated"), this,
                SLOT(OnConnectionUpdated(QDBusMessage)));
  Reload();
}

NmDialup::~NmDialup() = default;

bool NmDialup::Present(const QDBusConnection& bus) {
  if (!bus.isConnected() || !bus.interface()) return false;
  return bus.interface()->isServiceRegistered(kService).value();
}

void NmDialup::ForgetAll() {
  ++m_generation;
  m_objects.clear();
  m_profiles.clear();
  m_handles.clear();
  m_loaded = false;
  m_settled = false;
  m_inFlight = false;
  m_dirty = false;
  m_pendingSettings = 0;
}

// One picture of all objects at a time. A signal handled while a picture is on its way may be
// newer than it (replies and signals are not delivered in one order), so another picture
// follows; the copy converges as soon as NetworkManager is quiet.
void NmDialup::Reload() {
  if (m_inFlight) {
    m_dirty = true;
    return;
  }
  m_inFlight = true;
  m_dirty = false;
  const quint64 generation = m_generation;
  auto call = QDBusMessage::createMethodCall(kService, kRoot, kObjectManager,
                                             QStringLiteral("GetManagedObjects"));
  auto* w = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
  connect(w, &QDBusPendingCallWatcher::finished, this, [this, w, generation] {
    w->deleteLater();
    if (generation != m_generation) return;
    m_inFlight = false;
    const QDBusMessage reply = w->reply();
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
      m_present = false;
      return;
    }
    m_present = true;
    const DBusObjects objects = ToObjects(reply.arguments().at(0));
    m_objects.clear();
    for (auto it = objects.begin(); it != objects.end(); ++it) m_objects[it.key().path()] = *it;
    for (auto it = m_handles.begin(); it != m_handles.end();)
      it = m_objects.contains(it->first) ? std::next(it) : m_handles.erase(it);
    m_loaded = true;
    SyncProfiles();
    if (m_pendingSettings == 0) m_settled = true;
    EntriesMayHaveChanged();
    if (m_dirty) Reload();
  });
}

// The profiles are the Settings object's list and every object with the profile interface;
// each one's settings are asked once, and again when it says it was updated.
void NmDialup::SyncProfiles() {
  QStringList paths;
  if (auto it = m_objects.find(kManagerPath + QStringLiteral("/Settings")); it != m_objects.end())
    paths = PathsOf(it->value(kSettings).value(QStringLiteral("Connections")));
  for (auto it = m_objects.begin(); it != m_objects.end(); ++it)
    if (it->contains(kSettingsConnection) && !paths.contains(it.key())) paths << it.key();
  for (auto it = m_profiles.begin(); it != m_profiles.end();) {
    if (!paths.contains(it.key())) {
      it = m_profiles.erase(it);
    } else {
      ++it;
    }
  }
  for (const QString& path : paths)
    if (!m_profiles.contains(path)) FetchSettings(path);
}

void NmDialup::FetchSettings(const QString& path) {
  m_profiles[path];  // known, settings on their way
  ++m_pendingSettings;
  const quint64 generation = m_generation;
  auto call = QDBusMessage::createMethodCall(kService, path, kSettingsConnection,
                                             QStringLiteral("GetSettings"));
  auto* w = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
  connect(w, &QDBusPendingCallWatcher::finished, this, [this, w, path, generation] {
    w->deleteLater();
    if (generation != m_generation) return;
    if (--m_pendingSettings == 0 && m_loaded) m_settled = true;
    const QDBusMessage reply = w->reply();
    if (!m_profiles.contains(path)) return;  // removed meanwhile
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return;
    const DBusInterfaces settings = ToInterfaces(reply.arguments().at(0));
    const QVariantMap connection = settings.value(QStringLiteral("connection"));
    Profile p;
    p.id = StringOf(connection.value(QStringLiteral("id")));
    p.uuid = StringOf(connection.value(QStringLiteral("uuid")));
    p.type = StringOf(connection.value(QStringLiteral("type")));
    // The kinds of link a user dials; a Bluetooth profile only as dial-up networking.
    if (p.type == u"gsm" || p.type == u"cdma" || p.type == u"pppoe") {
      p.dialup = true;
    } else if (p.type == u"bluetooth") {
      p.dialup =
          StringOf(settings.value(QStringLiteral("bluetooth")).value(QStringLiteral("type"))) ==
          u"dun";
    }
    for (const char* kind : {"gsm", "cdma", "pppoe"}) {
      const QString user =
          StringOf(settings.value(QLatin1String(kind)).value(QStringLiteral("username")));
      if (!user.isEmpty()) p.user = user;
    }
    p.id = EntryNameOf(p.id, p.uuid);
    p.dialup = p.dialup && !p.id.isEmpty();
    m_profiles[path] = p;
    EntriesMayHaveChanged();
  });
}

void NmDialup::EntriesMayHaveChanged() {
  const auto entries = EnumEntries();
  if (entries == m_lastEntries) return;
  m_lastEntries = entries;
  if (onEntriesChanged) onEntriesChanged();
}

void NmDialup::OnInterfacesAdded(const QDBusMessage& message) {
  if (m_inFlight) m_dirty = true;
  if (!m_loaded || message.arguments().size() < 2) return;
  const QString path = message.arguments().at(0).value<QDBusObjectPath>().path();
  if (path.isEmpty()) return;
  const DBusInterfaces added = ToInterfaces(message.arguments().at(1));
  DBusInterfaces& object = m_objects[path];
  for (auto it = added.begin(); it != added.end(); ++it) object[it.key()] = *it;
  if (added.contains(kSettingsConnection)) SyncProfiles();
}

void NmDialup::OnInterfacesRemoved(const QDBusMessage& message) {
  if (m_inFlight) m_dirty = true;
  if (!m_loaded || message.arguments().size() < 2) return;
  const QString path = message.arguments().at(0).value<QDBusObjectPath>().path();
  auto it = m_objects.find(path);
  if (it == m_objects.end()) return;
  for (const QString& name : message.arguments().at(1).toStringList()) it->remove(name);
  if (it->isEmpty()) {
    m_objects.erase(it);
    m_handles.erase(path);
  }
  SyncProfiles();
  EntriesMayHaveChanged();
}

void NmDialup::OnPropertiesChanged(const QDBusMessage& message) {
  if (m_inFlight) m_dirty = true;
  if (!m_loaded || message.arguments().size() < 2) return;
  auto it = m_objects.find(message.path());
  if (it == m_objects.end()) return;  // not known yet: InterfacesAdded brings it whole
  const QString interface = message.arguments().at(0).toString();
  const QVariantMap changed = ToPropertyMap(message.arguments().at(1));
  QVariantMap& props = (*it)[interface];
  for (auto c = changed.begin(); c != changed.end(); ++c)
    if (WellTyped(interface, c.key(), *c)) props[c.key()] = *c;
  if (interface == kSettings) SyncProfiles();
}

void NmDialup::OnConnectionUpdated(const QDBusMessage& message) {
  if (m_loaded && m_profiles.contains(message.path())) FetchSettings(message.path());
}

std::vector<std::string> NmDialup::EnumEntries() {
  std::vector<std::string> out;
  for (const Profile& p : m_profiles)
    if (p.dialup) out.push_back(S(p.id));
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

QString NmDialup::ProfilePathOf(const std::string& entry) const {
  // Two profiles of one name: the first by path is the entry.
  for (auto it = m_profiles.begin(); it != m_profiles.end(); ++it)
    if (it->dialup && S(it->id) == entry) return it.key();
  return {};
}

std::int64_t NmDialup::HandleOf(const QString& activePath) {
  auto [it, added] = m_handles.try_emplace(activePath, m_nextHandle);
  if (added) ++m_nextHandle;
  return it->second;
}

QString NmDialup::ActivePathOf(std::int64_t handle) const {
  for (const auto& [path, h] : m_handles)
    if (h == handle) return path;
  return {};
}

Result<std::vector<DialupConnection>> NmDialup::EnumConnections() {
  using R = Result<std::vector<DialupConnection>>;
  if (!m_present) return R::Fail("NetworkManager non è in esecuzione");
  // Until its profiles are known the picture is partial: a link of a profile not read yet
  // would look gone.
  if (!m_settled) return R::Fail("NetworkManager non è ancora pronto");
  std::vector<DialupConnection> out;
  for (auto it = m_objects.begin(); it != m_objects.end(); ++it) {
    const auto active = it->find(kActive);
    if (active == it->end()) continue;
    const qint64 state = IntegerOf(active->value(QStringLiteral("State")));
    if (state != kNmActivating && state != kNmActivated) continue;
    const Profile profile = m_profiles.value(PathOf(active->value(QStringLiteral("Connection"))));
    if (!profile.dialup) continue;
    DialupConnection c;
    c.handle = HandleOf(it.key());
    c.linkId = "nm:" + S(it.key());
    c.profileId = S(profile.uuid);
    c.entryName = S(profile.id);
    c.deviceType = DeviceTypeOfProfile(profile.type);
    const QStringList devices = PathsOf(active->value(QStringLiteral("Devices")));
    if (!devices.isEmpty()) {
      const QVariantMap device = m_objects.value(devices.front()).value(kDevice);
      c.deviceName = S(StringOf(device.value(QStringLiteral("Interface"))));
      c.interfaceName = S(StringOf(device.value(QStringLiteral("IpInterface"))));
      const QVariantMap ip4 =
          m_objects.value(PathOf(device.value(QStringLiteral("Ip4Config")))).value(kIp4Config);
      const auto addresses = MapListOf(ip4.value(QStringLiteral("AddressData")));
      if (!addresses.isEmpty())
        c.ipv4 = S(StringOf(addresses.front().value(QStringLiteral("address"))));
    }
    if (!c.interfaceName.empty()) {
      const unsigned index = ::if_nametoindex(c.interfaceName.c_str());
      c.interfaceIndex = index > 0 ? static_cast<int>(index) : -1;
      if (c.ipv4.empty() && state == kNmActivated)
        c.ipv4 = PppDialup::SystemAddressOf(c.interfaceName);
    }
    out.push_back(std::move(c));
  }
  std::sort(out.begin(), out.end(), [](const DialupConnection& a, const DialupConnection& b) {
    return a.handle < b.handle;
  });
  return R::Ok(std::move(out));
}

DialupStatus NmDialup::GetConnectStatus(std::int64_t handle) {
  DialupStatus s;
  const QString path = ActivePathOf(handle);
  const QVariantMap active = m_objects.value(path).value(kActive);
  const qint64 state = IntegerOf(active.value(QStringLiteral("State")));
  s.state = state == kNmActivated    ? kRasConnected
            : state == kNmActivating ? kRasConnectingDevice
                                     : kRasDisconnected;
  return s;
}

std::string NmDialup::ErrorText(int code) {
  return "Errore di NetworkManager " + std::to_string(code);
}

void NmDialup::Report(const QString& what, const QDBusMessage& reply) {
  if (reply.type() != QDBusMessage::ErrorMessage || !onError) return;
  QString text = what + QStringLiteral(": ") + reply.errorMessage();
  if (text.size() > 300) text.truncate(300);
  onError(S(text));
}

Status NmDialup::HangUp(std::int64_t handle) {
  const QString path = ActivePathOf(handle);
  if (path.isEmpty() || !m_objects.value(path).contains(kActive))
    return Status::Fail("Connessione sconosciuta");
  auto call = QDBusMessage::createMethodCall(kService, kManagerPath, kManager,
                                             QStringLiteral("DeactivateConnection"));
  call << QVariant::fromValue(QDBusObjectPath(path));
  auto* w = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
  connect(w, &QDBusPendingCallWatcher::finished, this, [this, w] {
    w->deleteLater();
    Report(QStringLiteral("Impossibile chiudere la connessione"), w->reply());
  });
  return Status::Ok();
}

Status NmDialup::Dial(const std::string& entry, Launcher&) {
  const QString profilePath = ProfilePathOf(entry);
  if (profilePath.isEmpty())
    return Status::Fail("Connessione di accesso remoto sconosciuta: " + entry);
  QString devicePath = QStringLiteral("/");
  // The device that offers the profile; "/" lets NetworkManager choose.
  for (auto it = m_objects.begin(); it != m_objects.end(); ++it) {
    const auto device = it->find(kDevice);
    if (device != it->end() &&
        PathsOf(device->value(QStringLiteral("AvailableConnections"))).contains(profilePath)) {
      devicePath = it.key();
      break;
    }
  }
  auto call = QDBusMessage::createMethodCall(kService, kManagerPath, kManager,
                                             QStringLiteral("ActivateConnection"));
  call << QVariant::fromValue(QDBusObjectPath(profilePath))
       << QVariant::fromValue(QDBusObjectPath(devicePath))
       << QVariant::fromValue(QDBusObjectPath(QStringLiteral("/")));
  auto* w = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
  connect(w, &QDBusPendingCallWatcher::finished, this, [this, w] {
    w->deleteLater();
    Report(QStringLiteral("Impossibile attivare la connessione"), w->reply());
  });
  return Status::Ok();
}

std::string NmDialup::EntryUser(const std::string& entry) {
  const QString path = ProfilePathOf(entry);
  return path.isEmpty() ? std::string() : S(m_profiles.value(path).user);
}

std::vector<std::string> NmDialup::EditCommand(const std::string& entry) {
  const QString path = ProfilePathOf(entry);
  const QString uuid = path.isEmpty() ? QString() : m_profiles.value(path).uuid;
  if (uuid.isEmpty()) return {};
  const QString editor = QStandardPaths::findExecutable(QStringLiteral("nm-connection-editor"));
  if (editor.isEmpty()) return {};
  return {S(editor), "--edit", S(uuid)};
}

}  // namespace orva

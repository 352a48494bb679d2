// ModemManager as the telephony service.
#include "platform/qt/MmTelephony.h"

#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QStringList>
#include <algorithm>
#include <vector>

#include "platform/qt/DBusValues.h"

namespace orva {
namespace {

const QString kService = QStringLiteral("org.freedesktop.ModemManager1");
const QString kRoot = QStringLiteral("/org/freedesktop/ModemManager1");
const QString kObjectManager = QStringLiteral("org.freedesktop.DBus.ObjectManager");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kVoice = QStringLiteral("org.freedesktop.ModemManager1.Modem.Voice");
const QString kCall = QStringLiteral("org.freedesktop.ModemManager1.Call");

// The number as the modem dials it: the separators people write ("06-1234 567") go; what is
// left must be digits, with a leading "+" and the "*" and "#" of service codes.
std::optional<QString> DialableNumber(const std::string& text) {
  QString number;
  for (const QChar c : QString::fromStdString(text)) {
    if (c == u' ' || c == u'-' || c == u'/' || c == u'.' || c == u'(' || c == u')') continue;
    const bool ok =
        (c >= u'0' && c <= u'9') || c == u'*' || c == u'#' || (c == u'+' && number.isEmpty());
    if (!ok) return std::nullopt;
    number += c;
  }
  if (number.isEmpty() || number.size() > 40) return std::nullopt;
  return number;
}

// A call's number as the modem reports it: a number is a few dozen characters, so anything
// longer is cut, and control characters go.
QString BoundedNumber(const QString& number) {
  QString out;
  for (const QChar c : number) {
    if (out.size() >= 64) break;
    if (c.unicode() >= 0x20 && c.unicode() != 0x7F) out += c;
  }
  return out;
}

}  // namespace

std::optional<LineStateEvent> LineEventOfCallState(int mmState, int mmReason) {
  switch (mmState) {
    case kMmCallDialing:
      return LineStateEvent{kCallDialing, 0};
    case kMmCallRingingOut:
      return LineStateEvent{kCallRingback, 0};
    case kMmCallRingingIn:
      return LineStateEvent{kCallOffering, 0};
    case kMmCallActive:
      return LineStateEvent{kCallConnected, 0};
    case kMmCallTerminated:
      // Busy is the one cause the line names that ModemManager tells apart.
      return LineStateEvent{kCallDisconnected, mmReason == kMmReasonRefusedOrBusy ? 32 : 0};
    default:
      return std::nullopt;
  }
}

MmTelephony::MmTelephony(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), m_bus(bus) {
  RegisterDBusTypes();
}

MmTelephony::~MmTelephony() = default;

bool MmTelephony::Present(const QDBusConnection& bus) {
  if (!bus.isConnected() || !bus.interface()) return false;
  return bus.interface()->isServiceRegistered(kService).value();
}

TelephonyOpen MmTelephony::Open(Callback callback) {
  // ModemManager may start after the program: its name is followed on the bus.
  if (!m_bus.isConnected()) return TelephonyOpen::Unavailable;
  m_callback = std::move(callback);
  if (!m_open) {
    m_open = true;
    m_watcher = std::make_unique<QDBusServiceWatcher>(kService, m_bus,
                                                      QDBusServiceWatcher::WatchForOwnerChange);
    connect(m_watcher.get(), &QDBusServiceWatcher::serviceRegistered, this, [this] { Reload(); });
    connect(m_watcher.get(), &QDBusServiceWatcher::serviceUnregistered, this, [this] {
      ++m_generation;
      const auto modems = m_modems.values();
      for (const QString& m : modems) RemoveModem(m);
    });
    m_bus.connect(kService, kRoot, kObjectManager, QStringLiteral("InterfacesAdded"), this,
                  SLOT(OnInterfacesAdded(QDBusMessage)));
    m_bus.connect(kService, kRoot, kObjectManager, QStringLiteral("InterfacesRemoved"), this,
                  SLOT(OnInterfacesRemoved(QDBusMessage)));
    m_bus.connect(kService, QString(), kVoice, QStringLiteral("CallAdded"), this,
                  SLOT(OnCallAdded(QDBusMessage)));
    m_bus.connect(kService, QString(), kVoice, QStringLiteral("CallDeleted"), this,
                  SLOT(OnCallDeleted(QDBusMessage)));
    m_bus.connect(kService, QString(), kCall, QStringLiteral("StateChanged"), this,
                  SLOT(OnCallStateChanged(QDBusMessage)));
    m_bus.connect(kService, QString(), kProperties, QStringLiteral("PropertiesChanged"), this,
                  SLOT(OnPropertiesChanged(QDBusMessage)));
  }
  if (Present(m_bus)) Reload();
  return TelephonyOpen::Ok;
}

void MmTelephony::Close() {
  m_callback = nullptr;
}

void MmTelephony::Reload() {
  const quint64 generation = ++m_generation;
  auto call = QDBusMessage::createMethodCall(kService, kRoot, kObjectManager,
                                             QStringLiteral("GetManagedObjects"));
  auto* w = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
  connect(w, &QDBusPendingCallWatcher::finished, this, [this, w, generation] {
    w->deleteLater();
    if (generation != m_generation) return;
    const QDBusMessage reply = w->reply();
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return;
    const DBusObjects objects = ToObjects(reply.arguments().at(0));
    for (auto it = objects.begin(); it != objects.end(); ++it)
      if (it->contains(kVoice)) AddModem(it.key().path(), it->value(kVoice));
  });
}

void MmTelephony::AddModem(const QString& path, const QVariantMap& voice) {
  m_modems.insert(path);
  for (const QString& call : PathsOf(voice.value(QStringLiteral("Calls")))) AddCall(call, path);
}

void MmTelephony::RemoveModem(const QString& path) {
  m_modems.remove(path);
  std::vector<QString> gone;
  for (const auto& [callPath, call] : m_calls)
    if (call.modem == path) gone.push_back(callPath);
  for (const QString& callPath : gone) CallGone(callPath);
}

void MmTelephony::OnInterfacesAdded(const QDBusMessage& message) {
  if (message.arguments().size() < 2) return;
  const QString path = message.arguments().at(0).value<QDBusObjectPath>().path();
  const DBusInterfaces added = ToInterfaces(message.arguments().at(1));
  if (added.contains(kVoice)) AddModem(path, added.value(kVoice));
}

void MmTelephony::OnInterfacesRemoved(const QDBusMessage& message) {
  if (message.arguments().size() < 2) return;
  const QString path = message.arguments().at(0).value<QDBusObjectPath>().path();
  if (message.arguments().at(1).toStringList().contains(kVoice)) RemoveModem(path);
}

void MmTelephony::OnCallAdded(const QDBusMessage& message) {
  // Only voice modems announce calls; the picture naming the modem may still be on its way.
  if (message.arguments().isEmpty()) return;
  m_modems.insert(message.path());
  AddCall(message.arguments().at(0).value<QDBusObjectPath>().path(), message.path());
}

void MmTelephony::OnCallDeleted(const QDBusMessage& message) {
  if (message.arguments().isEmpty()) return;
  CallGone(message.arguments().at(0).value<QDBusObjectPath>().path());
}

void MmTelephony::OnCallStateChanged(const QDBusMessage& message) {
  const auto& a = message.arguments();
  if (a.size() < 3 || m_calls.find(message.path()) == m_calls.end()) return;
  CallState(message.path(), static_cast<int>(IntegerOf(a.at(1), 0)),
            static_cast<int>(IntegerOf(a.at(2), 0)));
}

void MmTelephony::OnPropertiesChanged(const QDBusMessage& message) {
  const auto& a = message.arguments();
  auto it = m_calls.find(message.path());
  if (a.size() < 2 || it == m_calls.end() || a.at(0).toString() != kCall) return;
  const QVariantMap changed = ToPropertyMap(a.at(1));
  // The caller's number may come after the ring.
  if (changed.contains(QStringLiteral("Number")))
    it->second.number = BoundedNumber(StringOf(changed.value(QStringLiteral("Number"))));
  // The reason may come in its own change, before the state it explains.
  if (changed.contains(QStringLiteral("StateReason")))
    it->second.reason =
        static_cast<int>(IntegerOf(changed.value(QStringLiteral("StateReason")), 0));
  if (changed.contains(QStringLiteral("State"))) {
    CallState(message.path(),
              static_cast<int>(IntegerOf(changed.value(QStringLiteral("State")), 0)),
              it->second.reason);
  }
}

void MmTelephony::AddCall(const QString& path, const QString& modem) {
  if (path.isEmpty() || m_calls.count(path)) return;
  Call& c = m_calls[path];
  c.handle = m_nextHandle++;
  c.modem = modem;
  const std::int64_t handle = c.handle;
  auto get = QDBusMessage::createMethodCall(kService, path, kProperties, QStringLiteral("GetAll"));
  get << kCall;
  auto* w = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
  connect(w, &QDBusPendingCallWatcher::finished, this, [this, w, path, handle] {
    w->deleteLater();
    auto it = m_calls.find(path);
    if (it == m_calls.end() || it->second.handle != handle) return;
    const QDBusMessage reply = w->reply();
    QVariantMap props;
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
      props = ToPropertyMap(reply.arguments().at(0));
    it->second.loaded = true;
    if (it->second.number.isEmpty())
      it->second.number = BoundedNumber(StringOf(props.value(QStringLiteral("Number"))));
    // The states seen while the properties were on their way, in order; else the state now.
    auto pending = std::move(it->second.pending);
    it->second.pending.clear();
    if (pending.empty() && props.contains(QStringLiteral("State")))
      pending.emplace_back(
          static_cast<int>(IntegerOf(props.value(QStringLiteral("State")), 0)),
          static_cast<int>(IntegerOf(props.value(QStringLiteral("StateReason")), 0)));
    for (const auto& [state, reason] : pending) Deliver(path, state, reason);
  });
}

void MmTelephony::CallState(const QString& path, int state, int reason) {
  auto it = m_calls.find(path);
  if (it == m_calls.end()) return;
  if (!it->second.loaded) {
    it->second.pending.emplace_back(state, reason);
    return;
  }
  Deliver(path, state, reason);
}

void MmTelephony::Deliver(const QString& path, int state, int reason) {
  auto it = m_calls.find(path);
  if (it == m_calls.end()) return;
  const auto event = LineEventOfCallState(state, reason);
  if (!event || event->state == it->second.lastEmitted) return;
  it->second.lastEmitted = event->state;
  const std::int64_t handle = it->second.handle;
  if (event->state == kCallDisconnected && it->second.ours) {
    // A call this program placed is its to remove; the removal then reads as idle.
    auto del = QDBusMessage::createMethodCall(kService, it->second.modem, kVoice,
                                              QStringLiteral("DeleteCall"));
    del << QVariant::fromValue(QDBusObjectPath(path));
    m_bus.asyncCall(del);
  }
  // The callback may hang up, release or end the call: nothing of the table is held here.
  if (m_callback) m_callback(handle, kLineCallState, event->state, event->detail);
}

void MmTelephony::CallGone(const QString& path) {
  auto it = m_calls.find(path);
  if (it == m_calls.end()) return;
  const std::int64_t handle = it->second.handle;
  const bool reported = it->second.lastEmitted != -1;
  m_calls.erase(it);
  if (reported && m_callback) m_callback(handle, kLineCallState, kCallIdle, 0);
}

MmTelephony::Call* MmTelephony::FindHandle(std::int64_t handle, QString* path) {
  for (auto& [p, call] : m_calls) {
    if (call.handle != handle) continue;
    if (path) *path = p;
    return &call;
  }
  return nullptr;
}

std::optional<TelephonyCallInfo> MmTelephony::GetCallInfo(std::int64_t handle) {
  const Call* c = FindHandle(handle);
  if (!c) return std::nullopt;
  TelephonyCallInfo info;
  const std::string number = c->number.toStdString();
  // The call is named by whom it was placed for, else by its number; the number is the other
  // party when it is not already the name.
  info.calledParty = c->ours && !c->calledParty.empty() ? c->calledParty : number;
  if (info.calledParty != number) info.displayableAddress = number;
  info.mediaMode = kMediaInteractiveVoice;
  return info;
}

Status MmTelephony::Drop(std::int64_t handle) {
  QString path;
  if (!FindHandle(handle, &path)) return Status::Fail("Chiamata sconosciuta");
  auto hangup = QDBusMessage::createMethodCall(kService, path, kCall, QStringLiteral("Hangup"));
  auto* w = new QDBusPendingCallWatcher(m_bus.asyncCall(hangup), this);
  connect(w, &QDBusPendingCallWatcher::finished, this, [this, w] {
    w->deleteLater();
    if (w->isError() && onError)
      onError("Impossibile chiudere la chiamata: " + w->error().message().left(200).toStdString());
  });
  return Status::Ok();
}

void MmTelephony::Deallocate(std::int64_t handle) {
  QString path;
  Call* c = FindHandle(handle, &path);
  if (!c) return;
  if (c->ours) {
    auto del =
        QDBusMessage::createMethodCall(kService, c->modem, kVoice, QStringLiteral("DeleteCall"));
    del << QVariant::fromValue(QDBusObjectPath(path));
    m_bus.asyncCall(del);
  }
  m_calls.erase(path);
}

Status MmTelephony::MakeCall(const std::string& number, const std::string& calledParty) {
  const auto dialable = DialableNumber(number);
  if (!dialable) return Status::Fail("Numero telefonico non valido: " + number);
  if (m_modems.isEmpty()) return Status::Fail("Nessun modem con funzioni vocali disponibile");
  QStringList modems = m_modems.values();
  modems.sort();
  const QString modem = modems.front();
  auto create =
      QDBusMessage::createMethodCall(kService, modem, kVoice, QStringLiteral("CreateCall"));
  create << QVariantMap{{QStringLiteral("number"), *dialable}};
  auto* w = new QDBusPendingCallWatcher(m_bus.asyncCall(create), this);
  connect(w, &QDBusPendingCallWatcher::finished, this, [this, w, modem, calledParty] {
    w->deleteLater();
    const QDBusMessage reply = w->reply();
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
      if (onError)
        onError("Impossibile comporre il numero: " + reply.errorMessage().left(200).toStdString());
      return;
    }
    const QString path = reply.arguments().at(0).value<QDBusObjectPath>().path();
    AddCall(path, modem);
    auto it = m_calls.find(path);
    if (it == m_calls.end()) return;
    it->second.ours = true;
    it->second.calledParty = calledParty;
    auto start = QDBusMessage::createMethodCall(kService, path, kCall, QStringLiteral("Start"));
    auto* s = new QDBusPendingCallWatcher(m_bus.asyncCall(start), this);
    connect(s, &QDBusPendingCallWatcher::finished, this, [this, s] {
      s->deleteLater();
      if (s->isError() && onError)
        onError("Impossibile comporre il numero: " + s->error().message().left(200).toStdString());
    });
  });
  return Status::Ok();
}

}  // namespace orva

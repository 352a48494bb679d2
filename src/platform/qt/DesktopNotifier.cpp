// Notices through org.freedesktop.Notifications.
#include "platform/qt/DesktopNotifier.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QStringList>
#include <QVariantMap>

namespace orva {
namespace {

const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

QString ServiceName() {
  return QString::fromLatin1(DesktopNotifier::kService);
}

unsigned char UrgencyByte(Notice::Urgency u) {
  switch (u) {
    case Notice::Urgency::Low:
      return 0;
    case Notice::Urgency::Critical:
      return 2;
    case Notice::Urgency::Normal:
      break;
  }
  return 1;
}

}  // namespace

QString EscapeNotificationBody(const QString& text) {
  QString out = text.toHtmlEscaped();
  // Quotes need no escaping in a body, and services that read only a few entities would show
  // "&quot;" as it is.
  out.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
  return out;
}

DesktopNotifier::DesktopNotifier(QDBusConnection bus, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)) {
  if (!m_bus.isConnected()) return;
  m_watcher =
      new QDBusServiceWatcher(ServiceName(), m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
  connect(m_watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] { ServiceAppeared(); });
  connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
    m_running = false;
    m_bodyMarkup = false;
  });
  // Once at start: the bus daemon answers these itself, at once.
  QDBusConnectionInterface* daemon = m_bus.interface();
  if (!daemon) return;
  const QDBusReply<QStringList> activatable = daemon->activatableServiceNames();
  m_activatable = activatable.isValid() && activatable.value().contains(ServiceName());
  const QDBusReply<bool> registered = daemon->isServiceRegistered(ServiceName());
  if (registered.isValid() && registered.value()) ServiceAppeared();
}

DesktopNotifier::~DesktopNotifier() = default;

bool DesktopNotifier::Available() const {
  return m_bus.isConnected() && (m_running || m_activatable);
}

void DesktopNotifier::ServiceAppeared() {
  m_running = true;
  AskCapabilities();
}

void DesktopNotifier::AskCapabilities() {
  const QDBusMessage call = QDBusMessage::createMethodCall(ServiceName(), kPath, kInterface,
                                                           QStringLiteral("GetCapabilities"));
  auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, replyTimeoutMs), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
    const QDBusPendingReply<QStringList> reply = *w;
    if (!reply.isError()) m_bodyMarkup = reply.value().contains(QStringLiteral("body-markup"));
    w->deleteLater();
  });
}

void DesktopNotifier::Notify(const Notice& notice, std::function<void()> undelivered) {
  const QString body = QString::fromStdString(notice.body);
  QVariantMap hints;
  hints.insert(QStringLiteral("urgency"), QVariant::fromValue(UrgencyByte(notice.urgency)));
  hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("orva32"));
  QDBusMessage call =
      QDBusMessage::createMethodCall(ServiceName(), kPath, kInterface, QStringLiteral("Notify"));
  // Urgent notices stay until the user closes them, as the box they stand for did.
  const int expire = notice.urgency == Notice::Urgency::Critical ? 0 : -1;
  call << QStringLiteral("ORVA32") << 0u << QStringLiteral("orva32")
       << QString::fromStdString(notice.summary)
       << (m_bodyMarkup ? EscapeNotificationBody(body) : body) << QStringList() << hints << expire;
  auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, replyTimeoutMs), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [undelivered = std::move(undelivered)](QDBusPendingCallWatcher* w) {
            const bool failed = w->isError();
            w->deleteLater();
            if (failed && undelivered) undelivered();
          });
}

}  // namespace orva

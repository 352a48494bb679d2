// Notices through the desktop's notification service (org.freedesktop.Notifications on the
// session bus). The service is followed as it comes and goes; one that is started on demand
// counts as there. Every call is asynchronous: a refusal or no answer gives the caller its
// other way of saying the notice.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include "platform/Notifier.h"

class QDBusServiceWatcher;

namespace orva {

class DesktopNotifier final : public QObject, public Notifier {
  Q_OBJECT
 public:
  static constexpr const char* kService = "org.freedesktop.Notifications";

  // `bus`: the session bus, or a test's own.
  explicit DesktopNotifier(QDBusConnection bus = QDBusConnection::sessionBus(),
                           QObject* parent = nullptr);
  ~DesktopNotifier() override;

  bool Available() const override;
  void Notify(const Notice& notice, std::function<void()> undelivered) override;

  // How long a service may take to answer before the notice counts as undelivered.
  int replyTimeoutMs = 5000;

 private:
  void ServiceAppeared();
  void AskCapabilities();

  QDBusConnection m_bus;
  QDBusServiceWatcher* m_watcher = nullptr;
  bool m_running = false;
  bool m_activatable = false;
  bool m_bodyMarkup = false;  // the service reads markup in bodies: "<" and "&" are escaped
};

// A body for a service that reads markup: the text shown as it is.
QString EscapeNotificationBody(const QString& text);

}  // namespace orva

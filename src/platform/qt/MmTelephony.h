// ModemManager as the telephony service: modems with the Voice interface are the lines, their
// call objects the calls. A call's state becomes the line's call-state event (ringing in =
// offering, dialing, ringing out = ringback, active = connected, terminated = disconnected;
// the call object's removal = idle), delivered on the user-interface thread from D-Bus
// signals; a voice call is placed with CreateCall and Start. Nothing waits for ModemManager.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QSet>
#include <QString>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/Telephony.h"

class QDBusServiceWatcher;

namespace orva {

// ModemManager's call states and the state reasons that name a cause.
inline constexpr int kMmCallDialing = 1, kMmCallRingingOut = 2, kMmCallRingingIn = 3,
                     kMmCallActive = 4, kMmCallTerminated = 7;
inline constexpr int kMmReasonRefusedOrBusy = 5;

struct LineStateEvent {
  int state = 0;   // kCall...
  int detail = 0;  // the disconnection's reason
};

// The line event of a ModemManager call state; none for states the line does not report
// (unknown, held, waiting).
std::optional<LineStateEvent> LineEventOfCallState(int mmState, int mmReason);

class MmTelephony final : public QObject, public Telephony {
  Q_OBJECT
 public:
  explicit MmTelephony(const QDBusConnection& bus, QObject* parent = nullptr);
  ~MmTelephony() override;

  // Whether ModemManager has its name on the bus (one short question to the bus).
  static bool Present(const QDBusConnection& bus);

  // Unavailable without a system bus. ModemManager is followed as it comes and goes on the
  // bus; its modems are learnt afterwards.
  TelephonyOpen Open(Callback callback) override;
  std::optional<TelephonyCallInfo> GetCallInfo(std::int64_t call) override;
  // Hangs the call up.
  Status Drop(std::int64_t call) override;
  // Forgets the call; a call this program placed is deleted from the modem.
  void Deallocate(std::int64_t call) override;
  void Close() override;
  // CreateCall with the number on the first voice modem, then Start.
  Status MakeCall(const std::string& number, const std::string& calledParty) override;

  // The voice modems known now (tests).
  int VoiceModems() const { return static_cast<int>(m_modems.size()); }

 private slots:
  void OnInterfacesAdded(const QDBusMessage& message);
  void OnInterfacesRemoved(const QDBusMessage& message);
  void OnCallAdded(const QDBusMessage& message);
  void OnCallDeleted(const QDBusMessage& message);
  void OnCallStateChanged(const QDBusMessage& message);
  void OnPropertiesChanged(const QDBusMessage& message);

 private:
  struct Call {
    std::int64_t handle = 0;
    QString modem;
    QString number;
    bool loaded = false;                      // its properties have arrived
    bool ours = false;                        // placed by this program
    std::string calledParty;                  // the name it was placed for
    int reason = 0;                           // the last state reason heard
    int lastEmitted = -1;                     // the last line state delivered
    std::deque<std::pair<int, int>> pending;  // states before the properties came
  };
  void Reload();
  void AddModem(const QString& path, const QVariantMap& voice);
  void RemoveModem(const QString& path);
  void AddCall(const QString& path, const QString& modem);
  void CallGone(const QString& path);
  void CallState(const QString& path, int state, int reason);
  void Deliver(const QString& path, int state, int reason);
  Call* FindHandle(std::int64_t handle, QString* path = nullptr);

  QDBusConnection m_bus;
  std::unique_ptr<QDBusServiceWatcher> m_watcher;
  Callback m_callback;
  bool m_open = false;
  quint64 m_generation = 0;
  QSet<QString> m_modems;
  std::map<QString, Call> m_calls;
  std::int64_t m_nextHandle = 1;
};

}  // namespace orva

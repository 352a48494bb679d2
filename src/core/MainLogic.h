// The application shell without windows: the metered call and its tick counting, warnings and
// limits; the dial-up watcher and the telephony events; start-up, the three timers, the
// application messages and the close decisions. The main window (or the console meter) owns
// one and forwards its events; everything runs on one thread.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/CallInfo.h"
#include "core/MeterPlatform.h"
#include "core/MeterServices.h"
#include "core/MeterView.h"
#include "core/Settings.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Dialup.h"
#include "platform/Process.h"
#include "platform/Sound.h"
#include "platform/SysMon.h"
#include "platform/Telephony.h"

namespace orva {

// Application messages (first user message + n).
inline constexpr int kMsgStart = 1025;
inline constexpr int kMsgStop = 1026;
inline constexpr int kMsgQuit = 1027;
inline constexpr int kMsgSelectTariff = 1028;
inline constexpr int kMsgDefaultTariff = 1029;
inline constexpr int kMsgRedraw = 1030;
inline constexpr int kMsgNothing = 1033;
inline constexpr int kMsgPing = 1122;
inline constexpr int kMsgPingReply = 1123;

// The dial-up state texts of the label "Accesso remoto :"; empty for an unknown state.
std::string RasStateText(int state);

// Sound events.
inline constexpr int kEventConnection = 1, kEventDisconnection = 2, kEventTick = 3,
                     kEventWarning = 4, kEventMail = 5;

class MainLogic {
 public:
  // The platform, and the records and follow-ups of a call (ProgramServices fills the
  // records from a data directory).
  struct Deps : MeterPlatform {
    TariffService* tariffs = nullptr;
    BillService* bill = nullptr;
    LogService* log = nullptr;
    Settings* settings = nullptr;
    NetworkHooks network;
    // The service choice dialog: the confirmed text, or none for "Ignora".
    std::function<std::optional<std::string>(const std::string& serviceText)> chooseService;
    // Saves the settings (the record behind `settings`).
    std::function<void()> saveSettings;
    // Whether a file exists (the launcher's programs, the sounds); default: the file system.
    std::function<bool(const std::string&)> fileExists;
    // What answers message 1122 as the application (the process id on Linux).
    long long applicationId = 0;
  };

  explicit MainLogic(Deps deps);
  ~MainLogic();
  MainLogic(const MainLogic&) = delete;
  MainLogic& operator=(const MainLogic&) = delete;

  // ---- start-up and shutdown
  // The start-up order after the settings are loaded; ends with the dial-up poll enabled.
  void Startup();
  // The first activation: the period cost, the saved tariff, a first evaluation.
  void FirstActivation();
  // Whether the program may close now (asks the password, confirms ending a call).
  bool FormCloseQuery();
  // The session is ending: a metered call is ended and recorded; no password at close.
  void WMQueryEndSession();
  // Saves the settings and releases telephony.
  void FormDestroy();
  // An application message; true when handled. `reply` receives the answer of 1122.
  bool HandleAppMessage(int message, long long wParam, long long lParam,
                        const std::function<void(long long target, int message, long long wParam,
                                                 long long lParam)>& reply = {});

  // ---- timers
  void TimerRASTimer();
  void Timer22Timer();
  void TimerChTimer();

  // ---- the call
  void StartCall();
  // Ends the call; without the final sample when the clock guard stops it.
  void EndCall(bool finalSample = true);
  void PlayEventSound(int event);
  void Start1Click();
  void Stop1Click();
  void HangupBtnClick();
  void VoiceBtnClick();
  // Dials an entry through the launcher (the per-entry dial items).
  void DialEntry(const std::string& entry);
  void LaunchConnectionPrograms(const std::string& entry);
  // A telephony line event.
  void LineCallback(std::int64_t call, int event, int state, int detail);
  // Selects a tariff in both selectors and re-evaluates (message 1028, the user's choice).
  void SelectTariff(int index);
  // Reads the bill period's cost again (after the bill view, and after every call, whose
  // ticks are in the bill by then).
  void RefreshPeriodCost();

  // ---- state for the display
  // Round(tick seconds) minus the seconds since the tick start at the last sample.
  long long SecondsToNextTick() const;
  bool Metering() const { return m_metering; }
  const CallInfo& Info() const { return m_info; }
  CallInfo& MutableInfo() { return m_info; }
  const MeterTariff& Tariff() const { return m_tariff; }
  int SelectedTariff() const { return m_selectedTariff; }
  long long Ticks() const { return m_ticks; }
  double Cost() const { return m_cost; }
  long long ElapsedSeconds() const { return m_elapsed; }
  // Whole seconds from the tick start to the last sample while metering.
  long long SecondsIntoTick() const;
  // Real milliseconds from the tick start to now (the counters' time to the next tick).
  long long MsSinceTickStart() const;
  // The call's moments in local time (0 before the first call).
  TDateTime CallStart() const { return LocalTime(m_callStart); }
  TDateTime CallEnd() const { return LocalTime(m_callEnd); }
  TDateTime TickStart() const;
  double PeriodCost() const { return m_periodCost; }
  const std::string& NegotiationText() const { return m_negotiation; }
  bool ShuttingDown() const { return m_shutdown; }
  Timer& TimerRAS() { return *m_timerRAS; }
  Timer& Timer22() { return *m_timer22; }
  Timer& TimerCh() { return *m_timerCh; }
  // Records not yet in the log because an append failed; written first at the next append.
  const std::deque<CallRecord>& PendingRecords() const { return m_pendingRecords; }

  static TDateTime FromSeconds(long long s) { return static_cast<double>(s) / kSecondsPerDay; }
  static long long ToSeconds(TDateTime t);
  // The local date-time of a moment in real seconds (0 stays 0: no moment yet).
  static TDateTime LocalTime(long long realSeconds);
  // Round half to even, as the counters round.
  static long long Round(double v);

 private:
  long long Sample() const;
  bool Evaluate(long long ticks, long long elapsedSeconds);
  // Adds ticks to the bill and counts what it got; a failure is shown.
  void Bill(TDateTime day, long long ticks, double price);
  void ReportProblem(const std::string& text);
  void Sample22(bool finalPass, bool& ended);
  void CheckLimits(bool& ended);
  void ReadAdapterCounters();
  void TakeBaselines();
  void ShowStatus();
  void EndTelephonyCall(bool releaseHandle, bool keepStatus);
  bool FileExists(const std::string& path) const;
  void OpenAdapterStatistics();
  // The dial-up watcher's steps: the link's speed once per call, one connection of the poll,
  // the link up (the call starts) and the link gone (the call ends).
  void TakeSpeed();
  void WatchConnection(const DialupConnection& c);
  void LinkConnected(const DialupConnection& c);
  void LinkDisconnected();
  // The telephony events' steps: a call answered (metered from now), and the window brought
  // up for a call as the settings ask.
  void CallConnected(std::int64_t call);
  void BringUpForCall();
  void BindAdapter(const DialupConnection& c);
  // The seconds the negotiation ran before the connection was reported.
  long long NegotiatedSeconds() const;
  // The ticks and cost a call starts with (the negotiated ticks, the answer tick, the fixed
  // charge), billed; the tick start falls where the negotiated ticks leave it.
  void ChargeOpening(long long now, long long negotiatedSeconds);
  // At the call's end: what the bill has not got of the call's cost yet; then the period
  // cost, the visited servers, the labels and baselines made ready for the next call.
  void BillTheRest();
  void AfterCall();
  // The log record of the call just ended, with the default service text.
  CallRecord FinishedCallRecord() const;
  void WriteLogRecord(const CallRecord& record);
  // The service question after the call is in the log; the record gets the answer.
  void AskLoggedService(const std::string& offered);

  Deps m_d;
  std::unique_ptr<Timer> m_timerRAS, m_timer22, m_timerCh, m_hangupDelay;
  std::unique_ptr<TSysMon> m_sysMon;
  TMonObject* m_recvCounter = nullptr;
  TMonObject* m_sentCounter = nullptr;
  TMonObject* m_speedCounter = nullptr;
  // Byte baselines per interface (name and index), 64-bit.
  struct Baseline {
    std::string interfaceName;
    int interfaceIndex = -1;
    std::int64_t received = 0, sent = 0;
  } m_baseline;
  std::string m_adapterInterface;
  int m_adapterIndex = -1;

  CallInfo m_info;
  MeterTariff m_tariff;
  int m_selectedTariff = 0;
  bool m_metering = false;
  // Call times in real seconds since 1970-01-01 UTC (clock samples, whole seconds): spans
  // do not jump when daylight saving moves the local time. Local time is for what is shown,
  // for the tariff's bands and day classes and for the bill's days.
  long long m_callStart = 0, m_lastSample = 0, m_callEnd = 0;
  // The tick start keeps the milliseconds where the last tick interval really ended: cut to
  // whole seconds, a 12.5-second tick would lose (or gain) half a second at every tick.
  long long m_tickStartMs = 0;
  long long m_elapsed = 0;  // seconds
  // What the bill got for this call so far, lire: the end of a call with ticks of a second or
  // less bills the rest, so the bill holds the call's cost once.
  double m_billed = 0;
  long long m_ticks = 0;
  double m_cost = 0;
  bool m_warnTime = false, m_warnCost = false, m_warnPeriod = false;
  double m_periodCost = 0;
  std::uint64_t m_lastMailCheckTick = 0;
  std::uint64_t m_lastMonitorRefresh = 0;
  long long m_lastMailCheck = 0;  // real seconds
  std::string m_negotiation;
  std::int64_t m_dialupHandle = 0;
  std::int64_t m_voiceCall = 0;
  bool m_firstSinceIdle = true;
  bool m_launchAllowed = true;
  bool m_shutdown = false;
  bool m_firstActivation = true;
  bool m_telephonyOpen = false;
  bool m_inStop = false;
  std::string m_lastProblem;  // the background failure shown last (shown once)
  std::deque<CallRecord> m_pendingRecords;
  std::string m_lastLogLine;  // the line of the record written last
};

}  // namespace orva

// The metered call: its start with the opening charge, one sample per Timer22 run with the
// ticks and their bill, the warnings of TimerCh, the limits, the end with the rest of the bill
// and the log record, and the event sounds. It meters the call of one line (the dial-up
// watcher's); everything runs on one thread.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "core/CallInfo.h"
#include "core/MeterDeps.h"
#include "core/MeteredLine.h"
#include "platform/Clock.h"

namespace orva {

// Sound events.
inline constexpr int kEventConnection = 1, kEventDisconnection = 2, kEventTick = 3,
                     kEventWarning = 4, kEventMail = 5;

class MeteredCall {
 public:
  // `d` outlives the meter; a line is attached before the first call.
  explicit MeteredCall(const MeterDeps& d);
  ~MeteredCall();
  MeteredCall(const MeteredCall&) = delete;
  MeteredCall& operator=(const MeteredCall&) = delete;
  void Attach(MeteredLine& line) { m_line = &line; }

  // ---- start-up and shutdown
  // Counters at zero, the first tariff evaluated, the warnings checked from now on.
  void Reset();
  // The first activation: the period cost, the saved tariff, a first evaluation.
  void Activate();
  // The timers stop (the program closes).
  void Stop();
  // The session is ending: nobody is asked anything from now on.
  void EndSession() { m_sessionEnding = true; }
  bool SessionEnding() const { return m_sessionEnding; }

  // ---- the call
  void Start();
  // Ends the call; without the final sample when the clock guard stops it.
  void End(bool finalSample = true);
  void Timer22Timer();
  void TimerChTimer();
  void PlayEventSound(int event);
  // Selects a tariff in both selectors and re-evaluates (message 1028, the user's choice).
  void SelectTariff(int index);
  // The tariff in force evaluated again while no call runs (the poll keeps it current).
  void EvaluateIdle();
  // The options were closed: a running call samples and checks its warnings at the new
  // periods from now on, not from the next call.
  void ApplyTimerSettings();
  // Reads the bill period's cost again (after the bill view, and after every call, whose
  // ticks are in the bill by then).
  void RefreshPeriodCost();
  // The negotiation time of the entry being watched (milliseconds, as the association says).
  void SetNegotiation(std::string text) { m_negotiation = std::move(text); }
  const std::string& NegotiationText() const { return m_negotiation; }
  // A failure in the background, shown once until the next call.
  void ReportProblem(const std::string& text);

  // ---- state for the display
  bool Metering() const { return m_metering; }
  // The samples and the warnings run on their timers.
  bool Sampling() const;
  bool CheckingWarnings() const;
  const CallInfo& Info() const { return m_line->Info(); }
  const TariffValues& Tariff() const { return m_tariff; }
  int SelectedTariff() const { return m_selectedTariff; }
  long long Ticks() const { return m_ticks; }
  double Cost() const { return m_cost; }
  long long ElapsedSeconds() const { return m_elapsed; }
  // Round(tick seconds) minus the seconds since the tick start at the last sample.
  long long SecondsToNextTick() const;
  // Whole seconds from the tick start to the last sample while metering.
  long long SecondsIntoTick() const;
  // Real milliseconds from the tick start to now (the counters' time to the next tick).
  long long MsSinceTickStart() const;
  // The call's moments in local time (0 before the first call).
  TDateTime CallStart() const { return LocalTime(m_callStart); }
  TDateTime CallEnd() const { return LocalTime(m_callEnd); }
  TDateTime TickStart() const;
  double PeriodCost() const { return m_periodCost; }
  // The period's cost projected to the month's end, read with the period cost.
  const std::optional<PeriodForecastCost>& PeriodForecast() const { return m_periodForecast; }
  // Records not yet in the log because an append failed; written first at the next append.
  const std::deque<CallRecord>& PendingRecords() const { return m_pendingRecords; }

  static TDateTime FromSeconds(long long s) { return static_cast<double>(s) / kSecondsPerDay; }
  static long long ToSeconds(TDateTime t);
  // The local date-time of a moment in real seconds (0 stays 0: no moment yet).
  static TDateTime LocalTime(long long realSeconds);
  // Round half to even, as the counters round.
  static long long Round(double v);

 private:
  long long WarningAmount(double cost, int withVat) const;
  void ReadPeriodCost();
  void Warn(bool& armed, const std::string& text);
  long long Sample() const;
  bool Evaluate(long long ticks, long long elapsedSeconds);
  // Adds ticks to the bill and counts what it got; a failure is shown.
  void Bill(TDateTime day, long long ticks, double price);
  void Sample22(bool& ended);
  void CheckLimits(bool& ended);
  // The seconds the negotiation ran before the connection was reported.
  long long NegotiatedSeconds() const;
  // The ticks and cost a call starts with (the negotiated ticks, the answer tick, the fixed
  // charge), billed; the tick start falls where the negotiated ticks leave it.
  void ChargeOpening(long long now, long long negotiatedSeconds);
  // At the call's end: what the bill has not got of the call's cost yet; then the period
  // cost, and the line made ready for the next call.
  void BillTheRest();
  // Bills what the call counted on the day of the share before a tick of another day.
  void BillDayShare(TDateTime day);
  void AfterCall();
  // The log record of the call just ended, with the default service text.
  CallRecord FinishedCallRecord() const;
  void WriteLogRecord(const CallRecord& record);
  // The service question after the call is in the log; the record gets the answer.
  void AskLoggedService(const std::string& offered);
  void NotifyCallEnded(const CallRecord& record);

  const MeterDeps& m_d;
  MeteredLine* m_line = nullptr;
  std::unique_ptr<Timer> m_timer22, m_timerCh;

  TariffValues m_tariff;
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
  // The day the cost not yet billed was counted on: continuous charging bills each day's
  // share to its own day when the day changes.
  TDateTime m_shareDay = 0;
  long long m_ticks = 0;
  double m_cost = 0;
  bool m_warnTime = false, m_warnCost = false, m_warnPeriod = false;
  double m_periodCost = 0;
  std::optional<PeriodForecastCost> m_periodForecast;
  std::uint64_t m_lastMonitorRefresh = 0;
  long long m_lastMailCheck = 0;  // real seconds
  std::string m_negotiation;
  bool m_sessionEnding = false;
  std::string m_lastProblem;  // the background failure shown last (shown once)
  std::deque<CallRecord> m_pendingRecords;
  std::string m_lastLogLine;  // the line of the record written last
};

}  // namespace orva

// The metered call: start, one sample per Timer22 run, the warnings of TimerCh, the limits,
// the end with its bill and log record, and the event sounds.
#include <algorithm>
#include <cmath>
#include <ctime>
#include <exception>

#include "core/MeteredCall.h"
#include "core/Notices.h"
#include "platform/Numbers.h"
#include "platform/SafeFile.h"
#include "platform/Trim.h"

namespace orva {
namespace {

constexpr const char* kClockChanged =
    "Attenzione ! L'ora di sistema risulta cambiata, non posso continuare.";

// The whole tick intervals of `t` seconds in `sinceMs` milliseconds, and Frac(sinceMs / t)
// x t in whole milliseconds: the part of the last interval already run. The new tick start is
// that much before the sample, to the millisecond, so 12.5-second ticks fall after 13 s and
// 12 s in turn. A tick length of whole milliseconds (every tariff file's) is split exactly: a
// millisecond lost to rounding at a tick could put the next one a second late.
struct TickSplit {
  long long ticks = 0, restMs = 0;
};
TickSplit SplitTicks(long long sinceMs, double t) {
  const double lengthMs = t * 1000.0;
  const double whole = std::round(lengthMs);
  if (sinceMs >= 0 && whole >= 1 && whole < 1e15 && std::abs(lengthMs - whole) < 1e-6) {
    const auto length = static_cast<long long>(whole);
    return {sinceMs / length, sinceMs % length};
  }
  const double q = static_cast<double>(sinceMs) / lengthMs;
  return {static_cast<long long>(std::trunc(q)),
          static_cast<long long>(std::trunc((q - std::trunc(q)) * lengthMs))};
}

long long FloorDiv(long long a, long long b) {
  const long long q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// A negotiation time beyond a day is no negotiation a modem makes; it is cut there so the
// call start stays a date the calendar can show.
constexpr long long kMaxNegotiationMs = 86400000;

long long RoundSeconds(double v) {
  return MeteredCall::Round(v);
}

// Re-enables a timer when the run ends, whatever happened inside it.
class ReenableAtEnd {
 public:
  ReenableAtEnd(Timer& t, const bool* onlyWhile = nullptr) : m_t(t), m_only(onlyWhile) {}
  ~ReenableAtEnd() {
    if (!m_only || *m_only) m_t.SetEnabled(true);
  }

 private:
  Timer& m_t;
  const bool* m_only;
};

}  // namespace

bool MeterFileExists(const MeterDeps& d, const std::string& path) {
  if (path.empty()) return false;
  if (d.fileExists) return d.fileExists(path);
  return FileExists(path);
}

MeteredCall::MeteredCall(const MeterDeps& d)
    : m_d(d), m_timer22(d.timers->CreateTimer()), m_timerCh(d.timers->CreateTimer()) {
  m_timer22->OnTimer = [this] { Timer22Timer(); };
  m_timerCh->OnTimer = [this] { TimerChTimer(); };
  m_timerCh->SetInterval(15000);
  m_negotiation = d.settings->negotiationTime;
}

MeteredCall::~MeteredCall() = default;

void MeteredCall::Reset() {
  const Settings& st = *m_d.settings;
  m_negotiation = st.negotiationTime;
  m_ticks = 0;
  m_cost = 0;
  m_elapsed = 0;
  m_metering = false;
  m_tariff.tickCost = kDefaultTickCost;
  m_timer22->SetEnabled(false);
  m_timer22->SetInterval(st.timerClockMs > 0 ? st.timerClockMs : 200);
  m_timerCh->SetInterval(std::max(1, st.warnFrequency) * 1000);
  m_d.view->SetLabel(MeterLabel::TickLb, "");
  m_selectedTariff = 0;
  Evaluate(0, 0);
  m_d.view->SetLabel(MeterLabel::TickLb, m_tariff.tickText);
  m_timerCh->SetEnabled(true);
}

void MeteredCall::Activate() {
  ReadPeriodCost();
  int index = m_d.settings->tariffIndex;
  if (index < 0 || index >= m_d.tariffs->Count()) {
    index = 0;
    m_d.settings->tariffIndex = 0;
  }
  m_selectedTariff = index;
  m_d.view->SelectTariff(index);
  m_d.view->RedrawCounters();
  Evaluate(m_ticks, m_elapsed);
  m_d.view->SetGauges(static_cast<int>(Round(m_tariff.tickSeconds)), -1);
  m_d.view->RedrawCounters();
}

void MeteredCall::Stop() {
  m_timer22->SetEnabled(false);
  m_timerCh->SetEnabled(false);
}

bool MeteredCall::Sampling() const {
  return m_timer22->Enabled();
}

bool MeteredCall::CheckingWarnings() const {
  return m_timerCh->Enabled();
}

void MeteredCall::SelectTariff(int index) {
  const int count = m_d.tariffs->Count();
  if (index < 0 || (count > 0 && index >= count) || (count == 0 && index != 0)) return;
  m_selectedTariff = index;
  m_d.settings->tariffIndex = index;
  m_d.view->SelectTariff(index);
  Evaluate(m_ticks, m_elapsed);
  m_d.view->SetGauges(static_cast<int>(Round(m_tariff.tickSeconds)), -1);
  m_d.view->RedrawCounters();
}

void MeteredCall::EvaluateIdle() {
  if (!m_metering) Evaluate(m_ticks, m_elapsed);
}

void MeteredCall::ApplyTimerSettings() {
  const Settings& st = *m_d.settings;
  // An unchanged period is left alone, so closing the options does not put off the next run.
  const int sample = st.timerClockMs > 0 ? st.timerClockMs : 200;
  if (m_timer22->Interval() != sample) m_timer22->SetInterval(sample);
  // Without a call the warnings' timer keeps its idle period; the next call takes the setting.
  const int warnings = std::max(1, st.warnFrequency) * 1000;
  if (m_metering && m_timerCh->Interval() != warnings) m_timerCh->SetInterval(warnings);
}

void MeteredCall::RefreshPeriodCost() {
  ReadPeriodCost();
  m_d.view->RedrawCounters();
}

void MeteredCall::ReadPeriodCost() {
  m_periodCost = m_d.bill->PeriodCost();
  m_periodForecast = m_d.bill->PeriodForecast();
}

long long MeteredCall::Round(double v) {
  return static_cast<long long>(std::nearbyint(v));
}

long long MeteredCall::ToSeconds(TDateTime t) {
  return static_cast<long long>(std::floor(t * kSecondsPerDay + 1e-4));
}

TDateTime MeteredCall::LocalTime(long long realSeconds) {
  return realSeconds == 0 ? 0.0 : FromTimeT(static_cast<std::time_t>(realSeconds));
}

TDateTime MeteredCall::TickStart() const {
  return m_tickStartMs == 0 ? 0.0 : LocalFromUtcMs(m_tickStartMs);
}

long long MeteredCall::SecondsIntoTick() const {
  return FloorDiv(m_lastSample * 1000 - m_tickStartMs, 1000);
}

long long MeteredCall::MsSinceTickStart() const {
  return m_d.clock->UtcMilliseconds() - m_tickStartMs;
}

// The clock sample: real whole seconds (the milliseconds dropped).
long long MeteredCall::Sample() const {
  return FloorDiv(m_d.clock->UtcMilliseconds(), 1000);
}

void MeteredCall::ReportProblem(const std::string& text) {
  if (text == m_lastProblem) return;
  m_lastProblem = text;
  m_d.dialogs->Message(text, MsgType::Error, MsgButtons::Ok);
}

bool MeteredCall::Evaluate(long long ticks, long long elapsedSeconds) {
  TariffValues r = m_tariff;
  Status s;
  try {
    s = m_d.tariffs->Evaluate(m_selectedTariff, ticks, FromSeconds(elapsedSeconds),
                              m_d.clock->Now(), r);
  } catch (const std::exception& e) {
    s = Status::Fail(e.what());
  }
  if (!s) {
    // The values in force stay; the failure is shown once.
    ReportProblem(s.error);
    return false;
  }
  // A tick length the meter cannot count with would stop the counting; keep the old one.
  if (CheckTickLength(r.tickSeconds) != TickLength::Usable) r.tickSeconds = m_tariff.tickSeconds;
  if (!std::isfinite(r.tickCost)) r.tickCost = m_tariff.tickCost;
  m_tariff = r;
  return true;
}

void MeteredCall::PlayEventSound(int event) {
  if (m_d.settings->soundsOn == 0 || event < 1 || event > 5) return;
  const auto i = static_cast<std::size_t>(event - 1);
  if (!m_d.settings->soundEnabled[i] || m_d.settings->soundFiles[i].empty()) return;
  std::string path = m_d.settings->soundFiles[i];
  if (path[0] != '/') path = m_d.dataDirectory + path;
  if (!MeterFileExists(m_d, path)) return;
  const bool was = m_timer22->Enabled();
  if (was) m_timer22->SetEnabled(false);
  m_d.sound->PlayWav(path);
  if (was) m_timer22->SetEnabled(true);
}

void MeteredCall::Start() {
  if (m_metering) return;
  Settings& st = *m_d.settings;
  m_lastProblem.clear();
  m_line->CallStarting();
  if (m_d.network.callStarted) m_d.network.callStarted();
  m_d.view->SetTariffSelectorsEnabled(false);
  m_timerCh->SetInterval(std::max(1, st.warnFrequency) * 1000);

  const long long now = Sample();
  // The negotiation happened before the connection was reported: the call counts from its
  // start.
  const long long n = NegotiatedSeconds();
  m_callStart = now - n;

  m_lastSample = now;
  m_callEnd = 0;
  m_elapsed = 0;
  m_ticks = 0;
  m_tickStartMs = 0;
  m_billed = 0;
  Evaluate(0, 0);

  ChargeOpening(now, n);
  const double t = m_tariff.tickSeconds;
  m_d.view->SetGauges(static_cast<int>(RoundSeconds(t)), t > 1 ? static_cast<int>(n) : -1);
  m_metering = true;
  PlayEventSound(kEventConnection);
  if (st.flashIcon == 1) m_d.view->SetTrayAnimation(true);
  m_d.view->RefreshCommandStates();
  m_warnTime = m_warnCost = m_warnPeriod = true;
  m_lastMailCheck = now;
  m_timer22->SetInterval(st.timerClockMs > 0 ? st.timerClockMs : 200);
  m_timer22->SetEnabled(true);
  m_d.view->RedrawCounters();
}

long long MeteredCall::NegotiatedSeconds() const {
  // A negative or unreadable time counts as none; voice calls and manual starts have none.
  long long negotiationMs = ParseInteger64(m_negotiation).value_or(0);
  if (negotiationMs < 0 || Info().kind == kKindVoice || Info().status == kStatusManual)
    negotiationMs = 0;
  return std::min(negotiationMs, kMaxNegotiationMs) / 1000;
}

void MeteredCall::ChargeOpening(long long now, long long n) {
  const double t = m_tariff.tickSeconds;
  const TickSplit negotiated = SplitTicks(n * 1000, t);
  const long long whole = negotiated.ticks;
  if (m_tariff.fixedChargeUnit == 1) {
    m_ticks = whole;
    m_cost = static_cast<double>(m_ticks) * m_tariff.tickCost + m_tariff.fixedCharge;
  } else {
    // The "+ 1" is the tick charged when the call is answered.
    m_ticks = whole + m_tariff.fixedCharge + 1;
    m_cost = static_cast<double>(m_ticks) * m_tariff.tickCost;
  }
  if (static_cast<double>(n) >= t)
    m_tickStartMs = now * 1000 - negotiated.restMs;
  else
    m_tickStartMs = (now - n) * 1000;

  const TDateTime today = DatePart(LocalTime(now));
  m_shareDay = today;
  if (m_tariff.fixedChargeUnit == 1) {
    Bill(today, 1, m_tariff.fixedCharge);
    // The ticks the negotiation already ran are billed as they are counted; with ticks of a
    // second or less the end of the call bills them with the rest.
    if (t > 1 && m_ticks > 0) Bill(today, m_ticks, m_tariff.tickCost);
  } else {
    Bill(today, m_ticks, m_tariff.tickCost);
  }
}

// A sample while metering: elapsed time, ticks and their bill, counters, mail and monitor.
void MeteredCall::Sample22(bool& ended) {
  ended = false;
  m_lastSample = Sample();
  m_elapsed = m_lastSample - m_callStart;
  // The time since the tick start, hours included: a sample late by an hour or more (a
  // suspended machine) still counts every tick it missed. Real time: the local clock moving
  // by an hour for daylight saving is no hour of the call.
  const long long sinceMs = m_lastSample * 1000 - m_tickStartMs;
  const double s = static_cast<double>(sinceMs) / 1000.0;
  if (m_tariff.tickSeconds > 1)
    m_d.view->SetGaugePosition(
        static_cast<int>(std::clamp<long long>(FloorDiv(sinceMs, 1000), 0, 0x7FFFFFFF)));
  if (s >= m_tariff.tickSeconds) {
    Evaluate(m_ticks, m_elapsed);
    BillDayShare(DatePart(LocalTime(m_lastSample)));
    const double t = m_tariff.tickSeconds;
    const TickSplit split = SplitTicks(sinceMs, t);
    const long long m = split.ticks;
    m_ticks += m;
    m_cost += static_cast<double>(m) * m_tariff.tickCost;
    m_tickStartMs = m_lastSample * 1000 - split.restMs;
    if (t > 1 && m > 0) Bill(DatePart(LocalTime(m_lastSample)), m, m_tariff.tickCost);
    PlayEventSound(kEventTick);
    Evaluate(m_ticks, m_elapsed);
    m_d.view->SetGauges(static_cast<int>(RoundSeconds(m_tariff.tickSeconds)), 0);
    m_warnTime = m_warnCost = m_warnPeriod = true;
  }
  m_d.view->RedrawCounters();

  const Settings& st = *m_d.settings;
  const bool mailRunning = m_d.network.mailCheckRunning && m_d.network.mailCheckRunning();
  if (m_d.network.mailMeteringTick) {
    m_d.network.mailMeteringTick(!Info().ipAddress.empty());
  } else if (st.mailCheckEnabled && !mailRunning && !Info().ipAddress.empty() &&
             (m_lastSample - m_lastMailCheck) / 60 >= st.mailCheckMinutes) {
    m_lastMailCheck = m_lastSample;
    if (m_d.network.startMailCheck) m_d.network.startMailCheck();
  }
  if (m_d.network.tcpMonitorActive && m_d.network.tcpMonitorActive()) {
    const std::uint64_t tick = m_d.clock->TickCount();
    if (tick - m_lastMonitorRefresh >= 2000) {
      m_lastMonitorRefresh = tick;
      if (m_d.network.refreshTcpMonitor) m_d.network.refreshTcpMonitor();
    }
  }
}

long long MeteredCall::SecondsToNextTick() const {
  return RoundSeconds(m_tariff.tickSeconds) - SecondsIntoTick();
}

void MeteredCall::Bill(TDateTime day, long long ticks, double price) {
  const Status billed = m_d.bill->AddTicks(day, ticks, price);
  if (billed)
    m_billed += static_cast<double>(ticks) * price;
  else
    ReportProblem(billed.error);
}

// The disconnection limits and the flashing before a tick; they act only while a password
// exists.
void MeteredCall::CheckLimits(bool& ended) {
  const Settings& st = *m_d.settings;
  if (!st.access.HasPassword()) return;
  bool flashed = false;
  const int position = st.access.disconnectMinutes.value_or(0);
  const int undo = st.access.disconnectTick.value_or(0);
  const int previous = st.access.disconnectTickAdvance.value_or(0);
  if (st.access.disconnectAfterMinutes == 1 && position > 1) {
    const long long t = m_elapsed;
    const long long l = static_cast<long long>(position) * 60;
    const long long d = t > l ? t - l : l - t;
    if (d >= 40 && d <= 45 && m_d.view->FlashPhase()) m_d.dialogs->Beep();
    if (d < 45) {
      m_d.view->Flash();
      flashed = true;
    }
    if (t >= l) {
      m_d.view->StopFlashing();
      if (m_line->HangUpLink()) {
        m_d.view->SetHangupEnabled(false);
        End();
        m_d.dialogs->Message("ORVA32 - blocco connessione\r\rConnessione interrotta, trascorsi " +
                                 std::to_string(position) + " minuti.",
                             MsgType::Information, MsgButtons::Ok);
        ended = true;
        return;
      }
    }
  }
  const long long r = SecondsToNextTick();
  if (st.flashWindow == 1 && m_tariff.tickSeconds > 1 && st.flashAdvance >= r) {
    m_d.view->Flash();
    flashed = true;
  }
  if (st.access.disconnectAtTick == 1 && m_ticks + 1 >= undo) {
    if (previous + 20 >= r && !flashed) m_d.view->Flash();
    if (previous >= r) {
      m_d.view->StopFlashing();
      bool stop = true;
      if (Info().kind == kKindModem) {
        stop = m_line->HangUpLink();
        if (stop) m_d.view->SetHangupEnabled(false);
      }
      if (stop) {
        End();
        m_d.dialogs->Message("ORVA32 - blocco connessione\r\rConnessione interrotta, consumati " +
                                 std::to_string(undo - 1) + " scatti.",
                             MsgType::Information, MsgButtons::Ok);
        ended = true;
      }
    }
  }
}

void MeteredCall::Timer22Timer() {
  m_timer22->SetEnabled(false);
  ReenableAtEnd again(*m_timer22, &m_metering);
  if (!m_metering) return;
  try {
    const long long now = Sample();
    if (now * 1000 < m_tickStartMs || now < m_callStart) {
      End(/*finalSample=*/false);
      m_d.dialogs->Message(kClockChanged, MsgType::Confirmation, MsgButtons::Ok);
      return;
    }
    bool ended = false;
    Sample22(ended);
    CheckLimits(ended);
  } catch (const std::exception& e) {
    ReportProblem(e.what());
  }
}

// The amount a cost warning compares: with VAT cut to whole lire, or the cost rounded.
long long MeteredCall::WarningAmount(double cost, int withVat) const {
  return LimitAmount(cost, m_tariff.vatRate, withVat == 1);
}

// One warning: the sound, then a desktop notification when the user wants them and the
// desktop shows them, else the window brought up and the message; not again until the next
// tick. A notification leaves the window where it is: the user is not taken from their work.
void MeteredCall::Warn(bool& armed, const std::string& text) {
  PlayEventSound(kEventWarning);
  armed = false;
  MeterView* view = m_d.view;
  Dialogs* dialogs = m_d.dialogs;
  NotifyOrBox(
      m_d.settings->notifyWarnings, m_d.notifier, WarningNotice(text), [view, dialogs, text] {
        view->BringUp();
        dialogs->Message("ORVA AVVISO !\r\r" + text + "\r\r", MsgType::Warning, MsgButtons::Ok);
      });
}

void MeteredCall::TimerChTimer() {
  m_timerCh->SetEnabled(false);
  ReenableAtEnd again(*m_timerCh);
  try {
    const Settings& st = *m_d.settings;
    if (!m_metering) {
      Evaluate(m_ticks, m_elapsed);
      m_d.view->RedrawCounters();
    }
    if (st.warnTimeOn == 1 && m_warnTime &&
        m_elapsed >= static_cast<long long>(st.warnTimeMinutes) * 60)
      Warn(m_warnTime, "Il tempo totale di connessione è superiore al limite impostato");
    if (st.warnDayCostOn == 1 && m_warnCost) {
      const long long amount = WarningAmount(m_cost, st.warnDayCostWithVat);
      const auto limit = ParseInteger64(st.warnDayCost);
      if (limit && amount >= *limit)
        Warn(m_warnCost, st.currency == Currency::Lire
                             ? "Il costo della connessione in corso è superiore alle " +
                                   st.warnDayCost + " lire."
                             : "Il costo della connessione in corso è superiore a " +
                                   FormatAmount(static_cast<double>(*limit), st.currency) + ".");
    }
    if (st.warnPeriodCostOn == 1 && m_warnPeriod) {
      const long long amount = WarningAmount(m_periodCost, st.warnPeriodCostWithVat);
      const auto limit = ParseInteger64(st.warnPeriodCost);
      if (limit && amount >= *limit)
        Warn(m_warnPeriod, st.currency == Currency::Lire
                               ? "Il costo di connessione nel periodo è di L." +
                                     std::to_string(amount) + " ed è superiore alle " +
                                     st.warnPeriodCost + " lire."
                               : "Il costo di connessione nel periodo è di " +
                                     FormatAmount(static_cast<double>(amount), st.currency) +
                                     " ed è superiore a " +
                                     FormatAmount(static_cast<double>(*limit), st.currency) + ".");
    }
  } catch (const std::exception& e) {
    ReportProblem(e.what());
  }
}

void MeteredCall::WriteLogRecord(const CallRecord& record) {
  // Records an earlier append could not write go first, so the log keeps the call order; a
  // record that cannot be written is shown and kept for the next append.
  m_pendingRecords.push_back(record);
  while (!m_pendingRecords.empty()) {
    const AppendResult written = m_d.log->Append(m_pendingRecords.front());
    if (!written.status) {
      std::string line = written.line;
      for (char& c : line)
        if (c == '\t') c = ' ';
      m_d.dialogs->Message(written.status.error + "\r\rConnessione non registrata:\r" + line,
                           MsgType::Error, MsgButtons::Ok);
      return;
    }
    m_lastLogLine = written.line;
    m_pendingRecords.pop_front();
  }
}

void MeteredCall::AskLoggedService(const std::string& offered) {
  const auto chosen = m_d.chooseService(offered);
  // The session ended while the question was open: the record keeps the offered text.
  if (m_sessionEnding) return;
  std::string service = chosen ? std::string(TrimBlanks(*chosen)) : "?";
  if (service.empty()) service = "?";
  if (service == offered) return;
  // A record the log could not take yet is written later with the answer.
  if (!m_pendingRecords.empty()) {
    m_pendingRecords.back().service = service;
    return;
  }
  const AppendResult set = m_d.log->SetService(m_lastLogLine, service);
  if (set.status)
    m_lastLogLine = set.line;
  else
    m_d.dialogs->Message(set.status.error, MsgType::Error, MsgButtons::Ok);
}

void MeteredCall::End(bool finalSample) {
  if (!m_metering) return;
  // The service choice and the hosts merge keep events flowing while they show: the dial-up
  // poll waits until the call is closed, so it cannot start another call in the middle.
  struct HoldPoll {
    MeteredLine& line;
    bool was;
    ~HoldPoll() {
      if (was) line.ResumePolling();
    }
  } hold{*m_line, m_line->HoldPolling()};
  const Settings& st = *m_d.settings;
  if (m_d.network.stopTcpMonitor) m_d.network.stopTcpMonitor();
  if (m_d.network.endMailState) m_d.network.endMailState();
  PlayEventSound(kEventDisconnection);
  m_timer22->SetEnabled(false);
  m_d.view->SetTariffSelectorsEnabled(true);
  if (finalSample) {
    // The last ticks are counted and billed; the clock guard and the limits do not act here.
    bool ended = false;
    try {
      Sample22(ended);
    } catch (const std::exception& e) {
      ReportProblem(e.what());
    }
    m_timer22->SetEnabled(false);
  }
  m_callEnd = m_lastSample;
  m_elapsed = m_callEnd - m_callStart;
  m_metering = false;
  m_timerCh->SetInterval(15000);
  BillTheRest();
  m_d.view->SetTrayAnimation(false);
  m_d.view->RefreshCommandStates();
  if (m_d.network.clearMonitorMemo) m_d.network.clearMonitorMemo();

  const CallRecord record = FinishedCallRecord();
  // The call is on disk before anyone is asked about its service; while the session ends
  // nobody is asked.
  WriteLogRecord(record);
  if (st.askService && m_d.chooseService && !m_sessionEnding) AskLoggedService(record.service);
  if (st.notifyCallEnd && !m_sessionEnding) NotifyCallEnded(record);

  AfterCall();
}

// The summary of the call just logged; there is no box for it where no notification shows.
void MeteredCall::NotifyCallEnded(const CallRecord& record) {
  const long long seconds = record.durationSeconds >= 0 ? record.durationSeconds : m_elapsed;
  const std::optional<long long> ticks = ParseInteger64(record.ticks);
  const int decimals = std::clamp(m_d.settings->decimals, 0, 15);
  NotifyOrBox(true, m_d.notifier,
              CallEndedNotice(record.service, seconds, ticks, record.cost, decimals,
                              m_d.settings->currency),
              nullptr);
}

void MeteredCall::BillTheRest() {
  // Continuous charging (ticks of a second or less) is not billed tick by tick: the call's
  // cost less what the start and the earlier days got goes to the last day. The same rest
  // is billed when a band of such ticks ran in a call that ends on longer ticks, or when an
  // addition failed on the way, so the bill holds the call's cost once.
  const double rest = m_cost - m_billed;
  if (m_tariff.tickSeconds <= 1 || std::abs(rest) > 1e-6 * std::max(1.0, std::abs(m_cost)))
    Bill(DatePart(LocalTime(m_callEnd)), 1, rest);
}

void MeteredCall::BillDayShare(TDateTime day) {
  if (day == m_shareDay) return;
  // A call across midnight with ticks of a second or less: the cost counted up to the last
  // tick of the old day is that day's (and that month's), as whole ticks are.
  const double rest = m_cost - m_billed;
  if (std::abs(rest) > 1e-6 * std::max(1.0, std::abs(m_cost))) Bill(m_shareDay, 1, rest);
  m_shareDay = day;
}

void MeteredCall::AfterCall() {
  // The call's ticks are in the bill now: the period counter would otherwise drop back to
  // the cost read before the call.
  ReadPeriodCost();
  m_d.view->RedrawCounters();
  m_line->CallClosed();
  m_lastProblem.clear();
}

CallRecord MeteredCall::FinishedCallRecord() const {
  const CallInfo& info = Info();
  std::string prefix = std::string(CallKindName(info.kind)) + ": ";
  if (prefix.size() > 17) prefix.resize(17);
  std::string service = prefix + info.entryName;
  if (!info.remoteParty.empty()) service += " (" + info.remoteParty + ")";
  service = std::string(TrimBlanks(service));
  if (service.empty()) service = "?";
  CallRecord record;
  record.ticks = m_tariff.tickSeconds > 1 ? std::to_string(m_ticks) : "?";
  record.tariff = m_d.tariffs->Abbreviation(m_selectedTariff);
  record.speed = info.speed;
  record.service = service;
  record.bytesReceived = info.bytesReceived;
  record.bytesSent = info.bytesSent;
  record.cost = m_cost;
  record.end = LocalTime(m_callEnd);
  record.start = LocalTime(m_callStart);
  record.durationSeconds = std::max(0LL, m_callEnd - m_callStart);
  return record;
}

}  // namespace orva

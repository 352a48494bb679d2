// Binds the meter's narrow interfaces to the program's tariff catalogue and evaluation, the
// provider/tariff associations, the monthly bill files and the connection log. Header-only:
// the front ends that include it link orva_tariff, orva_bill and orva_log.
#pragma once

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bill/Bolletta.h"
#include "bill/DbsetINI.h"
#include "core/MeterServices.h"
#include "core/Settings.h"
#include "log/LogFile.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "tariff/Lista.h"
#include "tariff/Tariffe.h"

namespace orva {

// Passes messages on, but a text equal to the one shown last is not shown again: the idle
// meter evaluates the tariff at every poll, and a missing tariff file would otherwise be
// reported four times a second.
class OnceDialogs final : public Dialogs {
 public:
  explicit OnceDialogs(Dialogs& inner) : m_inner(inner) {}
  MsgAnswer Message(const std::string& text, MsgType type, MsgButtons buttons) override {
    if (text == m_last) return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Closed;
    m_last = text;
    return m_inner.Message(text, type, buttons);
  }
  std::optional<std::string> AskPassword(const std::string& prompt) override {
    return m_inner.AskPassword(prompt);
  }
  std::optional<std::string> ChooseOpenFile(const std::string& t, const std::string& d,
                                            const std::string& f) override {
    return m_inner.ChooseOpenFile(t, d, f);
  }
  std::optional<std::string> ChooseSaveFile(const std::string& t, const std::string& d,
                                            const std::string& f) override {
    return m_inner.ChooseSaveFile(t, d, f);
  }
  void Beep() override { m_inner.Beep(); }

 private:
  Dialogs& m_inner;
  std::string m_last;
};

class CatalogueTariffs final : public TariffService {
 public:
  CatalogueTariffs(const TariffCatalogue& catalogue, std::string associationPath, Dialogs& dialogs)
      : m_catalogue(catalogue), m_listPath(std::move(associationPath)), m_dialogs(dialogs) {}

  Status Evaluate(int index, long long ticks, TDateTime elapsed, TDateTime moment,
                  MeterTariff& out) override {
    TariffResult r;
    r.tickSeconds = out.tickSeconds;
    r.tickCost = out.tickCost;
    r.tickText = out.tickText;
    r.vatRate = out.vatRate;
    r.fixedCharge = out.fixedCharge;
    r.fixedChargeUnit = out.fixedChargeUnit;
    r.discountActive = out.discountActive;
    const int t = static_cast<int>(std::clamp<long long>(ticks, 0, 0x7FFFFFFF));
    const Status s = EvaluateTariff(m_catalogue, index, t, elapsed, moment, r, m_dialogs);
    if (!s) return s;
    out.tickSeconds = r.tickSeconds;
    out.tickCost = r.tickCost;
    out.tickText = r.tickText;
    out.vatRate = r.vatRate;
    out.fixedCharge = r.fixedCharge;
    out.fixedChargeUnit = r.fixedChargeUnit;
    out.discountActive = r.discountActive;
    return s;
  }
  int Count() const override { return m_catalogue.Size(); }
  std::string Abbreviation(int index) const override {
    if (m_catalogue.Empty()) return {};
    if (index < 0 || index >= m_catalogue.Size()) index = 0;
    return m_catalogue.abbreviations[static_cast<std::size_t>(index)];
  }
  std::string FindAssociation(const std::string& entry, const std::string& current,
                              const std::function<void(int)>& select) override {
    return orva::FindAssociation(m_listPath, entry, m_catalogue, current, select);
  }

 private:
  const TariffCatalogue& m_catalogue;
  std::string m_listPath;
  OnceDialogs m_dialogs;
};

class BillFiles final : public BillService {
 public:
  struct Added {
    TDateTime day;
    long long ticks;
    double price;
  };
  BillFiles(const Settings& settings, std::string directory, const Clock& clock)
      : m_settings(settings), m_dir(std::move(directory)), m_clock(clock) {}

  Status AddTicks(TDateTime day, long long ticks, double price) override {
    const DateParts d = DecodeDate(day);
    TDataSetINI month(d.month, d.year, Options());
    const Status s = month.AddTicks(d.day, ticks, price);
    if (s) added.push_back({DatePart(day), ticks, price});
    return s;
  }
  double PeriodCost() override {
    return orva::PeriodCost(m_settings.billStart, DecodeDate(m_clock.Now()), Options());
  }
  BillOptions Options() const {
    BillOptions o;
    o.directory = m_dir;
    o.decimals = m_settings.decimals;
    return o;
  }

  std::vector<Added> added;  // every successful addition, in order

 private:
  const Settings& m_settings;
  std::string m_dir;
  const Clock& m_clock;
};

class LogFiles final : public LogService {
 public:
  explicit LogFiles(Settings& settings) : m_settings(settings) {}
  AppendResult Append(const CallRecord& r) override {
    LogCall call;
    call.ticks = r.ticks;
    call.tariff = r.tariff;
    call.speed = r.speed;
    call.service = r.service;
    call.received = r.bytesReceived;
    call.sent = r.bytesSent;
    call.cost = r.cost;
    call.end = r.end;
    call.start = r.start;
    call.durationSeconds = r.durationSeconds;
    AppendOptions options;
    options.logPath = m_settings.logFileName;
    options.decimals = m_settings.decimals;
    options.chooseLogFile = chooseLogFile;
    const AppendOutcome outcome = AppendLogRecord(call, options);
    if (!outcome.logPath.empty()) m_settings.logFileName = outcome.logPath;
    if (outcome.status) lines.push_back(outcome.line);
    return {outcome.status, outcome.line};
  }

  AppendResult SetService(const std::string& line, const std::string& service) override {
    auto changed = SetLogRecordService(m_settings.logFileName, line, service);
    if (!changed) return {Status::Fail(changed.error), line};
    return {Status::Ok(), *changed};
  }

  std::vector<std::string> lines;  // every line appended, in order
  // The log file chooser, asked when no log file is set; none: the default log.
  std::function<std::optional<std::string>()> chooseLogFile;

 private:
  Settings& m_settings;
};

}  // namespace orva

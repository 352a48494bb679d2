// The meter on a manual clock with simulated dial-up, telephony and statistics, and recording
// stand-ins for the tariff, the bill, the log and the window.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ScriptedDialogs.h"
#include "meter/MainLogic.h"
#include "simulation/ManualClock.h"
#include "simulation/Simulated.h"

namespace orva::test {

struct FakeTariffs : TariffService {
  TariffValues value;
  std::function<TariffValues(TDateTime moment)> byMoment;  // when set, overrides value
  std::string failure;                                     // evaluations fail while set
  int evaluations = 0;
  std::map<std::string, std::pair<int, std::string>> associations;  // entry -> index, ms
  int count = 3;

  Status Evaluate(int, long long, TDateTime, TDateTime moment, TariffValues& r) override {
    ++evaluations;
    if (!failure.empty()) return Status::Fail(failure);
    r = byMoment ? byMoment(moment) : value;
    return Status::Ok();
  }
  int Count() const override { return count; }
  std::string Abbreviation(int index) const override { return "T" + std::to_string(index); }
  std::string FindAssociation(const std::string& entry, const std::string&,
                              const std::function<void(int)>& select) override {
    const auto it = associations.find(entry);
    if (it == associations.end()) return "10000";
    select(it->second.first);
    return it->second.second;
  }
};

struct FakeBill : BillService {
  struct Added {
    DateParts day;
    long long ticks;
    double price;
  };
  std::vector<Added> added;
  double period = 0;
  std::optional<PeriodForecastCost> forecast;
  Status AddTicks(TDateTime day, long long ticks, double price) override {
    added.push_back({DecodeDate(day), ticks, price});
    return Status::Ok();
  }
  double PeriodCost() override { return period; }
  std::optional<PeriodForecastCost> PeriodForecast() override { return forecast; }
};

struct FakeLog : LogService {
  std::vector<CallRecord> records;
  bool fails = false;
  AppendResult Append(const CallRecord& r) override {
    const std::string line = r.ticks + "\t" + r.service + "\t" + r.bytesReceived;
    if (fails) return {Status::Fail("Disco pieno"), line};
    records.push_back(r);
    return {Status::Ok(), line};
  }
  AppendResult SetService(const std::string& line, const std::string& service) override {
    for (auto it = records.rbegin(); it != records.rend(); ++it)
      if (it->ticks + "\t" + it->service + "\t" + it->bytesReceived == line) {
        it->service = service;
        return {Status::Ok(), it->ticks + "\t" + service + "\t" + it->bytesReceived};
      }
    return {Status::Fail("not found"), line};
  }
};

struct RecordingView : MeterView {
  std::map<MeterLabel, std::string> labels;
  std::string tray;
  int flashes = 0, stops = 0, bringUps = 0, quits = 0, redraws = 0, minimised = 0;
  bool phase = false;
  int selected = -1;
  int item = 0;
  void SelectCounterItem(int i) override { item = i; }
  void SetLabel(MeterLabel l, const std::string& t) override { labels[l] = t; }
  void SetTrayHint(const std::string& t) override { tray = t; }
  void SelectTariff(int i) override { selected = i; }
  void RedrawCounters() override { ++redraws; }
  void BringUp() override { ++bringUps; }
  void Minimise() override { ++minimised; }
  void Flash() override {
    ++flashes;
    phase = !phase;
  }
  bool FlashPhase() const override { return phase; }
  void StopFlashing() override {
    ++stops;
    phase = false;
  }
  void Quit() override { ++quits; }
};

struct RecordingSound : Sound {
  std::vector<std::string> played;
  void PlayWav(const std::string& p) override { played.push_back(p); }
  void Beep() override {}
};

class MeterTest : public ::testing::Test {
 protected:
  // Monday 5 January 2026, 10:00:00 (TZ is fixed by the test runner).
  explicit MeterTest(TDateTime start = EncodeDate(2026, 1, 5) + EncodeTime(10, 0, 0))
      : clock(start) {
    tariffs.value.tickSeconds = 60;
    tariffs.value.tickCost = 127;
    tariffs.value.tickText = "00.01.00";
  }

  // The meter's dependencies on the doubles below.
  MeterDeps Deps() {
    MeterDeps d;
    d.clock = &clock;
    d.timers = &clock;
    d.dialogs = &dialogs;
    d.sound = &sound;
    d.view = &view;
    d.dialup = &dialup;
    d.telephony = &telephony;
    d.statistics = &stats;
    d.launcher = &launcher;
    d.tariffs = &tariffs;
    d.bill = &bill;
    d.log = &log;
    d.settings = &settings;
    d.saveSettings = [this] { ++saves; };
    d.fileExists = [this](const std::string& p) { return existing.count(p) > 0; };
    d.chooseService = [this](const std::string& s) -> std::optional<std::string> {
      chooserShown.push_back(s);
      if (duringChoice) duringChoice();
      return chosenService;
    };
    return d;
  }
  void Make() {
    logic = std::make_unique<MainLogic>(Deps());
    logic->Startup();
    logic->FirstActivation();
  }
  void AdvanceSeconds(double s) { clock.AdvanceMs(static_cast<std::int64_t>(s * 1000)); }
  long long Elapsed() const { return logic->Call().ElapsedSeconds(); }
  static TDateTime At(int y, int mo, int d, int h, int mi, int s) {
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s);
  }

  ManualClock clock;
  ScriptedDialogs dialogs;
  RecordingSound sound;
  RecordingView view;
  SimulatedDialup dialup;
  SimulatedTelephony telephony;
  SimulatedStatistics stats;
  RecordingLauncher launcher;
  FakeTariffs tariffs;
  FakeBill bill;
  FakeLog log;
  Settings settings;
  std::set<std::string> existing;
  std::vector<std::string> chooserShown;
  std::optional<std::string> chosenService;
  std::function<void()> duringChoice;  // runs while the service choice shows
  int saves = 0;
  std::unique_ptr<MainLogic> logic;
};

}  // namespace orva::test

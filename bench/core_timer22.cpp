// One metering sample: without a tick, and with a tick (the tariff file is read twice, as the
// meter evaluates before and after counting). The bill is kept in memory here.
#include <benchmark/benchmark.h>

#include "core/MainLogic.h"
#include "core/MeterWiring.h"
#include "platform/ManualClock.h"

namespace orva {
namespace {

struct MemoryBill final : BillService {
  Status AddTicks(TDateTime, long long, double) override { return Status::Ok(); }
  double PeriodCost() override { return 0; }
};
struct MemoryLog final : LogService {
  AppendResult Append(const CallRecord&) override { return {}; }
  AppendResult SetService(const std::string&, const std::string&) override { return {}; }
};

struct Rig {
  Rig() : clock(EncodeDate(2026, 1, 5) + EncodeTime(10, 0, 0)) {
    ScanTariffFiles(catalogue, std::string(ORVA_SOURCE_DIR) + "/data/tariffe/");
    tariffs = std::make_unique<CatalogueTariffs>(catalogue, "/nonexistent/lista.ser", dialogs);
    MainLogic::Deps d;
    d.clock = &clock;
    d.timers = &clock;
    d.dialogs = &dialogs;
    d.sound = &sound;
    d.view = &view;
    d.dialup = &dialup;
    d.telephony = &telephony;
    d.statistics = &stats;
    d.launcher = &launcher;
    d.tariffs = tariffs.get();
    d.bill = &bill;
    d.log = &log;
    d.settings = &settings;
    logic = std::make_unique<MainLogic>(d);
    logic->Startup();
    logic->FirstActivation();
    const int urbana = catalogue.IndexOfAbbreviation("URB");
    logic->SelectTariff(urbana < 0 ? 0 : urbana);
    logic->HandleAppMessage(kMsgStart, 0, 0);
  }
  ManualClock clock;
  SilentDialogs dialogs;
  NoSound sound;
  MeterView view;
  SimulatedDialup dialup;
  SimulatedTelephony telephony;
  SimulatedStatistics stats;
  RecordingLauncher launcher;
  TariffCatalogue catalogue;
  std::unique_ptr<CatalogueTariffs> tariffs;
  MemoryBill bill;
  MemoryLog log;
  Settings settings;
  std::unique_ptr<MainLogic> logic;
};

void BM_Timer22SampleWithoutTick(benchmark::State& state) {
  Rig rig;
  rig.clock.SetNow(rig.clock.Now() + 5.0 / 86400);
  for (auto _ : state) rig.logic->Timer22Timer();
  state.counters["ticks"] = static_cast<double>(rig.logic->Ticks());
}
BENCHMARK(BM_Timer22SampleWithoutTick);

void BM_Timer22SampleWithTick(benchmark::State& state) {
  Rig rig;
  const double tick = rig.logic->Tariff().tickSeconds;
  for (auto _ : state) {
    rig.clock.SetNow(rig.clock.Now() + tick / 86400);
    rig.logic->Timer22Timer();
  }
  state.counters["ticks"] = static_cast<double>(rig.logic->Ticks());
}
BENCHMARK(BM_Timer22SampleWithTick);

}  // namespace
}  // namespace orva

BENCHMARK_MAIN();

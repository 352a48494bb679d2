// One metering sample: without a tick, and with a tick (the tariff file is read twice, as the
// meter evaluates before and after counting). The bill is kept in memory here.
#include <benchmark/benchmark.h>

#include "SimulatedPlatform.h"
#include "meter/MainLogic.h"
#include "services/ProgramServices.h"

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
  Rig() : platform(EncodeDate(2026, 1, 5) + EncodeTime(10, 0, 0)) {
    ScanTariffFiles(catalogue, std::string(ORVA_SOURCE_DIR) + "/data/tariffe/");
    settings.associationPath = "/nonexistent/lista.ser";
    records = std::make_unique<ProgramServices>("/nonexistent/", settings, catalogue,
                                                platform.clock, platform.dialogs);
    MeterDeps d = records->MeterDependencies(platform.Platform());
    d.bill = &bill;
    d.log = &log;
    logic = std::make_unique<MainLogic>(d);
    logic->Startup();
    logic->FirstActivation();
    const int urbana = catalogue.IndexOfAbbreviation("URB");
    logic->Call().SelectTariff(urbana < 0 ? 0 : urbana);
    logic->HandleAppMessage(kMsgStart, 0, 0);
  }
  test::SimulatedPlatform platform;
  TariffCatalogue catalogue;
  Settings settings;
  std::unique_ptr<ProgramServices> records;
  MemoryBill bill;
  MemoryLog log;
  std::unique_ptr<MainLogic> logic;
};

void BM_Timer22SampleWithoutTick(benchmark::State& state) {
  Rig rig;
  rig.platform.clock.SetNow(rig.platform.clock.Now() + 5.0 / 86400);
  for (auto _ : state) rig.logic->Call().Timer22Timer();
  state.counters["ticks"] = static_cast<double>(rig.logic->Call().Ticks());
}
BENCHMARK(BM_Timer22SampleWithoutTick);

void BM_Timer22SampleWithTick(benchmark::State& state) {
  Rig rig;
  const double tick = rig.logic->Call().Tariff().tickSeconds;
  for (auto _ : state) {
    rig.platform.clock.SetNow(rig.platform.clock.Now() + tick / 86400);
    rig.logic->Call().Timer22Timer();
  }
  state.counters["ticks"] = static_cast<double>(rig.logic->Call().Ticks());
}
BENCHMARK(BM_Timer22SampleWithTick);

}  // namespace
}  // namespace orva

BENCHMARK_MAIN();

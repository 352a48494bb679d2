// "Confronta tariffe" at scale: the calls of a 100,000-call log re-priced under every shipped
// tariff. The user waits for it, so the figure is the wall time (the tariffs are priced on
// the machine's cores).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "LogSample.h"
#include "log/LogFile.h"
#include "log/TariffComparison.h"
#include "tariff/Tariffe.h"

namespace orva {
namespace {

void BM_CompareShippedTariffs_100k(benchmark::State& state) {
  const std::vector<TConnObj> records = ParseLogBytes(bench::MakeSampleLog(100'000));
  TariffCatalogue catalogue;
  ScanTariffFiles(catalogue, std::string(ORVA_SOURCE_DIR) + "/data/tariffe/");
  const std::vector<ComparedTariff> tariffs = LoadCatalogueTariffs(catalogue);
  for (auto _ : state) {
    TariffComparison result = CompareTariffs(records, tariffs);
    benchmark::DoNotOptimize(result);
  }
  state.counters["tariffs"] = static_cast<double>(tariffs.size());
}
BENCHMARK(BM_CompareShippedTariffs_100k)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace orva

BENCHMARK_MAIN();

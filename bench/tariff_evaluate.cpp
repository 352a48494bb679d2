// The tariff evaluation as the meter runs it at every tick: the shipped example tariff read
// from disk at each call; and the band search alone on a list already in memory.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/DataDir.h"
#include "platform/DateTime.h"
#include "platform/Dialogs.h"
#include "tariff/Ricalcolo.h"
#include "tariff/Tariffe.h"

namespace {

orva::TariffCatalogue ShippedCatalogue() {
  orva::TariffCatalogue catalogue;
  orva::ScanTariffFiles(catalogue, orva::ShippedTariffDirectory());
  return catalogue;
}

int IndexOf(const orva::TariffCatalogue& catalogue, const char* abbreviation) {
  const int i = catalogue.IndexOfAbbreviation(abbreviation);
  return i < 0 ? 0 : i;
}

void EvaluateShippedTariff(benchmark::State& state, const char* abbreviation,
                           orva::TDateTime moment, int ticks) {
  const auto catalogue = ShippedCatalogue();
  const int index = IndexOf(catalogue, abbreviation);
  orva::SilentDialogs dialogs;
  orva::TariffResult result;
  for (auto _ : state) {
    const auto status =
        orva::EvaluateTariff(catalogue, index, ticks, 0.01, moment, result, dialogs);
    benchmark::DoNotOptimize(status.ok);
    benchmark::DoNotOptimize(result.values.tickCost);
  }
  if (catalogue.Empty() || !dialogs.messages.empty()) state.SkipWithError("no shipped tariff");
}

void BM_EvaluateTariff_ExampleWeekday(benchmark::State& state) {
  // A Monday afternoon: the third band of the weekday list.
  EvaluateShippedTariff(state, "ESE", orva::EncodeDate(2024, 4, 22) + orva::EncodeTime(19, 15, 30),
                        0);
}
BENCHMARK(BM_EvaluateTariff_ExampleWeekday);

void BM_EvaluateTariff_DiscountedHoliday(benchmark::State& state) {
  // 25 April: the holiday's discounted list of the largest shipped file.
  EvaluateShippedTariff(state, "NET", orva::EncodeDate(2024, 4, 25) + orva::EncodeTime(20, 0, 0),
                        50);
}
BENCHMARK(BM_EvaluateTariff_DiscountedHoliday);

void BM_FindBand(benchmark::State& state) {
  const orva::BandList bands = {"00.00 07.59 240 127", "08.00 13.29 220 127", "13.30 18.29 300 127",
                                "18.30 23.59 360 127"};
  orva::TariffResult result;
  const orva::TDateTime t = orva::EncodeTime(21, 40, 10);
  for (auto _ : state) {
    const auto status = orva::FindBand(bands, t, result);
    benchmark::DoNotOptimize(status.ok);
    benchmark::DoNotOptimize(result.values.tickSeconds);
  }
}
BENCHMARK(BM_FindBand);

void BM_RecalculateCall_OneHour(benchmark::State& state) {
  // One hour of 60-second ticks: the file read once, then sixty evaluations from memory.
  const auto catalogue = ShippedCatalogue();
  const int index = IndexOf(catalogue, "ESE");
  orva::SilentDialogs dialogs;
  const orva::TDateTime start = orva::EncodeDate(2024, 4, 22) + orva::EncodeTime(9, 0, 0);
  for (auto _ : state) {
    auto texts = orva::RecalculateCall(catalogue, index, start, start + 1.0 / 24, 1, dialogs);
    benchmark::DoNotOptimize(texts.value);
  }
}
BENCHMARK(BM_RecalculateCall_OneHour);

}  // namespace

BENCHMARK_MAIN();

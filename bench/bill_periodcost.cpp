// The bill period cost over ten years of monthly bill files: every day of 1990-1999 with
// ticks at three prices, the period running from 1 January 1990 to 31 December 1999.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "bill/Bolletta.h"
#include "platform/SafeFile.h"

namespace {

class TenYears {
 public:
  TenYears() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "orva-bench-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) std::abort();
    m_options.directory = tmpl + "/";
    // Written directly: the files AddTicks would leave, without a crash-safe save per tick.
    for (int year = 1990; year <= 1999; ++year) {
      for (int month = 1; month <= 12; ++month) {
        std::string text = "[Generale]\r\nProgramma=ORVA32 4.1 del 28/10/99\r\nScatti relativi a=" +
                           orva::BillMonthTitle(month, year) + "\r\n\r\n";
        for (int day = 1; day <= orva::DaysInMonth(year, month); ++day) {
          text += "[" + orva::BillDaySection(day, month, year) +
                  "]\r\n127.0=" + std::to_string(day * 3) + "\r\n63.5=" + std::to_string(day) +
                  "\r\n200.0=2\r\n\r\n";
        }
        const auto st = orva::ReplaceFile(
            orva::JoinPath(m_options.directory, orva::BillFileName(month, year)), text);
        if (!st) std::abort();
      }
    }
  }
  ~TenYears() { std::filesystem::remove_all(m_options.directory); }
  const orva::BillOptions& Options() const { return m_options; }

 private:
  orva::BillOptions m_options;
};

const TenYears& Data() {
  static const TenYears data;
  return data;
}

void BM_PeriodCostTenYears(benchmark::State& state) {
  const TenYears& data = Data();
  const orva::DateParts today{1999, 12, 31};
  double cost = 0;
  for (auto _ : state) {
    cost = orva::PeriodCost("01/01/90", today, data.Options());
    benchmark::DoNotOptimize(cost);
  }
  state.counters["months"] = 120;
  state.counters["cost"] = cost;
}
BENCHMARK(BM_PeriodCostTenYears)->Unit(benchmark::kMillisecond);

void BM_MonthFiguresAndChart(benchmark::State& state) {
  const TenYears& data = Data();
  for (auto _ : state) {
    auto f = orva::DayMonthFigures({1999, 10, 15}, orva::BillDisplayMode::Scatti, data.Options());
    auto c = orva::MonthChart({1999, 10, 15}, orva::BillDisplayMode::Scatti, data.Options());
    benchmark::DoNotOptimize(f);
    benchmark::DoNotOptimize(c);
  }
}
BENCHMARK(BM_MonthFiguresAndChart)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

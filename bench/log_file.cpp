// Connection log at scale: loading a million-line log, sorting it by "Costo" and by "Data",
// the totals of every row, and one append to a 100,000-line log.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "BenchFile.h"
#include "core/HowUtils.h"
#include "log/LogFile.h"
#include "log/LogSort.h"
#include "log/LogTotals.h"
#include "platform/DateTime.h"
#include "platform/SafeFile.h"

namespace orva {
namespace {

// A folder of its own for the files of one run.
const std::string& BenchDir() {
  static const std::string dir = [] {
    std::string d =
        (std::filesystem::temp_directory_path() / ("orva-bench-log-" + std::to_string(::getpid())))
            .string() +
        "/";
    std::filesystem::create_directories(d);
    return d;
  }();
  return dir;
}

struct Cleanup {
  ~Cleanup() {
    std::error_code ec;
    std::filesystem::remove_all(BenchDir(), ec);
  }
} g_cleanup;

// Lines as the meter writes them: calls spread over ten years, a few tariffs and services.
std::string MakeLog(std::size_t lines) {
  static const char* kServices[] = {"Modem: Tiscali", "Modem: Libero (0612345678)",
                                    "A voce: Mario Rossi", "FAX G3: Studio", "?"};
  static const char* kTariffs[] = {"TI-I", "TI-U", "INFOSTRADA", "WIND"};
  std::mt19937 rng(42);
  std::string bytes;
  bytes.reserve(lines * 100);
  const TDateTime first = EncodeDate(1995, 1, 1);
  for (std::size_t i = 0; i < lines; ++i) {
    const TDateTime start =
        first + static_cast<double>(rng() % 3650) + static_cast<double>(rng() % 86400) * kOneSecond;
    const int seconds = static_cast<int>(rng() % 7200);
    const int ticks = seconds / 60 + 1;
    const TDateTime end = start + seconds * kOneSecond;
    LogCall c;
    c.ticks = std::to_string(ticks);
    c.tariff = kTariffs[rng() % 4];
    c.speed = rng() % 10 == 0 ? "" : std::to_string(14400 + 2400 * (rng() % 9));
    c.service = kServices[rng() % 5];
    c.received = std::to_string(rng() % 5000000);
    c.sent = std::to_string(rng() % 500000);
    c.cost = 127.0 * ticks + (rng() % 2 ? 63.5 : 0);
    c.start = start;
    c.end = end;
    bytes += DateToStr(c.start) + "\t" + FormatLogTime(c.start) + "\t" + FormatLogTime(c.end) +
             "\t" + FormatLogDuration(c.start, c.end) + "\t" + c.tariff + "\t" + c.ticks + "\t" +
             FormatLogCost(c.cost, 1) + "\t" + (c.speed.empty() ? "n.d" : c.speed) + "\t" +
             c.received + "\t" + c.sent + "\t" + c.service + "\t\r\n";
  }
  return bytes;
}

const std::string& MillionLineLog() {
  static const std::string path = [] {
    const std::string p = BenchDir() + "million.log";
    orva::bench::WriteInput(p, MakeLog(1000000));
    return p;
  }();
  return path;
}

const std::vector<TConnObj>& MillionRecords() {
  static const std::vector<TConnObj> records = [] {
    std::vector<TConnObj> r;
    LoadLogFile(MillionLineLog(), r);
    return r;
  }();
  return records;
}

void BM_LoadLogFile_1M(benchmark::State& state) {
  const std::string& path = MillionLineLog();
  for (auto _ : state) {
    std::vector<TConnObj> records;
    LoadLogFile(path, records);
    benchmark::DoNotOptimize(records.data());
    if (records.size() != 1000000) state.SkipWithError("wrong record count");
  }
}
BENCHMARK(BM_LoadLogFile_1M)->Unit(benchmark::kMillisecond);

void SortBy(benchmark::State& state, int column) {
  const std::vector<TConnObj>& loaded = MillionRecords();
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<TConnObj> records = loaded;
    state.ResumeTiming();
    SortLogRecords(records, column, true);
    benchmark::DoNotOptimize(records.data());
    state.PauseTiming();
    records.clear();
    records.shrink_to_fit();
    state.ResumeTiming();
  }
}
void BM_SortByCosto_1M(benchmark::State& state) {
  SortBy(state, 7);
}
void BM_SortByData_1M(benchmark::State& state) {
  SortBy(state, 1);
}
BENCHMARK(BM_SortByCosto_1M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByData_1M)->Unit(benchmark::kMillisecond);

void BM_TotalsAllRows_1M(benchmark::State& state) {
  const std::vector<TConnObj>& records = MillionRecords();
  const std::vector<bool> all(records.size(), true);
  for (auto _ : state) {
    LogTotals t = ComputeLogTotals(records, all, 1, 0.20);
    benchmark::DoNotOptimize(t.total.data());
  }
}
BENCHMARK(BM_TotalsAllRows_1M)->Unit(benchmark::kMillisecond);

void BM_AppendLogRecord_100k(benchmark::State& state) {
  AppendOptions options;
  options.logPath = BenchDir() + "append.log";
  options.dataDir = BenchDir();
  orva::bench::WriteInput(options.logPath, MakeLog(100000));
  LogCall c;
  c.ticks = "7";
  c.tariff = "TI-I";
  c.speed = "28800";
  c.service = "Modem: Tiscali";
  c.received = "123456";
  c.sent = "23456";
  c.cost = 889;
  c.start = EncodeDate(2005, 6, 1) + EncodeTime(21, 3, 5);
  c.end = c.start + 755 * kOneSecond;
  for (auto _ : state) {
    const AppendOutcome out = AppendLogRecord(c, options);
    if (!out.status) state.SkipWithError(out.status.error.c_str());
  }
}
BENCHMARK(BM_AppendLogRecord_100k)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orva

BENCHMARK_MAIN();

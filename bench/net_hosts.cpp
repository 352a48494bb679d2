// Merging 10,000 staged entries into a system hosts file of 100,000 lines.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "BenchFile.h"
#include "net/Hosts.h"
#include "platform/SafeFile.h"

namespace {

std::string Address(int i) {
  return "10." + std::to_string(i / 65536 % 256) + "." + std::to_string(i / 256 % 256) + "." +
         std::to_string(i % 256);
}

struct Files {
  std::string dir, staging, system, systemBytes;
  Files() {
    dir = (std::filesystem::temp_directory_path() / "orva_bench_hosts").string();
    std::filesystem::create_directories(dir);
    staging = dir + "/hosts.mqm";
    system = dir + "/hosts";
    for (int i = 0; i < 100000; ++i) {
      if (i % 50 == 0) systemBytes += "# block " + std::to_string(i) + "\n";
      systemBytes += Address(i) + " host" + std::to_string(i) + ".example #01-01-2026 10.00.00\n";
    }
    std::string staged;
    // Half known names (updated), half new ones (appended).
    for (int i = 0; i < 10000; ++i)
      staged += Address(i) + " host" + std::to_string(i % 2 ? i * 9 : 200000 + i) +
                ".example #12-08-2026 10.00.00\r\n";
    orva::bench::WriteInput(staging, staged);
  }
  ~Files() { std::filesystem::remove_all(dir); }
};

void BM_MergeStagedHosts(benchmark::State& state) {
  Files f;
  for (auto _ : state) {
    state.PauseTiming();
    orva::bench::WriteInput(f.system, f.systemBytes);
    state.ResumeTiming();
    const auto s = orva::MergeStagedHosts({f.staging, f.system});
    if (!s) state.SkipWithError(s.error.c_str());
  }
}
BENCHMARK(BM_MergeStagedHosts)->Unit(benchmark::kMillisecond);

void BM_MergeInMemory(benchmark::State& state) {
  Files f;
  const auto system = orva::HostsFile::Parse(f.systemBytes, true);
  const auto staged = orva::LoadHostsFile(f.staging, false);
  for (auto _ : state) {
    auto list = system.entries;
    orva::MergeInto(list, staged->entries);
    benchmark::DoNotOptimize(system.Render(list));
  }
}
BENCHMARK(BM_MergeInMemory)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// A refresh of the connection table with 5,000 TCP connections in a /proc fixture.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "BenchFile.h"
#include "net/SNMP.h"
#include "platform/SafeFile.h"

namespace {

void BM_RefreshConnectionTable(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  const auto dir = std::filesystem::temp_directory_path() / "orva_bench_proc";
  std::filesystem::create_directories(dir / "net");
  std::string tcp =
      "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  "
      "timeout inode\n";
  char line[256];
  for (int i = 0; i < rows; ++i) {
    std::snprintf(line, sizeof line,
                  "%4d: 0100007F:%04X 0100007F:%04X 01 00000000:00000000 00:00000000 00000000  "
                  "1000        0 %d 1 0000000000000000 20 4 30 10 -1\n",
                  i, 20000 + i % 2000, 40000 + i, 100000 + i);
    tcp += line;
  }
  orva::bench::WriteInput((dir / "net/tcp").string(), tcp);
  orva::bench::WriteInput((dir / "net/udp").string(),
                          "   sl  local_address rem_address   st tx_queue rx_queue tr tm->when\n");
  std::ifstream snmp("/proc/net/snmp");
  orva::bench::WriteInput((dir / "net/snmp").string(),
                          std::string(std::istreambuf_iterator<char>(snmp), {}));
  orva::TDravikIpConnectionList list(std::make_shared<orva::ProcMibAgent>(dir.string()), 0);
  for (auto _ : state) {
    list.Refresh();
    if (list.Count() != rows) state.SkipWithError("wrong row count");
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_RefreshConnectionTable)->Arg(5000)->Unit(benchmark::kMillisecond);

// The machine's own table, for a comparison with `ss -tan` on the same connections.
void BM_RefreshLiveTable(benchmark::State& state) {
  orva::TDravikIpConnectionList list(std::make_shared<orva::ProcMibAgent>(), 0);
  list.Protocols = {orva::TIpProtocol::tcp_ip};
  for (auto _ : state) list.Refresh();
  state.counters["rows"] = list.Count();
}
BENCHMARK(BM_RefreshLiveTable)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

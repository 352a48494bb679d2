// The connection table and the protocol counters over a /proc fixture of N sockets (IPv4 and
// IPv6 TCP connections, dual-stack sockets, UDP endpoints): one refresh, the start of
// `orva32cli netstat` (every object created, one refresh), and one read of all counters.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "BenchFile.h"
#include "net/SNMP.h"
#include "platform/SafeFile.h"

namespace {

// A fixture tree with `sockets` rows in all: 70 % IPv4 TCP, 10 % dual-stack TCP talking
// IPv4, 10 % IPv6 TCP, 10 % UDP.
class ProcTree {
 public:
  explicit ProcTree(int sockets)
      : m_dir((std::filesystem::temp_directory_path() /
               ("orva_bench_proc_" + std::to_string(::getpid()) + "_" + std::to_string(sockets)))
                  .string()) {
    std::filesystem::create_directories(m_dir + "/net");
    const char* header =
        "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  "
        "timeout inode\n";
    const char* header6 =
        "  sl  local_address                         remote_address                        st "
        "tx_queue rx_queue tr tm->when retrnsmt   uid  timeout inode\n";
    std::string tcp = header, tcp6 = header6, udp = header, udp6 = header6;
    char line[320];
    const int v4 = sockets * 7 / 10, mapped = sockets / 10, native6 = sockets / 10;
    const int udpRows = sockets - v4 - mapped - native6;
    for (int i = 0; i < v4; ++i) {
      // Listening sockets, established ones and some on their way out.
      const int st = i % 50 == 0 ? 0x0A : i % 7 == 0 ? 0x06 : 0x01;
      std::snprintf(line, sizeof line,
                    "%4d: %08X:%04X %08X:%04X %02X 00000000:00000000 00:00000000 00000000  "
                    "1000        0 %d 1 0000000000000000 20 4 30 10 -1\n",
                    i, 0x0100007F + (i / 60000 << 24),
                    st == 0x0A ? 5000 + i / 50 : 20000 + i % 2000, st == 0x0A ? 0 : 0x0200000A,
                    st == 0x0A ? 0 : 1024 + i % 60000, st, 100000 + i);
      tcp += line;
    }
    for (int i = 0; i < mapped + native6; ++i) {
      const bool isMapped = i < mapped;
      std::snprintf(line, sizeof line,
                    "%4d: %s%08X:%04X %s%08X:%04X 01 00000000:00000000 00:00000000 00000000  "
                    "1000        0 %d 1 0000000000000000 20 4 30 10 -1\n",
                    i, isMapped ? "0000000000000000FFFF0000" : "B80D01200000000000000000",
                    isMapped ? 0x0300007F : 0, 3000 + i % 2000,
                    isMapped ? "0000000000000000FFFF0000" : "B80D01200000000000000000",
                    isMapped ? 0x0400000A : 0x01000000 + i, 443, 200000 + i);
      tcp6 += line;
    }
    for (int i = 0; i < udpRows; ++i) {
      std::snprintf(line, sizeof line,
                    "%4d: %08X:%04X 00000000:0000 07 00000000:00000000 00:00000000 00000000  "
                    "1000        0 %d 2 0000000000000000 0\n",
                    i, 0x0100007F, 10000 + i, 300000 + i);
      udp += line;
    }
    orva::bench::WriteInput(m_dir + "/net/tcp", tcp);
    orva::bench::WriteInput(m_dir + "/net/tcp6", tcp6);
    orva::bench::WriteInput(m_dir + "/net/udp", udp);
    orva::bench::WriteInput(m_dir + "/net/udp6", udp6);
    std::ifstream snmp("/proc/net/snmp");
    orva::bench::WriteInput(m_dir + "/net/snmp",
                            std::string(std::istreambuf_iterator<char>(snmp), {}));
  }
  ~ProcTree() {
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
  }
  const std::string& Dir() const { return m_dir; }

 private:
  std::string m_dir;
};

void BM_RefreshConnectionTable(benchmark::State& state) {
  const int sockets = static_cast<int>(state.range(0));
  const ProcTree tree(sockets);
  orva::TDravikIpConnectionList list(std::make_shared<orva::ProcMibAgent>(tree.Dir()), 0);
  for (auto _ : state) {
    list.Refresh();
    if (list.Count() != sockets) {
      state.SkipWithError(("rows: " + std::to_string(list.Count())).c_str());
      break;
    }
  }
}
BENCHMARK(BM_RefreshConnectionTable)->Arg(5000)->Arg(9000)->Unit(benchmark::kMillisecond);

// What `orva32cli netstat` does before it prints: the list and the four counter groups are
// created, the table is refreshed once.
void BM_NetstatStart(benchmark::State& state) {
  const int sockets = static_cast<int>(state.range(0));
  const ProcTree tree(sockets);
  for (auto _ : state) {
    orva::NetstatObjects o =
        orva::CreateNetstatObjects(std::make_shared<orva::ProcMibAgent>(tree.Dir()), 0);
    if (!o.connections) {
      state.SkipWithError(o.error.c_str());
      break;
    }
    o.connections->Refresh();
    if (o.connections->Count() != sockets) state.SkipWithError("wrong row count");
  }
}
BENCHMARK(BM_NetstatStart)->Arg(9000)->Unit(benchmark::kMillisecond);

// Every counter of the four groups read once, as the monitor's tabs show them in turn.
void BM_ReadAllCounters(benchmark::State& state) {
  const ProcTree tree(9000);
  orva::NetstatObjects o =
      orva::CreateNetstatObjects(std::make_shared<orva::ProcMibAgent>(tree.Dir()), 0);
  if (!o.connections) {
    state.SkipWithError(o.error.c_str());
    return;
  }
  const orva::TCounterList* groups[] = {o.tcp.get(), o.udp.get(), o.ip.get(), o.icmp.get()};
  for (auto _ : state) {
    for (const orva::TCounterList* g : groups)
      for (int i = 0; i < g->Count(); ++i) benchmark::DoNotOptimize(g->Counter(i)->Value());
  }
}
BENCHMARK(BM_ReadAllCounters)->Unit(benchmark::kMicrosecond);

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

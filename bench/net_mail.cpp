// A mail check whose server answers TOP with a reply just under the check's bound, made of
// millions of one-character lines: the most lines a reply may bring. The figure is the rise of
// the process's peak resident memory during the check (the goal: at most twice the bound).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "net/Mail.h"
#include "net/Pop3Prot.h"
#include "simulation/ManualClock.h"

namespace orva {
namespace {

// Kilobytes of a line of /proc/self/status ("VmHWM:", "VmRSS:").
long StatusKb(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0) return std::stol(line.substr(std::strlen(key)));
  return 0;
}

// Starts a new peak at the present size.
void ResetPeak() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

class NullView final : public MailView {
 public:
  void SetPop3Label(const std::string&) override {}
  void SetMailIcon(bool, bool) override {}
  void SetMailIconHint(const std::string&) override {}
  void RefreshDisplay() override {}
  void PlayNewMailSound() override {}
  void ShowNewMailBox() override {}
};

// The server: one message, whose header reply is `lines` lines of "x".
class ScriptedServer final : public TCustomPop3Cli {
 public:
  explicit ScriptedServer(std::size_t lines) : m_lines(lines) {}
  void Serve() {
    for (int guard = 0; guard < 100; ++guard) {
      if (m_opened) {
        m_opened = false;
        TransportConnected();
        TransportData("+OK ready\r\n");
        continue;
      }
      const std::string sent = std::move(m_sent);
      m_sent.clear();
      if (sent.empty()) return;
      for (std::size_t at = 0; at < sent.size();) {
        const std::size_t end = sent.find("\r\n", at);
        if (end == std::string::npos) break;
        Answer(sent.substr(at, end - at));
        at = end + 2;
      }
    }
  }

 protected:
  void OpenConnection(const std::string&, std::uint16_t, bool) override { m_opened = true; }
  void StartEncryption() override {}
  void SendBytes(std::string_view bytes) override { m_sent.append(bytes); }
  void CloseConnection() override {}

 private:
  void Answer(const std::string& command) {
    if (command == "STAT") return TransportData("+OK 1 100\r\n");
    if (command == "LIST") return TransportData("+OK\r\n1 100\r\n.\r\n");
    if (command.rfind("TOP", 0) == 0) {
      TransportData("+OK\r\nFrom: a@example.org\r\nSubject: s\r\n");
      // As a socket delivers it: 64 KB at a time.
      std::string block;
      for (std::size_t i = 0; i < 65536 / 3; ++i) block += "x\r\n";
      for (std::size_t sent = 0; sent < m_lines; sent += 65536 / 3) TransportData(block);
      return TransportData(".\r\n");
    }
    TransportData("+OK\r\n");  // USER, PASS, QUIT
  }

  std::size_t m_lines;
  bool m_opened = false;
  std::string m_sent;
};

void BM_MailTopReplyPeakMemory(benchmark::State& state) {
  // Lines of three bytes up to just under the bound of a reply.
  const std::size_t lines = TMailCheck::kMaxCheckReplyBytes / 3 - 100;
  double peakMb = 0;
  std::size_t messages = 0;
  for (auto _ : state) {
    ManualClock clock(EncodeDate(2025, 3, 4));
    ScriptedServer server(lines);
    NullView view;
    TMailCheck mail(server, view, clock, clock);
    mail.RequireEncryption = false;
    TPOP3Object box;
    box.server = "pop.example.org";
    box.port = "110";
    box.user = "u";
    box.password = "p";
    mail.SetMailboxes({box});
    ResetPeak();
    const long before = StatusKb("VmRSS:");
    mail.CallStarted();
    server.Serve();
    peakMb = std::max(peakMb, static_cast<double>(StatusKb("VmHWM:") - before) / 1024.0);
    messages = mail.Mailboxes()[0].messages.size();
  }
  state.counters["peak_MB"] = peakMb;
  state.counters["cap_MB"] = static_cast<double>(TMailCheck::kMaxCheckReplyBytes >> 20);
  if (messages != 1) state.SkipWithError("the header was not read");
}
BENCHMARK(BM_MailTopReplyPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace orva

BENCHMARK_MAIN();

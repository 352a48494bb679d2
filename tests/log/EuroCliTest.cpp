// orva32cli for a euro user (Valuta=Euro): what it prints is in euro, what it writes and what
// scripts pass and read in JSON stays lire.
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "TempDir.h"
#include "ToolRun.h"
#include "core/Currency.h"

namespace orva {
namespace {

using test::CliRun;

class EuroCli : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "Europe/Rome", 1);
    for (test::TempDir* d : {&euro, &lire}) {
      test::WriteBytes(d->File("SECONDO.TRF"),
                       test::ReadBytes(std::string(ORVA_SOURCE_DIR) + "/data/tariffe/SECONDO.TRF"));
    }
    // The meter asks no time server and no real resolver.
    for (auto [d, currency] : {std::pair{&euro, "Euro"}, std::pair{&lire, "Lire"}}) {
      test::WriteBytes(d->File("ORVA32.INI"), std::string("[Impostazioni generali]\r\nValuta=") +
                                                  currency +
                                                  "\r\n[TCPIP]\r\nGet network time=0\r\n");
      test::WriteBytes(d->File("Time Servers.txt"), "127.0.0.1\r\n");
    }
  }
  static CliRun Cli(const test::TempDir& d, std::vector<std::string> args) {
    args.insert(args.begin(), ORVA_CLI);
    args.insert(args.end(), {"--data-dir", d.path()});
    return test::RunTool(std::move(args));
  }
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  test::TempDir euro, lire;
};

// The same call, at the per-second tariff across midnight into a holiday, in a lire and in a
// euro data directory: the JSON of both gives the lire the files hold; the euro plain text
// gives the cost and every bill price in euro, each as the program shows it.
TEST_F(EuroCli, SimulatedCallPrintsEuroAndWritesLire) {
  const std::vector<std::string> call = {
      "simulate-call", "--entry", "prova",   "--negotiation",       "0",
      "--tariff",      "0",       "--start", "2026-12-31 23:50:00", "--duration",
      "1200"};
  std::vector<std::string> json = call;
  json.push_back("--json");
  const CliRun inLire = Cli(lire, json);
  ASSERT_EQ(inLire.code, 0) << inLire.out;
  const auto j = nlohmann::json::parse(inLire.out);
  EXPECT_EQ(j["cost"], 2698.75);
  EXPECT_EQ(j["currency"], "Lire");
  EXPECT_EQ(j["cost_euro"], 1.39);

  const CliRun plain = Cli(euro, call);
  ASSERT_EQ(plain.code, 0) << plain.out;
  const auto lines = Lines(plain.out);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "costo: 1,39"), lines.end()) << plain.out;
  std::vector<std::string> billed, expected;
  for (const auto& line : lines)
    if (line.rfind("bolletta: ", 0) == 0) billed.push_back(line);
  for (const auto& a : j["bill"])
    expected.push_back("bolletta: " + a["date"].get<std::string>() + " " +
                       std::to_string(a["ticks"].get<long long>()) + " x " +
                       FormatAmountNumber(a["price"].get<double>(), Currency::Euro));
  EXPECT_EQ(billed, expected);
  // Continuous charging bills each day's share as one amount: 150 + 1647.25 lire, 901.5 lire.
  EXPECT_EQ(billed.size(), 3u) << plain.out;
  // The log line the euro run wrote holds lire, as the lire run's does.
  EXPECT_EQ(test::ReadBytes(euro.File("ORVA.LOG")), test::ReadBytes(lire.File("ORVA.LOG")));
}

// The console meter's lines show the call's money in euro ("€ 0,08") and the counter beside
// it too, never "L.".
TEST_F(EuroCli, ConsoleMeterShowsEuro) {
  test::TempDir runtime;
  ::chmod(runtime.path().c_str(), 0700);
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const pid_t pid =
      test::StartTool({ORVA_CLI, "meter", "--simulate", "prova", "--data-dir", euro.path()},
                      {{"XDG_RUNTIME_DIR=" + runtime.path()}}, fds[1]);
  ::close(fds[1]);
  ASSERT_GT(pid, 0);
  std::string out;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (out.find("\nConnesso | prova") == std::string::npos &&
         std::chrono::steady_clock::now() < deadline) {
    pollfd p{fds[0], POLLIN, 0};
    if (::poll(&p, 1, 200) <= 0) continue;
    char buf[1024];
    const ssize_t n = ::read(fds[0], buf, sizeof buf);
    if (n <= 0) break;
    out.append(buf, static_cast<std::size_t>(n));
  }
  ::kill(pid, SIGINT);
  int status = 0;
  ::waitpid(pid, &status, 0);
  ::close(fds[0]);
  std::string connected;
  for (const auto& line : Lines(out))
    if (line.rfind("Connesso | prova", 0) == 0) connected = line;
  // The figures depend on the hour the test runs at; their form does not.
  EXPECT_TRUE(std::regex_search(connected,
                                std::regex(" \\| € [0-9]+,[0-9][0-9] \\| .* - [0-9]+,[0-9][0-9]$")))
      << out;
  EXPECT_EQ(out.find("L. "), std::string::npos) << out;
}

// "bill add": --price stays lire in a euro program (what scripts pass today); --price-euro
// takes euro with a comma or a point; both at once, or a price that is no number, is refused.
TEST_F(EuroCli, BillAddTakesLireOrAnExplicitEuroPrice) {
  ASSERT_EQ(
      Cli(euro, {"bill", "add", "--date", "2026-12-08", "--ticks", "10", "--price", "127"}).code,
      0);
  for (const char* price : {"0,05", "0.05"})
    ASSERT_EQ(
        Cli(euro, {"bill", "add", "--date", "2026-12-08", "--ticks", "1", "--price-euro", price})
            .code,
        0)
        << price;
  for (const std::vector<std::string>& wrong :
       {std::vector<std::string>{"--price", "127", "--price-euro", "0,05"},
        std::vector<std::string>{"--price-euro", "1,2,3"},
        std::vector<std::string>{"--price-euro", "-0,05"}, std::vector<std::string>{}}) {
    std::vector<std::string> args = {"bill", "add", "--date", "2026-12-08", "--ticks", "1"};
    args.insert(args.end(), wrong.begin(), wrong.end());
    EXPECT_EQ(Cli(euro, args).code, 2) << args.back();
  }
  const CliRun day = Cli(euro, {"bill", "day", "--date", "2026-12-08", "--json"});
  ASSERT_EQ(day.code, 0) << day.out;
  const auto j = nlohmann::json::parse(day.out);
  ASSERT_EQ(j["entries"].size(), 2u) << day.out;
  EXPECT_EQ(j["entries"][0]["price"], 127);
  EXPECT_EQ(j["entries"][0]["ticks"], 10);
  EXPECT_EQ(j["entries"][1]["price"], 96.8135);
  EXPECT_EQ(j["entries"][1]["ticks"], 2);
  EXPECT_NE(Cli(euro, {"bill", "--help"}).out.find("--price-euro"), std::string::npos);
}

}  // namespace
}  // namespace orva

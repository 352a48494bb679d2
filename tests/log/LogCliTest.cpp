// orva32cli log commands, run as a user would run them.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include <nlohmann/json.hpp>

#include "TempDir.h"
#include "log/LogFile.h"

extern char** environ;

namespace orva {
namespace {

struct CliRun {
  int code = -1;
  std::string out;
};

CliRun Cli(std::vector<std::string> args) {
  args.insert(args.begin(), ORVA_CLI);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int fds[2];
  if (::pipe(fds) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  pid_t pid = 0;
  CliRun r;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    ::close(fds[1]);
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fds[0], buf, sizeof buf)) > 0)
      r.out.append(buf, static_cast<std::size_t>(n));
    int status = 0;
    ::waitpid(pid, &status, 0);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  } else {
    ::close(fds[1]);
  }
  ::close(fds[0]);
  posix_spawn_file_actions_destroy(&actions);
  return r;
}

class LogCli : public ::testing::Test {
 protected:
  void SetUp() override {
    log = dir.File("a.log");
    test::WriteBytes(
        log,
        "15/10/99\t21.03.05\t21.15.40\t00.12.35\tTI\t7\t889\t28800\t1536\t1034\t"
        "Modem: Rossi, Bianchi\t\r\n"
        "14/10/99\t08.00.00\t08.30.00\t00.30.00\tTI\t13\t1651.5\tn.d\t0\t0\tFAX\t\r\n");
  }
  std::vector<std::string> With(std::vector<std::string> args) {
    args.insert(args.end(), {"--data-dir", dir.path(), "--json"});
    return args;
  }
  test::TempDir dir;
  std::string log;
};

TEST_F(LogCli, ShowAndSortGiveEveryFieldUnderItsKey) {
  CliRun r = Cli(With({"log", "show", log}));
  ASSERT_EQ(r.code, 0) << r.out;
  auto j = nlohmann::json::parse(r.out);
  ASSERT_EQ(j.size(), 2u);
  EXPECT_EQ(j[0], nlohmann::json({{"n", 1},
                                  {"date", "1999-10-15"},
                                  {"date_text", "15/10/99"},
                                  {"start", "1999-10-15T21:03:05"},
                                  {"start_text", "21.03.05"},
                                  {"end", "1999-10-15T21:15:40"},
                                  {"end_text", "21.15.40"},
                                  {"duration", 755},
                                  {"duration_text", "00.12.35"},
                                  {"tariff", "TI"},
                                  {"ticks", 7},
                                  {"ticks_text", "7"},
                                  {"cost", 889},
                                  {"cost_text", "889"},
                                  {"bps", 28800},
                                  {"bps_text", "28800"},
                                  {"received", 1536},
                                  {"received_text", "1536"},
                                  {"sent", 1034},
                                  {"sent_text", "1034"},
                                  {"service", "Modem: Rossi, Bianchi"}}));
  // A fax gives no speed: null beside its "n.d".
  EXPECT_TRUE(j[1]["bps"].is_null());
  EXPECT_EQ(j[1]["bps_text"], "n.d");
  r = Cli(With({"log", "sort", log, "--column", "1"}));
  ASSERT_EQ(r.code, 0);
  j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j[0]["date"], "1999-10-14");
  EXPECT_EQ(j[0]["n"], 1);
  r = Cli(With({"log", "sort", log, "--column", "7", "--descending"}));
  EXPECT_EQ(nlohmann::json::parse(r.out)[0]["cost"], 1651.5);
  EXPECT_EQ(Cli(With({"log", "sort", log, "--column", "0"})).code, 2);
  EXPECT_EQ(Cli(With({"log", "show", dir.File("missing.log")})).code, 1);
}

TEST_F(LogCli, TotalsAsTheBottomHeaderShowsThem) {
  const CliRun r = Cli(With({"log", "totals", log, "--vat", "20"}));
  ASSERT_EQ(r.code, 0) << r.out;
  // 755 + 1800 seconds; the speed is the average of the rows that have one; 2540.5 lire and
  // 20 % VAT make 3048.6.
  EXPECT_EQ(nlohmann::json::parse(r.out), nlohmann::json({{"rows", 2},
                                                          {"rows_text", "2/2"},
                                                          {"duration", 2555},
                                                          {"duration_text", "00.42.35"},
                                                          {"ticks", 20},
                                                          {"ticks_text", "20"},
                                                          {"cost", 2540.5},
                                                          {"cost_text", "2540.5"},
                                                          {"bps", 28800},
                                                          {"bps_text", "28800"},
                                                          {"received", 1536},
                                                          {"received_text", "1,50 Kb"},
                                                          {"sent", 1034},
                                                          {"sent_text", "1,01 Kb"},
                                                          {"vat_rate", 0.2},
                                                          {"total", 3048.6},
                                                          {"total_text", "TOT.L.3048.6"},
                                                          // Beside the lire, the euro.
                                                          {"cost_euro", 1.31},
                                                          {"total_euro", 1.57},
                                                          {"currency", "Euro"}}));
  EXPECT_EQ(Cli(With({"log", "totals", log, "--vat", "venti"})).code, 2);
}

// An old log with decimal commas: the tool's totals are the window's and the report's.
TEST_F(LogCli, TotalsReadADecimalCommaAsTheWindowDoes) {
  test::WriteBytes(log,
                   "01/11/99\t10.00.00\t10.10.00\t00.10.00\tTI\t2\t254,5\tn.d\t0\t0\tA\t\r\n"
                   "02/11/99\t10.00.00\t10.01.00\t00.01.00\tTI\t1\t127\tn.d\t0\t0\tB\t\r\n"
                   "04/11/99\t10.00.00\t10.00.30\t00.00.30\tTI\t1\t63,5\tn.d\t0\t0\tD\t\r\n");
  const CliRun r = Cli(With({"log", "totals", log, "--vat", "20"}));
  ASSERT_EQ(r.code, 0) << r.out;
  const auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["cost"], 445.0);
  EXPECT_EQ(j["cost_text"], "445.0");
  EXPECT_EQ(j["total"], 534.0);
  EXPECT_EQ(j["total_text"], "TOT.L.534.0");
  // Sorted by cost: 63,5 < 127 < 254,5.
  const CliRun sorted = Cli(With({"log", "sort", log, "--column", "7"}));
  ASSERT_EQ(sorted.code, 0) << sorted.out;
  const std::string& text = sorted.out;
  ASSERT_NE(text.find("01/11/99"), std::string::npos) << text;
  EXPECT_LT(text.find("04/11/99"), text.find("02/11/99"));
  EXPECT_LT(text.find("02/11/99"), text.find("01/11/99"));
}

TEST_F(LogCli, SimulatedCallsAcrossBothDaylightChangesInRomeAndADayLongOne) {
  // The simulation reads --start in the zone of TZ.
  setenv("TZ", "Europe/Rome", 1);
  test::WriteBytes(dir.File("INTERURB.TRF"),
                   test::ReadBytes(std::string(ORVA_SOURCE_DIR) + "/data/tariffe/INTERURB.TRF"));
  auto simulate = [&](const char* start, const char* seconds) {
    const CliRun r = Cli(With({"simulate-call", "--entry", "prova", "--kind", "0", "--start", start,
                               "--duration", seconds}));
    EXPECT_EQ(r.code, 0) << r.out;
    return nlohmann::json::parse(r.out, nullptr, false);
  };
  auto billed = [](const nlohmann::json& j) {
    double sum = 0;
    for (const auto& b : j["bill"]) sum += b["price"].get<double>() * b["ticks"].get<double>();
    return sum;
  };
  // Sundays: 30-second ticks at 127 lire. Spring: 01.30 to 03.30 local is one real hour.
  auto j = simulate("2026-03-29 01:30:00", "3600");
  EXPECT_EQ(j["ticks"], 121);
  EXPECT_EQ(j["cost"], 15367.0);
  EXPECT_EQ(j["log_line"],
            "29/03/26\t01.30.00\t03.30.00\t01.00.00\tINT\t121\t15367\tn.d\t\t\t"
            "Sconosciuto: Avvio manuale\t");
  EXPECT_EQ(billed(j), 15367.0);
  // Autumn: two real hours from 01.30 end at 02.30 local, one call, no clock guard.
  j = simulate("2026-10-25 01:30:00", "7200");
  EXPECT_EQ(j["ticks"], 241);
  EXPECT_EQ(j["cost"], 30607.0);
  EXPECT_EQ(j["log_line"],
            "25/10/26\t01.30.00\t02.30.00\t02.00.00\tINT\t241\t30607\tn.d\t\t\t"
            "Sconosciuto: Avvio manuale\t");
  EXPECT_EQ(billed(j), 30607.0);
  // A call of 25 hours and ten seconds, and the totals of the three.
  // Saturday 23.00.00 to Monday 00.00.10, all 30-second ticks: the answer tick and 119 to
  // 23.59.30, 2880 on Sunday, 1 at 00.00.00 on Monday; 3001 x 127 = 381127 lire.
  j = simulate("2026-12-12 23:00:00", "90010");
  EXPECT_EQ(j["elapsed"], 90010);
  EXPECT_EQ(j["elapsed_text"], "25.00.10");
  // The log record read back: it ends on Monday, two days after its start.
  EXPECT_EQ(j["log"]["start"], "2026-12-12T23:00:00");
  EXPECT_EQ(j["log"]["end"], "2026-12-14T00:00:10");
  EXPECT_EQ(j["log"]["duration"], 90010);
  EXPECT_EQ(j["ticks"], 3001);
  EXPECT_EQ(j["cost"], 381127.0);
  EXPECT_EQ(billed(j), 381127.0);
  const CliRun totals = Cli(With({"log", "totals", dir.File("ORVA.LOG")}));
  ASSERT_EQ(totals.code, 0);
  EXPECT_EQ(nlohmann::json::parse(totals.out)["duration_text"], "28.00.10");
  EXPECT_EQ(nlohmann::json::parse(totals.out)["duration"], 28 * 3600 + 10);
  // Named or not, the log the calls went to.
  const CliRun current = Cli(With({"log", "totals"}));
  ASSERT_EQ(current.code, 0) << current.out;
  EXPECT_EQ(current.out, totals.out);
}

TEST_F(LogCli, ImportAndExport) {
  const std::string from = dir.File("b.log");
  test::WriteBytes(from,
                   "15/10/99\t21.03.05\t21.15.40\t00.12.35\tTI\t7\t889\t28800\t1\t1\tX\t\r\n"
                   "16/10/99\t09.00.00\t09.01.00\t00.01.00\tTI\t1\t127\t28800\t1\t1\tY\t\r\n");
  CliRun r = Cli(With({"log", "import", log, from, "--duplicates", "no"}));
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_EQ(nlohmann::json::parse(r.out)["added"], 1);
  std::vector<TConnObj> records;
  LoadLogFile(log, records);
  EXPECT_EQ(records.size(), 3u);
  r = Cli(With({"log", "import", log, from, "--duplicates", "yes"}));
  EXPECT_EQ(nlohmann::json::parse(r.out)["added"], 2);
  EXPECT_EQ(Cli(With({"log", "import", log, from, "--duplicates", "maybe"})).code, 2);

  r = Cli(With({"log", "export-csv", log, dir.File("out.csv")}));
  ASSERT_EQ(r.code, 0) << r.out;
  // A new installation shows euro: a header, then the costs with a decimal comma.
  const std::string csv = test::ReadBytes(dir.File("out.csv"));
  const auto first = csv.find("\r\n");
  EXPECT_EQ(csv.substr(first + 2, csv.find("\r\n", first + 2) - first - 2),
            "15/10/99;21.03.05;21.15.40;00.12.35;TI;7;0,46;28800;1536;1034;"
            "Modem: Rossi, Bianchi;");
  EXPECT_EQ(nlohmann::json::parse(r.out)["currency"], "Euro");

  // Without FILE an import goes to the current log, and an export reads it.
  r = Cli(With({"log", "import", from}));
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_EQ(nlohmann::json::parse(r.out)["file"], dir.File("ORVA.LOG"));
  r = Cli(With({"log", "export-csv", dir.File("corrente.csv")}));
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_EQ(nlohmann::json::parse(r.out)["rows"], 2);
}

// "Which tariff would have cost less": a small log priced under three shipped tariffs, worked
// out by hand tick by tick. The Wednesday data call 10.00-10.10 (600 s): Urbana 1 answer tick
// + 3 ticks of 220 s = 4 x 127 = 508; al secondo 150 + 600 x 2.75 = 1800; Internet 200 + 4
// ticks of 180 s = 708. The Friday call from 23.58 past midnight (end time only, 240 s, cost
// unknown in the log): Urbana 127 + one 360 s tick = 254; al secondo 150 + 119 s at 2.75 +
// 121 s at the Saturday 1.5 = 658.75; Internet 200 + one 240 s tick = 327. The Saturday voice
// call 09.00-09.05: Urbana 127 + 2 x 127 = 381; al secondo 150 + 300 x 1.5 = 600; Internet
// 200 + 2 x 127 = 454. A call without a length is named, not priced; one outside the days
// asked for is not counted.
TEST_F(LogCli, CompareTariffsPricesEachKindOfCallUnderEveryTariffCheapestFirst) {
  for (const char* f : {"URBANA.TRF", "SECONDO.TRF", "INTERNET.TRF"})
    test::WriteBytes(dir.File(f),
                     test::ReadBytes(std::string(ORVA_SOURCE_DIR) + "/data/tariffe/" + f));
  test::WriteBytes(
      log,
      "13/10/1999\t10.00.00\t10.10.00\t00.10.00\tURB\t3\t889\t0\t0\t0\tModem: Tiscali\t\r\n"
      "15/10/1999\t23.58.00\t00.02.00\t\tURB\t1\t?\t0\t0\t0\tModem: Tiscali\t\r\n"
      "16/10/1999\t09.00.00\t09.05.00\t00.05.00\tURB\t2\t500\t0\t0\t0\t"
      "A voce: Mario (0612345)\t\r\n"
      "16/10/1999\t11.00.00\t\t?\tURB\t?\t?\t0\t0\t0\tModem: Tiscali\t\r\n"
      "20/10/1999\t10.00.00\t10.10.00\t00.10.00\tURB\t3\t508\t0\t0\t0\tModem: Tiscali\t\r\n");
  const CliRun r = Cli(With({"log", "compare", log, "--from", "1999-10-13", "--to", "1999-10-16"}));
  ASSERT_EQ(r.code, 0) << r.out;
  const nlohmann::json j = nlohmann::json::parse(r.out);
  ASSERT_EQ(j["groups"].size(), 2u) << r.out;
  const nlohmann::json& data = j["groups"][0];
  EXPECT_EQ(data["kind"], "data");
  EXPECT_EQ(data["calls"], 2);
  EXPECT_EQ(data["paid"], 889);
  EXPECT_EQ(data["calls_without_cost"], 1);
  ASSERT_EQ(data["unknown_duration"].size(), 1u);
  EXPECT_EQ(data["unknown_duration"][0], "16/10/1999 11.00.00 Modem: Tiscali");
  const auto expect = [](const nlohmann::json& tariffs,
                         std::vector<std::pair<std::string, double>> cheapestFirst) {
    ASSERT_EQ(tariffs.size(), cheapestFirst.size());
    for (std::size_t i = 0; i < tariffs.size(); ++i) {
      EXPECT_EQ(tariffs[i]["tariff"], cheapestFirst[i].first) << i;
      EXPECT_DOUBLE_EQ(tariffs[i]["cost"].get<double>(), cheapestFirst[i].second) << i;
    }
  };
  expect(data["tariffs"], {{"Urbana ore piene e ridotte", 762},
                           {"Internet a tempo con sconto dopo 10 minuti", 1035},
                           {"Tariffazione al secondo", 2458.75}});
  EXPECT_DOUBLE_EQ(data["tariffs"][0]["saving"].get<double>(), 889 - 762);
  const nlohmann::json& voice = j["groups"][1];
  EXPECT_EQ(voice["kind"], "voice");
  EXPECT_EQ(voice["calls"], 1);
  EXPECT_EQ(voice["paid"], 500);
  expect(voice["tariffs"], {{"Urbana ore piene e ridotte", 381},
                            {"Internet a tempo con sconto dopo 10 minuti", 454},
                            {"Tariffazione al secondo", 600}});

  EXPECT_EQ(Cli(With({"log", "compare", log, "--from", "1999-10-17", "--to", "1999-10-13"})).code,
            2);
  EXPECT_EQ(Cli(With({"log", "compare", log, "--from", "13/10/1999"})).code, 2);
}

}  // namespace
}  // namespace orva

// What simulated calls cost and where their money goes (the log and the bill files), run as a
// user runs orva32cli, on a private data directory holding the shipped tariffs. The expected
// figures are worked by hand from the tariff files.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <thread>

#include "TempDir.h"
#include "ToolRun.h"
#include "platform/SafeFile.h"

namespace orva {
namespace {

using test::CliRun;

pid_t Spawn(std::vector<std::string> args, int outFd) {
  args.insert(args.begin(), ORVA_CLI);
  return test::StartTool(std::move(args), {}, outFd);
}

CliRun Cli(std::vector<std::string> args) {
  args.insert(args.begin(), ORVA_CLI);
  return test::RunTool(std::move(args));
}

class CallMoney : public ::testing::Test {
 protected:
  void SetUp() override {
    // The simulation reads --start in the zone of TZ.
    setenv("TZ", "Europe/Rome", 1);
    for (const char* name :
         {"INTERNET.TRF", "INTERURB.TRF", "ESEMPIO.TRF", "SECONDO.TRF", "URBANA.TRF"})
      test::WriteBytes(dir.File(name),
                       test::ReadBytes(std::string(ORVA_SOURCE_DIR) + "/data/tariffe/" + name));
  }
  std::vector<std::string> With(std::vector<std::string> args) {
    args.insert(args.end(), {"--data-dir", dir.path(), "--json"});
    return args;
  }
  // A call with no negotiation time: it counts from --start.
  nlohmann::json Simulate(const char* tariff, const char* start, const char* seconds) {
    const CliRun r = Cli(With({"simulate-call", "--entry", "prova", "--negotiation", "0",
                               "--tariff", tariff, "--start", start, "--duration", seconds}));
    EXPECT_EQ(r.code, 0) << r.out;
    return nlohmann::json::parse(r.out, nullptr, false);
  }
  // The cost of one day as the bill files hold it.
  double BillDayCost(const char* date) {
    const CliRun r = Cli(With({"bill", "day", "--date", date}));
    EXPECT_EQ(r.code, 0) << r.out;
    const auto j = nlohmann::json::parse(r.out, nullptr, false);
    double sum = 0;
    for (const auto& e : j["entries"]) sum += e["ticks"].get<double>() * e["price"].get<double>();
    return sum;
  }
  test::TempDir dir;
};

// The catalogue, sorted by description: 0 NET "Internet…", 1 INT "Interurbana…", 2 ESE,
// 3 SEC "Tariffazione al secondo", 4 URB. The tool starts on tariff 0 and then selects the
// call's tariff, as the desktop program does for a provider with a tariff of its own.
TEST_F(CallMoney, ACallOnAnotherTariffStartsOnThatTariffsOwnTick) {
  // INT on Wednesday 9 December 2026 from 18.29.30 for 239 s, ending 18.33.29. No fixed
  // charge: the answer tick, 127 lire, at 18.29.30. 18.29.30 lies in the last minute of the
  // band 08.00-18.29 (12.5 s), so its ticks run on 12.5 s (not NET's 240 s) until a tick
  // is priced in 18.30-23.59 (20 s). Samples are whole seconds; a tick falls when the
  // seconds since the tick start reach the tick length in force, and the new tick start keeps
  // the unused part of the interval:
  //   18.29.43 (13 s >= 12.5): tick 2, tick start 18.29.42.5
  //   18.29.55 (12.5 s):       tick 3, tick start 18.29.55
  //   18.30.08 (13 s): evaluated 20 s now, Trunc(13 / 20) = 0 ticks, start stays 18.29.55
  //   18.30.15 (20 s):         tick 4, then every 20 s: 18.30.35 (5) … 18.33.15 (13)
  // 13 ticks x 127 = 1651 lire, all billed on the 9th.
  auto j = Simulate("1", "2026-12-09 18:29:30", "239");
  EXPECT_EQ(j["ticks"], 13);
  EXPECT_EQ(j["cost"], 1651.0);
  EXPECT_EQ(j["log_line"],
            "09/12/26\t18.29.30\t18.33.29\t00.03.59\tINT\t13\t1651\tn.d\t\t\tModem: prova\t");
  EXPECT_DOUBLE_EQ(BillDayCost("2026-12-09"), 1651.0);

  // SEC (per second, 150 lire answer charge) from 07.59.30 for 150 s, ending 08.02.00: the
  // minute 07.59 runs on the 1-second ticks of the band 00.00-07.59 (not NET's 180 s). A
  // minute that no band names costs the last band's price, 2.75, as 08.00-23.59 does: 150
  // one-second ticks x 2.75 = 412.5, plus 150 = 562.5 lire. The log has no tick count.
  j = Simulate("3", "2026-12-09 07:59:30", "150");
  EXPECT_EQ(j["cost"], 562.5);
  EXPECT_EQ(j["log_line"],
            "09/12/26\t07.59.30\t08.02.00\t00.02.30\tSEC\t?\t562.5\tn.d\t\t\tModem: prova\t");
  EXPECT_DOUBLE_EQ(BillDayCost("2026-12-09"), 1651.0 + 562.5);
}

TEST_F(CallMoney, ContinuousChargingBillsEachDaysShareToItsDayAndMonth) {
  // SEC from 23.50.00 on Thursday 31 December 2026 to 00.10.00 on 1 January 2027 (a holiday).
  // The answer charge, 150 lire, goes to the 31st. Every second a tick is priced at the
  // moment it falls: 23.50.01 … 23.59.59 are 599 ticks at 2.75 (the band 08.00-23.59, whose
  // price the rest of its last minute also takes) = 1647.25; 00.00.00 … 00.10.00 are 601
  // ticks at the holiday price 1.5 = 901.5. The call costs 150 + 1647.25 + 901.5 = 2698.75.
  const auto j = Simulate("3", "2026-12-31 23:50:00", "1200");
  EXPECT_EQ(j["cost"], 2698.75);
  EXPECT_DOUBLE_EQ(BillDayCost("2026-12-31"), 150 + 1647.25);  // in 12_2026.BOL
  EXPECT_DOUBLE_EQ(BillDayCost("2027-01-01"), 901.5);          // in 1_2027.BOL
  EXPECT_TRUE(FileExists(dir.File("12_2026.BOL")));
  EXPECT_TRUE(FileExists(dir.File("1_2027.BOL")));
}

TEST_F(CallMoney, AStoppedSimulationHasBilledWhatItLoggedAndWhatItSpentSoFar) {
  // A month-long INT call: its bill must be on disk while it runs (from the answer tick on),
  // never only after its log record. Killed as soon as the bill appears, the call is not in
  // the log yet and the bill holds at least the answer tick.
  const int null = ::open("/dev/null", O_WRONLY);
  ASSERT_GE(null, 0);
  const pid_t pid =
      Spawn(With({"simulate-call", "--entry", "prova", "--negotiation", "0", "--tariff", "1",
                  "--start", "2026-12-01 00:00:00", "--duration", "2678400"}),
            null);
  ::close(null);
  ASSERT_GT(pid, 0);
  const std::string bill = dir.File("12_2026.BOL");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!FileExists(bill) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  const bool loggedFirst = FileExists(dir.File("ORVA.LOG"));
  ::kill(pid, SIGKILL);
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(FileExists(bill));
  EXPECT_FALSE(loggedFirst) << "the call was logged before any of it was billed";
  EXPECT_GE(BillDayCost("2026-12-01"), 127.0);
}

TEST_F(CallMoney, ADayPastTheYear9999IsRefusedNotBilledToAnotherMonth) {
  // INT on Friday 31 December 9999 from 23.59.00 for 120 s. 23.59.00 is in 18.30-23.59
  // (20 s): the answer tick, then 23.59.20 and 23.59.40, 3 x 127 = 381 lire on the 31st. At
  // 00.00.00 (1 January 10000, a holiday, 30 s ticks) Trunc(20 / 30) = 0; ticks fall at
  // 00.00.10 and 00.00.40: 2 more, 5 in all, 635 lire. A bill cannot name the year 10000:
  // those two are refused and reported, and nothing goes to any other month.
  const CliRun r = Cli(With({"simulate-call", "--entry", "prova", "--negotiation", "0", "--tariff",
                             "1", "--start", "9999-12-31 23:59:00", "--duration", "120"}));
  EXPECT_EQ(r.code, 1) << r.out;
  EXPECT_NE(r.out.find("gli anni vanno da 1 a 9999"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(R"(\t5\t635\t)"), std::string::npos) << r.out;  // the log keeps the call
  EXPECT_DOUBLE_EQ(BillDayCost("9999-12-31"), 381.0);
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    const std::string name = entry.path().filename().string();
    if (name.size() > 4 && name.substr(name.size() - 4) == ".BOL") {
      EXPECT_EQ(name, "12_9999.BOL");
    }
  }
}

// Tariff files with numbers beyond what a tariff holds.
std::string Tariff(const char* vat, const char* weekdayBand2) {
  return std::string("[Dati generali]\r\nAbbreviazione=BIG\r\nDescrizione=Grande\r\n") +
         "Aliquota IVA=" + vat + "\r\nAddebito fisso=0\r\nAddebito fisso espresso in=0\r\n" +
         "[Tariffa feriale]\r\nFasce=2\r\n1=00.00 11.59 60 127\r\n2=" + weekdayBand2 +
         "\r\n[Tariffa prefestiva]\r\nFasce=1\r\n1=00.00 23.59 60 127\r\n"
         "[Tariffa festiva]\r\nFasce=1\r\n1=00.00 23.59 60 127\r\n";
}

TEST_F(CallMoney, TariffNumbersBeyondBoundsMakeTheTariffUnusable) {
  const std::string path = dir.File("GRANDE.TRF");
  test::WriteBytes(path, Tariff("20", "12.00 23.59 60 127"));
  CliRun r = Cli(With({"tariff", "check", path}));
  ASSERT_EQ(r.code, 0) << r.out;  // the file itself is sound

  struct Case {
    const char* vat;
    const char* band;
    const char* message;  // what tariff check says
    const char* line;     // the line it points at, when a band
  };
  const Case cases[] = {
      {"20", "12.00 23.59 1e308 127", "Durata scatto fuori dai limiti nella fascia 2",
       "[Tariffa feriale] 2=12.00 23.59 1e308 127"},
      {"20", "12.00 23.59 86401 127", "Durata scatto fuori dai limiti nella fascia 2",
       "[Tariffa feriale] 2=12.00 23.59 86401 127"},
      {"20", "12.00 23.59 60 1e308", "Costo scatto fuori dai limiti nella fascia 2",
       "[Tariffa feriale] 2=12.00 23.59 60 1e308"},
      {"1e308", "12.00 23.59 60 127", "L'aliquota IVA è fuori dai limiti", nullptr},
  };
  for (const auto& c : cases) {
    test::WriteBytes(path, Tariff(c.vat, c.band));
    r = Cli(With({"tariff", "check", path}));
    EXPECT_EQ(r.code, 1) << c.band;
    const auto messages = nlohmann::json::parse(r.out, nullptr, false)["messages"];
    std::string all;
    for (const auto& m : messages) all += m.get<std::string>() + "\n";
    EXPECT_NE(all.find(c.message), std::string::npos) << all;
    if (c.line) {
      EXPECT_NE(all.find(c.line), std::string::npos) << all;
    }
    // The evaluation refuses it in the afternoon: no tick of a day-long-plus length, no
    // cost that overflows.
    r = Cli(With({"tariff", "eval", "--file", path, "--at", "2026-12-09 15:00:00"}));
    EXPECT_EQ(r.code, 1) << r.out;
    EXPECT_NE(r.out.find("fuori dai limiti"), std::string::npos) << r.out;
  }
  EXPECT_DOUBLE_EQ(BillDayCost("2026-12-09"), 0.0);
}

TEST_F(CallMoney, BillAndLogAmountsBeyondBoundsAreRefusedAndTotalsStayNumbers) {
  for (const char* price : {"1e308", "864000000001"}) {
    const CliRun r =
        Cli(With({"bill", "add", "--date", "2026-12-09", "--ticks", "2", "--price", price}));
    EXPECT_EQ(r.code, 1) << price;
    EXPECT_NE(r.out.find("costo scatto fuori dai limiti"), std::string::npos) << r.out;
  }
  CliRun r =
      Cli(With({"bill", "add", "--date", "2026-12-09", "--ticks", "2000000", "--price", "127"}));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.out.find("numero di scatti fuori dai limiti"), std::string::npos) << r.out;
  EXPECT_FALSE(FileExists(dir.File("12_2026.BOL")));

  // Files edited by hand: a price key and a log cost beyond any call count as nothing, and
  // the rest still adds up (2 x 127 = 254; 889 + 127 = 1016).
  test::WriteBytes(dir.File("12_2026.BOL"),
                   "[Generale]\r\nProgramma=ORVA32 4.1 del 28/10/99\r\n\r\n"
                   "[09/12/26]\r\n1e308=3\r\n127.0=2\r\n\r\n");
  r = Cli(With({"bill", "month", "--month", "12", "--year", "2026"}));
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_EQ(nlohmann::json::parse(r.out, nullptr, false)["cost"], 254) << r.out;
  EXPECT_EQ(nlohmann::json::parse(r.out, nullptr, false)["cost_text"], "254.0") << r.out;
  const std::string log = dir.File("a.log");
  test::WriteBytes(log,
                   "09/12/26\t10.00.00\t10.01.00\t00.01.00\tINT\t1\t1e308\tn.d\t0\t0\tX\t\r\n"
                   "09/12/26\t11.00.00\t11.12.35\t00.12.35\tINT\t7\t889\tn.d\t0\t0\tX\t\r\n"
                   "09/12/26\t12.00.00\t12.01.00\t00.01.00\tINT\t1\t127\tn.d\t0\t0\tX\t\r\n");
  r = Cli(With({"log", "totals", log}));
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_EQ(nlohmann::json::parse(r.out, nullptr, false)["cost"], 1016) << r.out;
  EXPECT_EQ(nlohmann::json::parse(r.out, nullptr, false)["cost_text"], "1016.0") << r.out;
}

}  // namespace
}  // namespace orva

// orva32cli --json as a script reads it: counts, amounts, seconds and bytes are JSON numbers,
// dates and times ISO 8601, the program's texts beside them under "..._text". Run as a user
// runs the tool, on a private data directory; the figures are worked by hand.
#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "TempDir.h"
#include "ToolRun.h"

namespace orva {
namespace {

using test::CliRun;

// What every --json output must give a script, checked by Python's own JSON reader: each key
// that holds a quantity is a number or null (never a text, never a boolean), each "_text" key
// a text, each date an ISO date and each moment an ISO date and time.
constexpr const char kChecker[] = R"(
import json, re, sys
QUANTITIES = {"ticks", "cost", "duration", "price", "received", "sent", "bps", "total", "net",
              "vat", "unit_ticks", "elapsed", "rows", "size", "value", "added_ticks",
              "vat_rate", "count", "n"}
DATE = re.compile(r"^\d{4}-\d{2}-\d{2}$")
MOMENT = re.compile(r"^\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}$")
problems = []
def walk(value, where):
    if isinstance(value, list):
        for i, v in enumerate(value):
            walk(v, where + "[%d]" % i)
    elif isinstance(value, dict):
        for k, v in value.items():
            at = where + "." + k
            if k in QUANTITIES and not (v is None or (type(v) in (int, float))):
                problems.append(at + " is not a number: " + repr(v))
            if k.endswith("_text") and not isinstance(v, str):
                problems.append(at + " is not a text")
            if k in ("date", "day", "from", "to") and isinstance(v, str) and not DATE.match(v) \
                    and not MOMENT.match(v):
                problems.append(at + " is not an ISO date: " + v)
            if k in ("start", "end", "at") and v is not None and not MOMENT.match(v):
                problems.append(at + " is not an ISO moment: " + repr(v))
            walk(v, at)
walk(json.load(open(sys.argv[1], encoding="utf-8")), "$")
print("\n".join(problems))
sys.exit(1 if problems else 0)
)";

class ScriptJson : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "Europe/Rome", 1);
    for (const char* name : {"INTERURB.TRF", "URBANA.TRF"})
      test::WriteBytes(dir.File(name),
                       test::ReadBytes(std::string(ORVA_SOURCE_DIR) + "/data/tariffe/" + name));
    test::WriteBytes(dir.File("check.py"), kChecker);
  }
  CliRun Cli(std::vector<std::string> args) {
    args.insert(args.begin(), ORVA_CLI);
    args.insert(args.end(), {"--data-dir", dir.path(), "--json"});
    return test::RunTool(std::move(args));
  }
  nlohmann::json Json(std::vector<std::string> args) {
    const CliRun r = Cli(args);
    EXPECT_EQ(r.code, 0) << args[0] << ": " << r.out;
    return nlohmann::json::parse(r.out, nullptr, false);
  }
  // Python's verdict on one command's output: empty when a script gets what it expects.
  std::string PythonProblems(std::vector<std::string> args) {
    const CliRun r = Cli(args);
    if (r.code != 0) return args[0] + " failed: " + r.out;
    test::WriteBytes(dir.File("out.json"), r.out);
    const CliRun py =
        test::RunTool({"/usr/bin/python3", dir.File("check.py"), dir.File("out.json")});
    return py.code == 0 ? std::string() : args[0] + " " + args[1] + ": " + py.out + r.out;
  }
  test::TempDir dir;
};

// A log as people have it: a call across New Year's midnight with gigabytes received, a call
// of more than a day, a per-second tariff's "?" ticks, a fax without speed, a line edited by
// hand into nonsense.
constexpr const char kLog[] =
    "31/12/99\t23.50.00\t00.10.00\t00.20.00\tTI\t3\t381\t33600\t2484154921\t123456\tModem: A\t\r\n"
    "12/12/26\t23.00.00\t00.00.10\t25.00.10\tINT\t3001\t381127\tn.d\t0\t0\tA voce: B\t\r\n"
    "01/03/26\t10.00.00\t10.00.31\t00.00.31\tSEC\t?\t15.5\tn.d\t0\t0\tFAX G3: C\t\r\n"
    "ieri\tpresto\t\t?\tTI\tsette\t\t\t\t\tscritta a mano\t\r\n";

TEST_F(ScriptJson, LogRecordsCarryMomentsSecondsAndBytes) {
  test::WriteBytes(dir.File("a.log"), kLog);
  const auto j = Json({"log", "show", dir.File("a.log")});
  ASSERT_EQ(j.size(), 4u);
  // The end of a call across midnight is on the next day (and year).
  EXPECT_EQ(j[0]["start"], "1999-12-31T23:50:00");
  EXPECT_EQ(j[0]["end"], "2000-01-01T00:10:00");
  EXPECT_EQ(j[0]["duration"], 1200);
  EXPECT_EQ(j[0]["received"], 2484154921LL);
  EXPECT_EQ(j[0]["received_text"], "2484154921");
  // 25 hours: the end is two calendar days after the start, not the same evening.
  EXPECT_EQ(j[1]["end"], "2026-12-14T00:00:10");
  EXPECT_EQ(j[1]["duration"], 90010);
  EXPECT_EQ(j[1]["cost"], 381127);
  // Texts that hold no number give null, their text kept.
  EXPECT_TRUE(j[2]["ticks"].is_null());
  EXPECT_EQ(j[2]["ticks_text"], "?");
  EXPECT_EQ(j[2]["cost"], 15.5);
  EXPECT_TRUE(j[2]["bps"].is_null());
  EXPECT_TRUE(j[3]["date"].is_null());
  EXPECT_EQ(j[3]["date_text"], "ieri");
  EXPECT_TRUE(j[3]["start"].is_null());
  EXPECT_TRUE(j[3]["end"].is_null());
  EXPECT_TRUE(j[3]["duration"].is_null());
  EXPECT_TRUE(j[3]["ticks"].is_null());
  EXPECT_EQ(j[3]["service"], "scritta a mano");

  // The totals: 1200 + 90010 + 31 s; 3004 ticks; 381 + 381127 + 15.5 lire; the only speed;
  // the bytes in full, beside the kilobytes the window shows (2484154921 / 1024 =
  // 2425932.54 Kb).
  const auto t = Json({"log", "totals", dir.File("a.log"), "--vat", "20"});
  EXPECT_EQ(t["rows"], 4);
  EXPECT_EQ(t["duration"], 91241);
  EXPECT_EQ(t["duration_text"], "25.20.41");
  EXPECT_EQ(t["ticks"], 3004);
  EXPECT_EQ(t["cost"], 381523.5);
  EXPECT_EQ(t["bps"], 33600);
  EXPECT_EQ(t["received"], 2484154921LL);
  EXPECT_EQ(t["received_text"], "2.425.932,54 Kb");
  EXPECT_EQ(t["total"], 457828.2);
  EXPECT_EQ(t["total_text"], "TOT.L.457828.2");
}

TEST_F(ScriptJson, BillFiguresAreNumbersThatAgreeWithTheirTexts) {
  // 10 ticks at 127 and 3 at 63.5 on one day: 1270 + 190.5 = 1460.5 lire, 11.50 ticks of
  // 127 lire.
  auto add = Json({"bill", "add", "--date", "2026-12-08", "--ticks", "10", "--price", "127"});
  EXPECT_EQ(add["day"], "2026-12-08");
  EXPECT_EQ(add["price"], 127);
  EXPECT_EQ(add["ticks"], 10);
  add = Json({"bill", "add", "--date", "2026-12-08", "--ticks", "3", "--price", "63.5"});
  EXPECT_EQ(add["added_ticks"], 3);
  EXPECT_EQ(add["ticks"], 13);

  const auto day = Json({"bill", "day", "--date", "2026-12-08"});
  EXPECT_EQ(day["date"], "2026-12-08");
  EXPECT_EQ(day["ticks"], 13);
  EXPECT_EQ(day["cost"], 1460.5);
  EXPECT_EQ(day["cost_text"], "1460.5");
  EXPECT_EQ(day["unit_ticks"], 11.5);
  ASSERT_EQ(day["entries"].size(), 2u);
  double sum = 0;
  for (const auto& e : day["entries"]) sum += e["ticks"].get<double>() * e["price"].get<double>();
  EXPECT_EQ(sum, 1460.5);

  const auto month = Json({"bill", "month", "--month", "12", "--year", "2026"});
  ASSERT_EQ(month["days"].size(), 31u);
  EXPECT_EQ(month["days"][7]["date"], "2026-12-08");
  EXPECT_EQ(month["days"][7]["cost"], 1460.5);
  EXPECT_EQ(month["days"][8]["cost"], 0);
  EXPECT_EQ(month["cost"], 1460.5);

  // 11.5 ticks and 2 more, 1000 lire fixed: 1000 + 13.5 x 127 = 2714.5; 20 % is 542.9.
  const auto period = Json({"bill", "period", "--from", "2026-12-01", "--to", "2026-12-31",
                            "--fixed", "1000", "--suppl", "2", "--vat", "20"});
  EXPECT_EQ(period["from"], "2026-12-01");
  EXPECT_EQ(period["from_text"], "01/12/26");
  EXPECT_EQ(period["ticks"], 13.5);
  EXPECT_EQ(period["net"], 2714.5);
  EXPECT_EQ(period["vat"], 542.9);
  EXPECT_EQ(period["total"], 3257.4);
}

// Every command a script reads, through Python's JSON reader.
TEST_F(ScriptJson, EveryCommandGivesPythonNumbersAndIsoDates) {
  test::WriteBytes(dir.File("a.log"), kLog);
  test::WriteBytes(dir.File("b.log"),
                   "01/01/00\t10.00.00\t10.01.00\t00.01.00\tTI\t1\t127\t0\t0\t0\tX\t\r\n");
  ASSERT_EQ(Cli({"bill", "add", "--date", "2026-12-08", "--ticks", "10", "--price", "127"}).code,
            0);
  const std::vector<std::vector<std::string>> commands = {
      {"log", "show", dir.File("a.log")},
      {"log", "sort", dir.File("a.log"), "--column", "6"},
      {"log", "totals", dir.File("a.log")},
      {"log", "import", dir.File("a.log"), dir.File("b.log")},
      {"log", "export-csv", dir.File("a.log"), dir.File("a.csv")},
      {"bill", "add", "--date", "2026-12-09", "--ticks", "1", "--price", "127"},
      {"bill", "day", "--date", "2026-12-08"},
      {"bill", "month", "--month", "12", "--year", "2026"},
      {"bill", "period", "--from", "2026-11-15", "--to", "2026-12-31"},
      {"bill", "period-cost"},
      {"tariff", "list"},
      {"tariff", "eval", "--index", "0", "--at", "2026-12-08 10:00:00"},
      {"tariff", "cost", "--index", "0", "--from", "2026-12-08 23:55:00", "--to",
       "2026-12-09 00:05:00"},
      {"easter", "2026"},
      {"simulate-call", "--entry", "prova", "--negotiation", "0", "--start", "2026-12-08 10:00:00",
       "--duration", "600"},
      {"netstat", "--view", "tcp", "--proc", test::TestDataDir() + "net/proc/states"},
  };
  for (const auto& command : commands) EXPECT_EQ(PythonProblems(command), "");
}

}  // namespace
}  // namespace orva

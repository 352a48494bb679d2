// orva32cli tariff list|eval|cost and easter, run as a program.
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "TariffFixtures.h"
#include "TempDir.h"

extern char** environ;

namespace orva {
namespace {

struct CliRun {
  int exitCode = -1;
  std::string out, err;
};

CliRun RunProgram(const std::string& program, std::vector<std::string> words) {
  words.insert(words.begin(), program);
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  test::TempDir capture;
  const std::string outPath = capture.File("out"), errPath = capture.File("err");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  pid_t pid = 0;
  CliRun run;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  run.out = test::ReadBytes(outPath);
  run.err = test::ReadBytes(errPath);
  return run;
}

CliRun Cli(std::vector<std::string> words) {
  return RunProgram(ORVA32CLI_PATH, std::move(words));
}

int EntriesIn(const std::string& folder) {
  int n = 0;
  if (DIR* d = ::opendir(folder.c_str())) {
    while (const dirent* e = ::readdir(d))
      if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") ++n;
    ::closedir(d);
  }
  return n;
}

class TariffCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteTariff(dir, "ESEMPIO.TRF", test::ExampleTariff());
    test::WriteTariff(dir, "ALTRA.TRF",
                      test::CrLf({"[Dati generali]", "Descrizione=Altra", "Abbreviazione=ALT",
                                  "[Tariffa feriale]", "Fasce=1", "1=00.00 23.59 0.5 2.5"}));
  }
  std::vector<std::string> With(std::vector<std::string> words) {
    words.push_back("--data-dir");
    words.push_back(dir.path());
    return words;
  }
  test::TempDir dir;
};

TEST_F(TariffCommandsTest, ListGivesTheCatalogueInOrder) {
  const CliRun r = Cli(With({"tariff", "list", "--json"}));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto j = nlohmann::json::parse(r.out);
  ASSERT_EQ(j.size(), 2u);
  EXPECT_EQ(j[0]["index"], 0);
  EXPECT_EQ(j[0]["description"], "Altra");
  EXPECT_EQ(j[0]["abbreviation"], "ALT");
  EXPECT_EQ(j[0]["path"], dir.File("ALTRA.TRF"));
  EXPECT_EQ(j[1]["description"], "Tariffa di esempio");
}

TEST_F(TariffCommandsTest, EvalBothVariants) {
  CliRun r = Cli(With({"tariff", "eval", "--index", "1", "--at", "2024-04-22 10:15:30", "--json"}));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["tick_seconds"], 60.0);
  EXPECT_EQ(j["tick_cost"], 127.0);
  EXPECT_EQ(j["tick_text"], "00.01.00");
  EXPECT_EQ(j["vat_rate"], 0.2);
  EXPECT_EQ(j["fixed_charge"], 1);
  EXPECT_EQ(j["fixed_charge_unit"], 0);
  EXPECT_EQ(j["discount_active"], false);
  EXPECT_EQ(j["day_class"], "Feriale");

  r = Cli(With({"tariff", "eval", "--file", dir.File("ESEMPIO.TRF"), "--at", "2024-04-25 10:00:00",
                "--ticks", "3", "--elapsed", "30", "--recalc", "--json"}));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["day_class"], "Festiva");
  EXPECT_EQ(j["tick_seconds"], 240.0);
  EXPECT_EQ(j["tick_cost"], 127.0);
}

TEST_F(TariffCommandsTest, CostGivesTheLogTexts) {
  CliRun r = Cli(With({"tariff", "cost", "--index", "1", "--from", "2024-04-22 10:00:00", "--to",
                       "2024-04-22 10:10:00", "--json"}));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["duration"], 600);
  EXPECT_EQ(j["duration_text"], "00.10.00");
  EXPECT_EQ(j["cost"], 1397);
  EXPECT_EQ(j["cost_text"], "1397");
  EXPECT_EQ(j["ticks"], 10);
  // Half-second ticks: two per second, ticks unknown.
  r = Cli(With({"tariff", "cost", "--index", "0", "--from", "2024-04-22 10:00:00", "--to",
                "2024-04-22 10:00:03", "--json"}));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["cost"], 15);
  // A per-second tariff counts no ticks: null, the text "?" beside it.
  EXPECT_TRUE(j["ticks"].is_null());
  EXPECT_EQ(j["ticks_text"], "?");
}

TEST_F(TariffCommandsTest, FailuresAndBadArguments) {
  const std::string bad = test::WriteTariff(
      dir, "BAD.TRF", test::CrLf({"[Tariffa feriale]", "Fasce=1", "1=8-00 23.59 60 1"}));
  CliRun r = Cli(With({"tariff", "eval", "--file", bad, "--at", "2024-04-22 10:00:00"}));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find(bad), std::string::npos) << r.err;
  EXPECT_TRUE(r.out.empty());

  // A missing file is reported and priced with the default band.
  r = Cli(With(
      {"tariff", "eval", "--file", dir.File("NO.TRF"), "--at", "2024-04-22 10:00:00", "--json"}));
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "File tariffe " + dir.File("NO.TRF") + " non trovato !\n");
  EXPECT_EQ(nlohmann::json::parse(r.out)["tick_cost"], 127.0);

  for (const auto& words : std::vector<std::vector<std::string>>{
           {"tariff", "eval", "--index", "0"},
           {"tariff", "eval", "--index", "0", "--file", bad, "--at", "2024-04-22 10:00:00"},
           {"tariff", "eval", "--index", "x", "--at", "2024-04-22 10:00:00"},
           {"tariff", "eval", "--index", "0", "--at", "22/04/2024"},
           {"tariff", "cost", "--index", "0", "--from", "2024-04-22 10:00:00", "--to",
            "2024-04-22 09:00:00"},
           {"tariff", "frobnicate"},
           {"easter", "abc"}}) {
    r = Cli(With(words));
    EXPECT_EQ(r.exitCode, 2) << words[1];
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
}

TEST_F(TariffCommandsTest, CommonOptionsStandAnywhereOnTheLine) {
  for (const auto& words : std::vector<std::vector<std::string>>{
           {"--data-dir", dir.path(), "tariff", "list", "--json"},
           {"--json", "--data-dir=" + dir.path(), "tariff", "list"},
           {"tariff", "--json", "list", "--data-dir", dir.path()}}) {
    const CliRun r = Cli(words);
    ASSERT_EQ(r.exitCode, 0) << words[0] << ": " << r.err;
    EXPECT_EQ(nlohmann::json::parse(r.out).size(), 2u) << words[0];
  }
  // Only the common options may come before the command.
  const CliRun r = Cli({"--index", "1", "tariff", "eval"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

TEST(CommandLine, VersionAndHelpOfEveryCommand) {
  CliRun r = Cli({"--version"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out.rfind("orva32cli ", 0), 0u) << r.out;
  for (const std::string command : {"tariff", "easter", "log", "bill", "meter", "send",
                                    "simulate-call", "netstat", "hosts", "dns", "time", "mail"}) {
    r = Cli({command, "--help"});
    EXPECT_EQ(r.exitCode, 0) << command;
    EXPECT_EQ(r.out.rfind("uso: orva32cli " + command, 0), 0u) << r.out;
    EXPECT_TRUE(r.err.empty()) << command;
  }
  EXPECT_EQ(Cli({"--help"}).exitCode, 0);
  EXPECT_EQ(Cli({}).exitCode, 2);
  EXPECT_EQ(Cli({"frobnicate", "--help"}).exitCode, 2);
}

#ifdef ORVA32CLI_QT_INSTALLED
TEST(CommandLine, EventLoopCommandsRunInTheirOwnProgramOrSayWhatIsMissing) {
  // Through orva32cli the event loop's commands answer as their own: the usage error is time's.
  CliRun r = Cli({"time", "check"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err, "orva32cli: manca il server\n");
  // A copy of orva32cli without orva32cli-qt beside it or installed says what it lacks and
  // still runs its own commands.
  if (::access(ORVA32CLI_QT_INSTALLED, X_OK) == 0) GTEST_SKIP() << "installed on this machine";
  test::TempDir lone;
  const std::string copy = lone.File("orva32cli");
  test::WriteBytes(copy, test::ReadBytes(ORVA32CLI_PATH));
  ASSERT_EQ(::chmod(copy.c_str(), 0700), 0);
  r = RunProgram(copy, {"time", "check", "127.0.0.1"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("orva32cli-qt"), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_EQ(RunProgram(copy, {"--version"}).exitCode, 0);
}
#endif

TEST_F(TariffCommandsTest, IndexOutsideTheCatalogueIsABadArgument) {
  for (const std::string index : {"2", "99", "-1", "99999999999"}) {
    CliRun r = Cli(With({"tariff", "eval", "--index", index, "--at", "2024-04-22 10:00:00"}));
    EXPECT_EQ(r.exitCode, 2) << index;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_TRUE(r.out.empty());
    r = Cli(With({"tariff", "cost", "--index", index, "--from", "2024-04-22 10:00:00", "--to",
                  "2024-04-22 10:01:00"}));
    EXPECT_EQ(r.exitCode, 2) << index;
  }
}

TEST_F(TariffCommandsTest, ReadersLeaveTheDataDirectoryAlone) {
  const std::string example = dir.File("ESEMPIO.TRF");
  const std::string fresh = dir.File("nuova");  // does not exist yet
  const std::string empty = dir.File("vuota");
  ASSERT_EQ(::mkdir(empty.c_str(), 0700), 0);
  for (const auto& target : {fresh, empty}) {
    for (const auto& words : std::vector<std::vector<std::string>>{
             {"tariff", "list"},
             {"tariff", "eval", "--file", example, "--at", "2024-04-22 10:00:00"},
             {"tariff", "cost", "--file", example, "--from", "2024-04-22 10:00:00", "--to",
              "2024-04-22 10:05:00"},
             {"log", "show", dir.File("ORVA.LOG")},
             {"log", "totals", dir.File("ORVA.LOG"), "--vat", "20"},
             {"bill", "day", "--date", "2024-04-22"},
             {"bill", "month", "--month", "4", "--year", "2024"},
             {"easter", "2024"}}) {
      std::vector<std::string> line = words;
      line.insert(line.end(), {"--data-dir", target});
      Cli(line);
      struct stat st {};
      if (target == fresh) {
        EXPECT_NE(::stat(fresh.c_str(), &st), 0) << words[0] << " " << words[1];
      } else {
        EXPECT_EQ(EntriesIn(empty), 0) << words[0] << " " << words[1];
      }
    }
  }
  // A new user's tariff list shows the shipped tariffs without copying them.
  const CliRun r = Cli({"tariff", "list", "--json", "--data-dir", fresh});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_GE(nlohmann::json::parse(r.out).size(), 5u);
  struct stat st {};
  EXPECT_NE(::stat(fresh.c_str(), &st), 0);
}

TEST(EasterCommand, DatesAndRange) {
  CliRun r = Cli({"easter", "2024"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "2024-03-31\n2024-04-01\n");
  r = Cli({"easter", "1981", "--json"});
  EXPECT_EQ(nlohmann::json::parse(r.out)["easter_sunday"], "1981-04-19");
  EXPECT_EQ(Cli({"easter", "1899"}).exitCode, 1);
  EXPECT_EQ(Cli({"easter", "2100"}).exitCode, 1);
}

}  // namespace
}  // namespace orva

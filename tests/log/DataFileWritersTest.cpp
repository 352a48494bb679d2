// Several writers of one data directory at once, and data files that exist but cannot be read,
// as a person meets them: orva32cli run twice at the same time, a log imported while a call is
// being logged, a writer killed mid-way, a file with the wrong permissions. Each writer is a
// real process; the permission cases run as a user who is not root.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "TempDir.h"
#include "ToolRun.h"

namespace orva {
namespace {

using test::CliRun;
using Options = test::ToolOptions;

pid_t Start(std::vector<std::string> args, const Options& options, int outFd) {
  args.insert(args.begin(), ORVA_CLI);
  return test::StartTool(std::move(args), options, outFd);
}

CliRun Cli(std::vector<std::string> args, const Options& options = {}) {
  args.insert(args.begin(), ORVA_CLI);
  return test::RunTool(std::move(args), options);
}

std::size_t CountLines(const std::string& path) {
  const std::string text = test::ReadBytes(path);
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

class DataFileWriters : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "Europe/Rome", 1);
    // Open to the other user of the permission cases.
    ::chmod(dir.path().c_str(), 0777);
    for (const char* name : {"INTERNET.TRF", "URBANA.TRF"})
      test::WriteBytes(dir.File(name),
                       test::ReadBytes(std::string(ORVA_SOURCE_DIR) + "/data/tariffe/" + name));
  }
  std::vector<std::string> In(std::vector<std::string> args) const {
    args.insert(args.end(), {"--data-dir", dir.path()});
    return args;
  }
  CliRun Call(const std::string& start) {
    return Cli(In({"simulate-call", "--entry", "prova", "--negotiation", "0", "--tariff", "0",
                   "--start", start, "--duration", "120"}));
  }
  long long DayTicks(const char* date) {
    const CliRun r = Cli(In({"bill", "day", "--date", date, "--json"}));
    EXPECT_EQ(r.code, 0) << r.out;
    return nlohmann::json::parse(r.out, nullptr, false).value("ticks", -1LL);
  }
  test::TempDir dir;
};

// Two loops of the tool adding to one day of the bill: every addition is kept.
TEST_F(DataFileWriters, TwoToolsAddingToOneDayKeepEveryTick) {
  auto adder = [&] {
    for (int i = 0; i < 50; ++i) {
      const CliRun r =
          Cli(In({"bill", "add", "--date", "2026-12-08", "--ticks", "1", "--price", "127"}));
      ASSERT_EQ(r.code, 0) << r.out;
    }
  };
  std::thread first(adder), second(adder);
  first.join();
  second.join();
  EXPECT_EQ(DayTicks("2026-12-08"), 100);
}

// An old log imported into the current one while calls end and are logged: the imported lines
// and every call are there afterwards.
TEST_F(DataFileWriters, CallsLoggedDuringAnImportAreKept) {
  constexpr int kOldCalls = 150000;
  {
    std::ofstream old(dir.File("vecchio.log"), std::ios::binary);
    char line[160];
    for (int i = 0; i < kOldCalls; ++i) {
      const int s = i % 86000;
      std::snprintf(line, sizeof line,
                    "%02d/%02d/%02d\t%02d.%02d.%02d\t%02d.%02d.%02d\t00.00.00\tTI-I\t1\t127\t"
                    "n.d\tn.d\tn.d\tVecchia %d\t\r\n",
                    1 + i % 28, 1 + (i / 28) % 12, 90 + (i / 336) % 10, s / 3600, s / 60 % 60,
                    s % 60, s / 3600, s / 60 % 60, s % 60, i);
      old << line;
    }
  }
  ASSERT_EQ(Call("2026-12-08 09:00:00").code, 0);

  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const pid_t import =
      Start(In({"log", "import", dir.File("ORVA.LOG"), dir.File("vecchio.log")}), {}, fds[1]);
  ::close(fds[1]);
  int calls = 1;
  int status = 0;
  while (::waitpid(import, &status, WNOHANG) == 0 || calls < 3) {
    const CliRun call = Call("2026-12-08 1" + std::to_string(calls % 10) + ":00:00");
    ASSERT_EQ(call.code, 0) << call.out;
    ++calls;
  }
  ::close(fds[0]);
  if (status == 0) ::waitpid(import, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  EXPECT_EQ(CountLines(dir.File("ORVA.LOG")), static_cast<std::size_t>(kOldCalls + calls));
  EXPECT_EQ(DayTicks("2026-12-08"), calls);  // the Internet tariff's one answer tick each
}

// A writer that cannot have the lock in time changes nothing and says why; one killed mid-way
// leaves a temporary file the next write clears, while a running writer's is left alone.
TEST_F(DataFileWriters, BusyFilesAndLeftoversOfKilledWriters) {
  ASSERT_EQ(Cli(In({"bill", "add", "--date", "2026-12-08", "--ticks", "2", "--price", "127"})).code,
            0);
  const std::string bill = dir.File("12_2026.BOL");
  const std::string before = test::ReadBytes(bill);
  {
    const int held = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const CliRun r =
        Cli(In({"bill", "add", "--date", "2026-12-08", "--ticks", "1", "--price", "127"}),
            {.env = {"ORVA32_LOCK_WAIT_MS=300"}, .asOtherUser = false});
    ::close(held);
    EXPECT_EQ(r.code, 1) << r.out;
    EXPECT_NE(r.out.find("12_2026.BOL: il file è in uso da un altro programma"), std::string::npos)
        << r.out;
    EXPECT_EQ(test::ReadBytes(bill), before);
  }

  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const std::string killed = dir.File(".12_2026.BOL.tmp" + std::to_string(gone) + ".Xy12ab");
  const std::string running = dir.File(".12_2026.BOL.tmp" + std::to_string(::getpid()) + ".Zz9");
  test::WriteBytes(killed, std::string(1 << 20, 'x'));
  test::WriteBytes(running, "in corso");
  ASSERT_EQ(Cli(In({"bill", "add", "--date", "2026-12-08", "--ticks", "1", "--price", "127"})).code,
            0);
  EXPECT_FALSE(std::filesystem::exists(killed));
  EXPECT_TRUE(std::filesystem::exists(running));
  EXPECT_EQ(DayTicks("2026-12-08"), 3);
}

// Files that are there but cannot be read are errors naming the file, never empty records, and
// nothing is written over them.
TEST_F(DataFileWriters, UnreadableFilesAreErrorsNotEmptyRecords) {
  ASSERT_EQ(Cli(In({"bill", "add", "--date", "2026-12-08", "--ticks", "5", "--price", "127"})).code,
            0);
  const std::string bill = dir.File("12_2026.BOL");
  const std::string before = test::ReadBytes(bill);
  ::chmod(bill.c_str(), 0);
  for (const std::vector<std::string>& words :
       {std::vector<std::string>{"bill", "month", "--month", "12", "--year", "2026"},
        {"bill", "day", "--date", "2026-12-08"},
        {"bill", "period", "--from", "2026-12-01", "--to", "2026-12-31"},
        {"bill", "add", "--date", "2026-12-09", "--ticks", "1", "--price", "127"}}) {
    const CliRun r = Cli(In(words), {.env = {}, .asOtherUser = true});
    EXPECT_EQ(r.code, 1) << words[1] << ": " << r.out;
    EXPECT_NE(r.out.find(bill), std::string::npos) << words[1] << ": " << r.out;
  }
  ::chmod(bill.c_str(), 0644);
  EXPECT_EQ(test::ReadBytes(bill), before);

  // An unreadable tariff keeps its place: the tariff after it is still the same index, and the
  // check says what is wrong with the file.
  ::chmod(dir.File("INTERNET.TRF").c_str(), 0);
  std::filesystem::create_directory(dir.File("CARTELLA.TRF"));
  CliRun r = Cli(In({"tariff", "list"}), {.env = {}, .asOtherUser = true});
  EXPECT_NE(r.out.find("0\tNone\tINTERNET.TRF"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("INTERNET.TRF non leggibile"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("1\tURB\t"), std::string::npos) << r.out;
  for (const char* name : {"INTERNET.TRF", "CARTELLA.TRF"}) {
    r = Cli(In({"tariff", "check", dir.File(name)}), {.env = {}, .asOtherUser = true});
    EXPECT_EQ(r.code, 1) << r.out;
    EXPECT_NE(r.out.find(std::string(name) + " non leggibile"), std::string::npos) << r.out;
  }
  r = Cli(In({"tariff", "check", dir.File("MANCA.TRF")}));
  EXPECT_NE(r.out.find("non trovato"), std::string::npos) << r.out;
}

// The first start on a disk too full for the shipped tariffs: it says so, copies none (a part
// of them would pass for the whole set), and the next start copies them all.
TEST(DataFileSeeding, AFullDiskAtTheFirstStartIsReportedAndTheNextStartCopiesEveryTariff) {
  test::TempDir dir;
  const std::vector<std::string> call = {
      "simulate-call",       "--entry",    "prova", "--tariff",   "1",       "--start",
      "2026-12-08 10:00:00", "--duration", "60",    "--data-dir", dir.path()};
  // Over the limit a write fails with EFBIG instead of ending the program.
  struct sigaction ignore {
  }, previous{};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGXFSZ, &ignore, &previous);
  const CliRun full = Cli(call, {.env = {}, .asOtherUser = false, .maxFileBytes = 370});
  ::sigaction(SIGXFSZ, &previous, nullptr);
  EXPECT_NE(full.code, 0);
  EXPECT_NE(
      full.out.find("Le tariffe fornite con il programma non sono state copiate: " + dir.path()),
      std::string::npos)
      << full.out;
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    EXPECT_NE(e.path().extension(), ".TRF") << e.path();

  const CliRun next = Cli(call);
  EXPECT_EQ(next.code, 0) << next.out;
  EXPECT_EQ(std::count_if(std::filesystem::directory_iterator(dir.path()), {},
                          [](const auto& e) { return e.path().extension() == ".TRF"; }),
            5);
}

}  // namespace
}  // namespace orva

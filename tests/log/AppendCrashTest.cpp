// A process appending to a log is killed at random moments, many times: every record it had
// acknowledged must be in the log, and the log must stay well formed.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>

#include "TempDir.h"
#include "core/HowUtils.h"
#include "log/LogFile.h"
#include "platform/DateTime.h"

namespace orva {
namespace {

LogCall NumberedCall(long long n) {
  LogCall c;
  c.ticks = std::to_string(n % 97);
  c.tariff = "TI-I";
  c.speed = "33600";
  c.service = "Modem: call " + std::to_string(n);
  c.received = std::to_string(n * 1000);
  c.sent = std::to_string(n * 10);
  c.cost = 127.0 * static_cast<double>(n % 97);
  c.start = EncodeDate(2001, 1, 1) + static_cast<double>(n) / 1440.0;
  c.end = c.start + 30 * kOneSecond;
  return c;
}

[[noreturn]] void AppendForever(const std::string& path, long long first, int ackFd) {
  AppendOptions o;
  o.logPath = path;
  for (long long n = first;; ++n) {
    if (!AppendLogRecord(NumberedCall(n), o).status) ::_exit(3);
    if (::write(ackFd, &n, sizeof n) != static_cast<ssize_t>(sizeof n)) ::_exit(4);
  }
}

TEST(AppendLogRecordCrash, KilledAppenderLosesNoAcknowledgedRecord) {
  test::TempDir dir;
  SetProgramDirectory(dir.path());
  const std::string path = dir.File("ORVA.LOG");
  const auto seed =
      static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
  std::mt19937 rng(seed);
  SCOPED_TRACE("seed " + std::to_string(seed));

  long long next = 0;  // records 0 .. next-1 are in the log
  for (int round = 0; round < 80; ++round) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::close(fds[0]);
      AppendForever(path, next, fds[1]);
    }
    ::close(fds[1]);
    ::usleep(static_cast<useconds_t>(rng() % 15000));
    ::kill(pid, SIGKILL);
    long long acked = next - 1, n = 0;
    while (::read(fds[0], &n, sizeof n) == static_cast<ssize_t>(sizeof n)) acked = n;
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the appender stopped by itself: " << status;

    // Well formed: whole CR LF lines of eleven TAB-terminated fields, calls in order.
    const std::string bytes = test::ReadBytes(path);
    if (bytes.empty()) {
      ASSERT_EQ(acked, -1);
      continue;
    }
    ASSERT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    std::size_t lines = 0, tabs = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] == '\t') ++tabs;
      if (bytes[i] == '\n') {
        ASSERT_EQ(tabs, 11u * (lines + 1)) << "line " << lines;
        ASSERT_EQ(bytes.substr(i - 2, 3), "\t\r\n");
        ++lines;
      }
    }
    std::vector<TConnObj> records;
    ASSERT_TRUE(LoadLogFile(path, records).status);
    ASSERT_EQ(records.size(), lines);
    for (std::size_t i = 0; i < records.size(); ++i)
      ASSERT_EQ(records[i].Service(), "Modem: call " + std::to_string(i));
    const auto count = static_cast<long long>(records.size());
    // Every acknowledged record is there; at most the one being written when killed is extra.
    ASSERT_GE(count, acked + 1);
    ASSERT_LE(count, acked + 2);
    next = count;
  }
  EXPECT_GT(next, 20) << "too few appends to mean much";
  std::printf("%lld records appended over 80 kills\n", next);
}

}  // namespace
}  // namespace orva

// A process appending to a log is killed at random moments, many times: every record it had
// acknowledged must be in the log, and the log must stay well formed.
#include <gtest/gtest.h>

#include <cstdio>

#include "KillLoop.h"
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

TEST(AppendLogRecordCrash, KilledAppenderLosesNoAcknowledgedRecord) {
  test::TempDir dir;
  const std::string path = dir.File("ORVA.LOG");
  AppendOptions o;
  o.logPath = path;
  o.dataDir = dir.path();
  const long long next = test::KillWhileWriting(
      60, 40000,
      [&](long long n) { return static_cast<bool>(AppendLogRecord(NumberedCall(n), o).status); },
      [&](long long acked) -> long long {
        // At most the append under way when killed left its temporary file.
        EXPECT_LE(test::RemoveTemporaryLeftovers(dir.path(), "ORVA.LOG"), 1);
        // Well formed: whole CR LF lines of eleven TAB-terminated fields, calls in order.
        const std::string bytes = test::ReadBytes(path);
        if (bytes.empty()) {
          EXPECT_EQ(acked, -1);
          return 0;
        }
        EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
        std::size_t lines = 0, tabs = 0;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
          if (bytes[i] == '\t') ++tabs;
          if (bytes[i] == '\n') {
            EXPECT_EQ(tabs, 11u * (lines + 1)) << "line " << lines;
            EXPECT_EQ(bytes.substr(i - 2, 3), "\t\r\n");
            ++lines;
          }
        }
        std::vector<TConnObj> records;
        EXPECT_TRUE(LoadLogFile(path, records).status);
        EXPECT_EQ(records.size(), lines);
        for (std::size_t i = 0; i < records.size(); ++i)
          EXPECT_EQ(records[i].Service(), "Modem: call " + std::to_string(i));
        const auto count = static_cast<long long>(records.size());
        // Every acknowledged record is there; at most the one being written when killed is extra.
        EXPECT_GE(count, acked + 1);
        EXPECT_LE(count, acked + 2);
        return count;
      });
  EXPECT_GT(next, 20) << "too few appends to mean much";
  std::printf("%lld records appended over the kills\n", next);
}

}  // namespace
}  // namespace orva

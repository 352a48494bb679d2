// Calls of a day or more: the duration keeps its whole hours ("25.00.10") when written, when
// read back, in the totals, the report, the sort and the manual entry; old files still read.
#include <gtest/gtest.h>

#include "TempDir.h"
#include "core/HowUtils.h"
#include "log/LogFile.h"
#include "log/LogReport.h"
#include "log/LogSort.h"
#include "log/LogTotals.h"
#include "log/Logentry.h"
#include "log/Logform.h"
#include "platform/SafeFile.h"

namespace orva {
namespace {

TEST(Duration, WholeHoursAreWrittenAndReadBack) {
  EXPECT_EQ(FormatDuration(0), "00.00.00");
  EXPECT_EQ(FormatDuration(3599), "00.59.59");
  EXPECT_EQ(FormatDuration(25 * 3600 + 10), "25.00.10");
  EXPECT_EQ(FormatDuration(123 * 3600 + 61), "123.01.01");
  EXPECT_EQ(FormatDuration(-5), "00.00.00");
  const std::pair<const char*, std::optional<long long>> cases[] = {{"25.00.10", 90010},
                                                                    {"00.12.35", 755},
                                                                    {"1.02", 3720},
                                                                    {"7:05:09", 25509},
                                                                    {" 24.00.01 ", 86401},
                                                                    {"23.60.00", std::nullopt},
                                                                    {"1.2.3.4", std::nullopt},
                                                                    {"?", std::nullopt},
                                                                    {"n.d", std::nullopt},
                                                                    {"1234567.00.00", std::nullopt},
                                                                    {"", std::nullopt},
                                                                    {"12.", std::nullopt}};
  for (const auto& [text, seconds] : cases) EXPECT_EQ(ParseDuration(text), seconds) << text;
}

TEST(LongCall, AppendedLineKeepsTheHoursAndTheLogReadsThemBack) {
  test::TempDir dir;
  LogCall call;
  call.ticks = "1501";
  call.tariff = "INT";
  call.service = "Modem: Tiscali";
  call.received = call.sent = "0";
  call.cost = 190627;
  call.start = EncodeDate(2026, 12, 12) + EncodeTime(23, 0, 0);
  call.end = EncodeDate(2026, 12, 14) + EncodeTime(0, 0, 10);
  // Measured by the meter, or taken from the two moments: the same text.
  EXPECT_EQ(FormatLogDuration(call.start, call.end), "25.00.10");
  call.durationSeconds = 25 * 3600 + 10;
  AppendOptions o;
  o.logPath = dir.File("ORVA.LOG");
  o.dataDir = dir.path();
  ASSERT_TRUE(AppendLogRecord(call, o).status);
  // An older line of the same log, written before: 01.00.00.
  call.start = EncodeDate(2026, 12, 15) + EncodeTime(10, 0, 0);
  call.end = call.start + 1.0 / 24;
  call.durationSeconds = -1;
  call.ticks = "60";
  call.cost = 7620;
  ASSERT_TRUE(AppendLogRecord(call, o).status);

  std::vector<TConnObj> records;
  ASSERT_TRUE(LoadLogFile(o.logPath, records).status);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].Duration(), "25.00.10");
  EXPECT_EQ(ComputeLogTotals(records, 1, 0.2).duration, "26.00.10");
  EXPECT_EQ(BuildLogReport(records, {}, 1, 0.2).totals[4], "26.00.10");
  SortLogRecords(records, 4, true);
  EXPECT_EQ(records[0].Duration(), "01.00.00");
  EXPECT_EQ(records[1].Duration(), "25.00.10");
}

TEST(LongCall, ManualEntryOfARecordOfADayOrMoreEndsOnItsDay) {
  TConnObj r = LogModel::NewManualRecord();
  r.Set(LogField::Date, "12/12/26");
  r.Set(LogField::Start, "23.00.00");
  r.Set(LogField::End, "00.00.10");
  r.Set(LogField::Duration, "25.00.10");
  TariffCatalogue none;
  const LogEntryModel e(none, r, false, EncodeDate(2026, 1, 1), 1);
  EXPECT_EQ(e.EndDateText(), "14/12/26");
}

}  // namespace
}  // namespace orva

// The totals of a whole log file, summed on two threads: the very texts one reader gives, for
// a log of many blocks whose costs add up differently in another order.
#include <gtest/gtest.h>

#include <string>

#include "TempDir.h"
#include "log/LogFile.h"
#include "log/LogTotals.h"

namespace orva {
namespace {

TEST(SumLogFile, TwoThreadsGiveTheTotalsOfOneReader) {
  test::TempDir dir;
  std::string log;
  // Costs of tenths and of millions: their double sum depends on the order of the additions.
  // Lines end in CR LF, LF and a lone CR, and some hold no call.
  for (int i = 0; i < 60000; ++i) {
    const std::string cost = i % 7 == 0 ? "1234567.3" : (i % 2 ? "0.1" : "254,5");
    log += "15/10/99\t21.03.05\t21.15.40\t00.12.3" + std::to_string(i % 10) + "\tTI\t" +
           std::to_string(i % 13) + "\t" + cost + "\t28800\t1.536\t1034\tServizio " +
           std::to_string(i);
    log += i % 3 == 0 ? "\r\n" : (i % 3 == 1 ? "\n" : "\r");
    if (i % 1000 == 0) log += "riga corta\n";
  }
  test::WriteBytes(dir.File("ORVA.LOG"), log);

  LogTotalsAccumulator oneReader;
  ASSERT_TRUE(ForEachLogRecordInFile(dir.File("ORVA.LOG"), [&](const TConnObj::Fields& row) {
                oneReader.Add(row);
              }).ok);
  LogTotalsAccumulator twoThreads;
  ASSERT_TRUE(SumLogFile(dir.File("ORVA.LOG"), twoThreads).ok);

  // The short lines count as rows with no figures, as the log window lists them.
  ASSERT_EQ(oneReader.Rows(), 60060);
  const LogTotals a = oneReader.Result(60060, 10, 0.2);
  const LogTotals b = twoThreads.Result(60060, 10, 0.2);
  EXPECT_EQ(a.rows, b.rows);
  EXPECT_EQ(a.duration, b.duration);
  EXPECT_EQ(a.ticks, b.ticks);
  EXPECT_EQ(a.cost, b.cost);
  EXPECT_EQ(a.bps, b.bps);
  EXPECT_EQ(a.received, b.received);
  EXPECT_EQ(a.sent, b.sent);
  EXPECT_EQ(a.total, b.total);
}

TEST(SumLogFile, AFileThatCannotBeReadIsAFailureNamingIt) {
  test::TempDir dir;
  LogTotalsAccumulator sum;
  const Status s = SumLogFile(dir.File("manca.log"), sum);
  EXPECT_FALSE(s.ok);
  EXPECT_NE(s.error.find("manca.log"), std::string::npos);
}

}  // namespace
}  // namespace orva

#include "bill/DbsetINI.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "TempDir.h"

namespace orva {
namespace {

class DataSet : public ::testing::Test {
 protected:
  BillOptions Options(int decimals = 1) const {
    BillOptions o;
    o.directory = dir.path();
    o.decimals = decimals;
    return o;
  }
  std::string Bytes(const std::string& name) const { return test::ReadBytes(dir.File(name)); }
  test::TempDir dir;
};

}  // namespace

TEST(BillNames, MonthWithoutLeadingZeroDayWithOne) {
  EXPECT_EQ(BillFileName(2, 2000), "2_2000.BOL");
  EXPECT_EQ(BillDaySection(5, 2, 2000), "05/02/00");
}

TEST(BillNames, TickPriceKeepsEveryDecimalItNeeds) {
  struct Case {
    double price;
    int decimals;
    const char* key;
  };
  const Case cases[] = {
      {127, 1, "127.0"},     {127, 0, "127"},           {63.5, 0, "63.5"},
      {63.5, 1, "63.5"},     {130.25, 1, "130.25"},     {130.25, 3, "130.250"},
      {0.1 + 0.2, 1, "0.3"}, {127.0 / 3, 1, "42.3333"}, {1.23456789, 5, "1.23457"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatTickPrice(c.price, c.decimals), c.key) << c.price;
}

TEST_F(DataSet, AddTicksWritesGeneralAndSumsOnOneKey) {
  TDataSetINI ds(10, 1999, Options());
  ASSERT_TRUE(ds.AddTicks(15, 1, 127));
  ASSERT_TRUE(ds.AddTicks(15, 1, 127));
  EXPECT_EQ(Bytes("10_1999.BOL"),
            "[Generale]\r\nProgramma=ORVA32 4.1 del 28/10/99\r\n"
            "Scatti relativi a=Ottobre 1999\r\n\r\n[15/10/99]\r\n127.0=2\r\n\r\n");
}

TEST_F(DataSet, SumsOfADay) {
  TDataSetINI ds(10, 1999, Options());
  ASSERT_TRUE(ds.AddTicks(15, 3, 127));
  ASSERT_TRUE(ds.AddTicks(15, 2, 63.5));
  EXPECT_EQ(ds.TickSum(15, 15), "5");
  EXPECT_EQ(ds.CostSum(15, 15), "508.0");
  EXPECT_EQ(ds.UnitTicks(15, 15), "4.00");
  std::vector<std::string> entries{"stale"};
  ds.DayEntries(15, 15, entries);
  EXPECT_EQ(entries, (std::vector<std::string>{"3\t127.0", "2\t63.5"}));
  EXPECT_EQ(ds.TickSum(16, 16), "0");
  EXPECT_EQ(ds.CostSum(16, 16), "0.0");
  EXPECT_EQ(ds.UnitTicks(16, 16), "0.00");
}

TEST_F(DataSet, PriceNeedingMoreDecimalsIsNotRounded) {
  TDataSetINI zero(10, 1999, Options(0));
  ASSERT_TRUE(zero.AddTicks(1, 2, 63.5));
  EXPECT_EQ(zero.CostSum(1, 1), "127");
  TDataSetINI one(10, 1999, Options(1));
  ASSERT_TRUE(one.AddTicks(2, 4, 130.25));
  EXPECT_EQ(one.CostSum(2, 2), "521.0");
  std::vector<std::string> entries;
  one.DayEntries(1, 2, entries);
  EXPECT_EQ(entries, (std::vector<std::string>{"2\t63.5", "4\t130.25"}));
}

TEST_F(DataSet, ChangedDecimalsMakeANewKeyAndBothCount) {
  ASSERT_TRUE(TDataSetINI(10, 1999, Options(1)).AddTicks(15, 1, 127));
  TDataSetINI ds(10, 1999, Options(0));
  ASSERT_TRUE(ds.AddTicks(15, 1, 127));
  std::vector<std::string> entries;
  ds.DayEntries(15, 15, entries);
  EXPECT_EQ(entries, (std::vector<std::string>{"1\t127.0", "1\t127"}));
  EXPECT_EQ(ds.TickSum(1, 31), "2");
  EXPECT_EQ(ds.CostSum(1, 31), "254");
}

TEST_F(DataSet, RangesAreOrderedAndCutToTheMonth) {
  // February: 28 days in 1999, 29 in 2000 and 2024, 28 in 1900 and 2100.
  struct Case {
    int year;
    int days;
  };
  for (const Case c :
       {Case{1999, 28}, Case{2000, 29}, Case{2024, 29}, Case{1900, 28}, Case{2100, 28}}) {
    TDataSetINI ds(2, c.year, Options());
    EXPECT_EQ(ds.DaysInMonth(), c.days);
    for (int day = 1; day <= c.days; ++day) ASSERT_TRUE(ds.AddTicks(day, 1, 127));
    EXPECT_FALSE(ds.AddTicks(c.days + 1, 1, 127));
    EXPECT_EQ(ds.TickSum(1, 31), std::to_string(c.days)) << c.year;
    EXPECT_EQ(ds.TickSum(31, 1), std::to_string(c.days)) << c.year;
    EXPECT_EQ(ds.TickSum(c.days, c.days), "1");
    EXPECT_EQ(ds.TickSum(30, 31), "1") << "first day cut to the last";
  }
  TDataSetINI oct(10, 1999, Options());
  for (int day : {4, 5, 20, 21}) ASSERT_TRUE(oct.AddTicks(day, day, 127));
  EXPECT_EQ(oct.TickSum(20, 5), "25");
  EXPECT_EQ(oct.TickSum(5, 20), "25");
  EXPECT_EQ(oct.TickSum(0, 4), "4");
  EXPECT_EQ(oct.TickSum(-3, 0), "0");
}

TEST_F(DataSet, FileFromWindowsReadsWithUnreadableNumbersAsZero) {
  std::filesystem::copy_file(test::TestDataDir() + "bill/10_1999.BOL", dir.File("10_1999.BOL"));
  TDataSetINI ds(10, 1999, Options());
  // The repeated [15/10/99] is ignored; on the 16th "abc" counts 0 ticks and the keys
  // "prezzo" and "63,5" price 0.
  EXPECT_EQ(ds.TickSum(15, 15), "47");
  EXPECT_EQ(ds.CostSum(15, 15), "5207.0");
  EXPECT_EQ(ds.TickSum(16, 16), "9");
  EXPECT_EQ(ds.CostSum(16, 16), "381.0");
  ASSERT_TRUE(ds.AddTicks(1, 1, 127));
  const std::string after = Bytes("10_1999.BOL");
  EXPECT_EQ(after.find("1000"), std::string::npos) << "repeated section dropped on rewrite";
  EXPECT_EQ(after.find("written by hand"), std::string::npos);
  EXPECT_EQ(ds.TickSum(1, 31), "57");
}

TEST_F(DataSet, FileNameFoundWithoutRegardToCase) {
  test::WriteBytes(dir.File("10_1999.bol"), "[15/10/99]\r\n127.0=3\r\n");
  TDataSetINI ds(10, 1999, Options());
  EXPECT_EQ(ds.TickSum(15, 15), "3");
  ASSERT_TRUE(ds.AddTicks(15, 1, 127));
  EXPECT_FALSE(FileExists(dir.File("10_1999.BOL")));
  EXPECT_EQ(ds.TickSum(15, 15), "4");
}

TEST_F(DataSet, FailedWriteKeepsOldMonthAndSaysWhy) {
  TDataSetINI ok(10, 1999, Options());
  ASSERT_TRUE(ok.AddTicks(15, 3, 127));
  const std::string before = Bytes("10_1999.BOL");
  BillOptions failing = Options();
  failing.write.failAfterBytes = 10;
  TDataSetINI ds(10, 1999, failing);
  const Status st = ds.AddTicks(15, 1, 127);
  ASSERT_FALSE(st);
  EXPECT_NE(st.error.find("No space left on device"), std::string::npos) << st.error;
  EXPECT_EQ(Bytes("10_1999.BOL"), before);
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    EXPECT_EQ(e.path().filename(), "10_1999.BOL") << "temporary file left behind";
}

TEST_F(DataSet, WriteDayReplacesTheSectionAndEmptyRemovesIt) {
  TDataSetINI ds(10, 1999, Options());
  ASSERT_TRUE(ds.AddTicks(15, 3, 127));
  ASSERT_TRUE(ds.AddTicks(16, 1, 127));
  ASSERT_TRUE(ds.WriteDay(15, {{"63.5", "2"}, {"127.0", "1"}, {"63.5", "4"}}));
  std::vector<std::string> entries;
  ds.DayEntries(15, 15, entries);
  EXPECT_EQ(entries, (std::vector<std::string>{"4\t63.5", "1\t127.0"}));
  ASSERT_TRUE(ds.WriteDay(15, {}));
  EXPECT_EQ(Bytes("10_1999.BOL").find("[15/10/99]"), std::string::npos);
  EXPECT_EQ(ds.TickSum(1, 31), "1");
}

TEST_F(DataSet, InvalidMonthHoldsNothing) {
  TDataSetINI ds(13, 1999, Options());
  EXPECT_FALSE(ds.Valid());
  EXPECT_FALSE(ds.AddTicks(1, 1, 127));
  EXPECT_EQ(ds.TickSum(1, 31), "0");
  EXPECT_FALSE(TDataSetINI(10, 1999, Options()).AddTicks(1, 1, std::nan("")));
}

}  // namespace orva

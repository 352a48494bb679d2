#include "bill/Bolman.h"

#include <gtest/gtest.h>

#include "TempDir.h"

namespace orva {
namespace {

class DayEditor : public ::testing::Test {
 protected:
  DayEditor() { options.directory = dir.path(); }
  TDataSetINI Month() const { return TDataSetINI(10, 1999, options); }
  test::TempDir dir;
  BillOptions options;
  BolManModel editor;
};

}  // namespace

TEST_F(DayEditor, OpensWithTheDaysEntriesAndTitle) {
  ASSERT_TRUE(Month().AddTicks(15, 3, 127));
  ASSERT_TRUE(Month().AddTicks(15, 2, 63.5));
  ASSERT_TRUE(Month().AddTicks(16, 9, 127));
  editor.Open(15, 10, 1999, options);
  EXPECT_EQ(editor.Items(), (std::vector<std::string>{"3\t127.0", "2\t63.5"}));
  EXPECT_EQ(editor.DayTitle(), "venerdì, 15 ottobre 1999");
  editor.Select(1);
  EXPECT_EQ(editor.Ed0(), "2");
  EXPECT_EQ(editor.Ed1(), "63.5");
}

TEST_F(DayEditor, AddModifyDeleteAndWriteBack) {
  ASSERT_TRUE(Month().AddTicks(15, 3, 127));
  editor.Open(15, 10, 1999, options);
  EXPECT_FALSE(editor.CanChange());
  editor.Modify();  // nothing selected: ignored
  editor.Delete();
  EXPECT_EQ(editor.Items().size(), 1u);

  editor.SetEd0("4");
  editor.SetEd1("63,5");  // decimal comma stored as a point
  editor.Add();
  editor.SetEd0("1");
  editor.SetEd1("200");
  editor.Add();
  EXPECT_EQ(editor.Items(), (std::vector<std::string>{"3\t127.0", "4\t63.5", "1\t200"}));
  editor.Select(0);
  editor.SetEd0("5");
  editor.Modify();
  editor.Select(2);
  editor.Delete();
  EXPECT_EQ(editor.Selected(), -1);
  EXPECT_EQ(editor.Ed0(), "");
  EXPECT_EQ(editor.Ed1(), "");
  ASSERT_TRUE(editor.WriteBack());
  EXPECT_EQ(Month().TickSum(15, 15), "9");
  EXPECT_EQ(Month().CostSum(15, 15), "889.0") << "63,5 is counted as 63.5, not as 0";
}

// Entries of one price are one count in the day: 36 + 4 ticks at 127 lire, however the price
// is written, are 40 ticks (5080 lire), not the 4 of the later entry.
TEST_F(DayEditor, EntriesOfTheSamePriceAreAddedTogether) {
  ASSERT_TRUE(Month().AddTicks(15, 36, 127));
  editor.Open(15, 10, 1999, options);
  for (const char* price : {"127.0", "127", "127,00"}) {
    editor.SetEd0("4");
    editor.SetEd1(price);
    ASSERT_TRUE(editor.Add());
  }
  editor.SetEd0("2");
  editor.SetEd1("63,5");
  ASSERT_TRUE(editor.Add());
  const auto entries = editor.DayEntries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].price, "127.0");
  EXPECT_EQ(entries[0].count, "48");
  EXPECT_EQ(entries[1].count, "2");
  ASSERT_TRUE(editor.WriteBack());
  EXPECT_EQ(Month().TickSum(15, 15), "50");
  // 48 x 127 + 2 x 63.5 = 6096 + 127.
  EXPECT_EQ(Month().CostSum(15, 15), "6223.0");
  // Opened again, the day shows one entry per price.
  editor.Open(15, 10, 1999, options);
  EXPECT_EQ(editor.Items(), (std::vector<std::string>{"48\t127.0", "2\t63.5"}));
}

TEST_F(DayEditor, EmptyListRemovesTheDay) {
  editor.Open(15, 10, 1999, options);
  EXPECT_TRUE(editor.Items().empty());
  ASSERT_TRUE(Month().AddTicks(15, 3, 127));
  ASSERT_TRUE(Month().AddTicks(16, 1, 127));
  editor.Open(15, 10, 1999, options);
  editor.Select(0);
  editor.Delete();
  ASSERT_TRUE(editor.WriteBack());
  const std::string file = test::ReadBytes(dir.File("10_1999.BOL"));
  EXPECT_EQ(file.find("[15/10/99]"), std::string::npos);
  EXPECT_NE(file.find("[16/10/99]"), std::string::npos);
}

TEST_F(DayEditor, AnEmptyCountOrPriceIsRefusedAndNeverReachesTheFile) {
  ASSERT_TRUE(Month().AddTicks(15, 3, 127));
  editor.Open(15, 10, 1999, options);
  EXPECT_FALSE(editor.Add());  // both empty
  editor.SetEd0("4");
  EXPECT_FALSE(editor.Add());  // no price
  editor.SetEd0("");
  editor.SetEd1("127");
  EXPECT_FALSE(editor.Add());  // no count
  editor.SetEd0(".");
  EXPECT_FALSE(editor.Add());  // no digit
  editor.Select(0);
  editor.SetEd1("");
  EXPECT_FALSE(editor.Modify());
  EXPECT_EQ(editor.Items(), std::vector<std::string>{"3\t127.0"});
  ASSERT_TRUE(editor.WriteBack());
  const std::string file = test::ReadBytes(dir.File("10_1999.BOL"));
  EXPECT_EQ(file.find("\r\n=\r\n"), std::string::npos) << file;
  EXPECT_EQ(Month().TickSum(15, 15), "3");
}

// With Valuta=Euro the day's prices read in euro and a price is typed in euro, but the bill
// file keeps lire: a count changed beside an untouched "0,07" stays at exactly 127 lire (not
// the 135.5389 of 0.07 euro), a typed 0,05 euro becomes 96.8135 lire, and a price that is no
// number is refused instead of counting as 0.
TEST_F(DayEditor, EuroPricesAreShownAndTypedInEuroAndStoredInLire) {
  ASSERT_TRUE(Month().AddTicks(15, 36, 127));
  ASSERT_TRUE(Month().AddTicks(15, 2, 63.5));
  options.currency = Currency::Euro;
  editor.Open(15, 10, 1999, options);
  EXPECT_EQ(editor.PriceHeader(), "a Euro");
  EXPECT_EQ(editor.ShownItem(0), (std::pair<std::string, std::string>{"36", "0,07"}));
  EXPECT_EQ(editor.ShownItem(1), (std::pair<std::string, std::string>{"2", "0,03"}));

  editor.Select(0);
  EXPECT_EQ(editor.Ed1(), "0,07");
  editor.SetEd0("40");
  ASSERT_TRUE(editor.Modify());
  for (const char* typed : {"0,05", "0.05"}) {
    editor.SetEd0("10");
    editor.SetEd1(typed);
    ASSERT_TRUE(editor.Add()) << typed;
  }
  for (const char* wrong : {"1,2,3", "0.0.5", ","}) {
    editor.SetEd1(wrong);
    EXPECT_TRUE(editor.PriceFaulty()) << wrong;
    EXPECT_FALSE(editor.Add()) << wrong;
  }
  EXPECT_EQ(editor.Items(),
            (std::vector<std::string>{"40\t127.0", "2\t63.5", "10\t96.8135", "10\t96.8135"}));
  ASSERT_TRUE(editor.WriteBack());
  // 40 x 127 + 2 x 63.5 + 20 x 96.8135 lire.
  EXPECT_EQ(Month().CostSum(15, 15), "7143.3");
  EXPECT_EQ(Month().TickSum(15, 15), "62");
}

// Lire as before, but a price with two separators is no number: refused, never a 0-lire tick.
TEST_F(DayEditor, ALirePriceThatIsNoNumberIsRefused) {
  editor.Open(15, 10, 1999, options);
  editor.SetEd0("3");
  editor.SetEd1("1,2.7");
  EXPECT_FALSE(editor.Add());
  EXPECT_TRUE(editor.PriceFaulty());
  editor.SetEd1("127");
  EXPECT_TRUE(editor.Add());
  EXPECT_EQ(editor.Items(), std::vector<std::string>{"3\t127"});
}

TEST_F(DayEditor, EditsTakeOnlyDigitsCommaPointAndBackspace) {
  for (char c : std::string("0123456789,.\b")) EXPECT_TRUE(BolManModel::AcceptsKey(c)) << c;
  for (char c : std::string("a-=\t \r\n+e")) EXPECT_FALSE(BolManModel::AcceptsKey(c)) << c;
  editor.SetEd1("12=3\t4\r\nx");  // pasted text cannot break the file's lines
  EXPECT_EQ(editor.Ed1(), "1234");
}

TEST_F(DayEditor, FailedWriteBackLeavesTheFileAndSaysWhy) {
  ASSERT_TRUE(Month().AddTicks(15, 3, 127));
  const std::string before = test::ReadBytes(dir.File("10_1999.BOL"));
  BillOptions failing = options;
  failing.write.failAfterBytes = 5;
  editor.Open(15, 10, 1999, failing);
  editor.Select(0);
  editor.Delete();
  const Status st = editor.WriteBack();
  EXPECT_FALSE(st);
  EXPECT_FALSE(st.error.empty());
  EXPECT_EQ(test::ReadBytes(dir.File("10_1999.BOL")), before);
}

}  // namespace orva

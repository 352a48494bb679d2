#include "setup/Associations.h"

#include <gtest/gtest.h>

#include "TempDir.h"

namespace orva {

TEST(AssociationFile, LinesReadWithDefaultsAndRoundTrip) {
  EXPECT_EQ(ParseAssociationLine("Tiscali\tTelecom urbana\t8000"),
            (AssociationRow{"Tiscali", "Telecom urbana", "8000"}));
  EXPECT_EQ(ParseAssociationLine("Libero\tT"), (AssociationRow{"Libero", "T", "10000"}));
  EXPECT_EQ(ParseAssociationLine("Libero\tT\t"), (AssociationRow{"Libero", "T", " "}));

  test::TempDir dir;
  const std::string path = dir.File("lista.ser");
  auto missing = ReadAssociationFile(path, true);
  ASSERT_TRUE(missing);
  EXPECT_TRUE(missing->empty());
  EXPECT_EQ(test::ReadBytes(path), "");  // created empty

  const std::vector<AssociationRow> rows = {{"A", "?", "10000"}, {"B c", "Tar", "500"}};
  ASSERT_TRUE(WriteAssociationFile(path, rows));
  EXPECT_EQ(test::ReadBytes(path), "A\t?\t10000\r\nB c\tTar\t500\r\n");
  EXPECT_EQ(*ReadAssociationFile(path, false), rows);
}

TEST(AssociationTable, RasAddsOnlyUnlistedEntriesByCaseInsensitivePrefix) {
  AssociationTable table({{"Tiscali Roma", "T", "10000"}});
  EXPECT_EQ(table.AddDialupEntries({"tiscali", "Libero"}), 1u);
  ASSERT_EQ(table.Rows().size(), 2u);
  EXPECT_EQ(table.Rows()[1], (AssociationRow{"Libero", "?", "10000"}));
  EXPECT_EQ(table.Selected(), 0u);
  // Every entry already listed: nothing is added.
  EXPECT_EQ(table.AddDialupEntries({"Libero", "Tiscali"}), 0u);
  EXPECT_EQ(table.Rows().size(), 2u);
}

TEST(AssociationTable, ModifyMovesTheRowToTheEndAndButtonsNeedTheirFields) {
  AssociationTable table({{"A", "T1", "1"}, {"B", "T2", "2"}, {"C", "T3", "3"}});
  EXPECT_FALSE(table.Modify("A", "T1", "9"));  // nothing selected
  table.Select(0);
  ASSERT_TRUE(table.Modify("A2", "T9", "9"));
  EXPECT_EQ(table.Rows().front().name, "B");
  EXPECT_EQ(table.Rows().back(), (AssociationRow{"A2", "T9", "9"}));
  EXPECT_EQ(table.Selected(), 2u);
  EXPECT_FALSE(table.Add("", "T", "1"));
  EXPECT_FALSE(table.Add("D", "", "1"));
  ASSERT_TRUE(table.Add("D", "T", "1"));
  EXPECT_EQ(table.Selected(), 3u);
  ASSERT_TRUE(table.Delete());
  EXPECT_EQ(table.Rows().size(), 3u);
  EXPECT_FALSE(table.Delete());
  EXPECT_TRUE(NegotiationFieldAccepts('7'));
  EXPECT_TRUE(NegotiationFieldAccepts('.'));
  EXPECT_FALSE(NegotiationFieldAccepts('a'));
}

}  // namespace orva

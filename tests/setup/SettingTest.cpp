#include "setup/Setting.h"

#include <gtest/gtest.h>

namespace orva {

TEST(SecurityPage, OptionsWaitForTheCurrentPassword) {
  EXPECT_EQ(SecurityOnOpen(false), (SecurityPageState{false, true, false, false}));
  const auto open = SecurityOnOpen(true);
  EXPECT_EQ(open, (SecurityPageState{true, false, false, false}));
  EXPECT_FALSE(SecurityOnTyped(open, "Segreto", "segreto").options);  // case-sensitive
  EXPECT_EQ(SecurityOnTyped(open, "segreto", "segreto"),
            (SecurityPageState{true, true, true, true}));
  EXPECT_FALSE(SecurityOnTyped(SecurityOnOpen(false), "", "").options);
  EXPECT_FALSE(SecurityAfterDelete().options);
}

TEST(MailboxTable, EmptiedTableIsStillWrittenAndModifyMovesToTheEnd) {
  MailboxTable none;
  EXPECT_FALSE(none.ShouldWrite());
  MailboxTable table({{"pop.a.it", 110, "u", "p", true}, {"pop.b.it", 110, "v", "q", false}});
  EXPECT_FALSE(table.Add("", 110, "x", "y"));
  table.Select(0);
  ASSERT_TRUE(table.Modify("pop.c.it", 995, "u", "p"));
  EXPECT_EQ(table.Rows().back(), (MailboxRow{"pop.c.it", 995, "u", "p", true}));
  ASSERT_TRUE(table.Add("pop.d.it", 110, "w", "r"));
  EXPECT_FALSE(table.Rows().back().enabled);
  while (!table.Rows().empty()) {
    table.Select(0);
    ASSERT_TRUE(table.Delete());
  }
  EXPECT_TRUE(table.ShouldWrite());  // the user removed every row: write the empty table
}

}  // namespace orva

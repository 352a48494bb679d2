// The cost limits of "Messaggi di avviso": typed and shown in the chosen currency, stored as
// the whole lire the warnings compare.
#include <gtest/gtest.h>

#include "setup/SetupRules.h"

namespace orva {

TEST(CostLimit, EuroTypedAreStoredAsTheRightLire) {
  struct Case {
    const char* typed;
    const char* stored;
  } cases[] = {
      {"5", "9681"},            // 9.681,35 lire
      {"5,00", "9681"},         //
      {"51,65", "100008"},      // 100.008,35 lire: rounded to the lira
      {"1.000,50", "1937238"},  // thousands grouped, decimal comma
      {"0,52", "1007"},        {"0", "0"},
  };
  for (const auto& c : cases) {
    const auto stored = CostLimitStored(c.typed, Currency::Euro);
    ASSERT_TRUE(stored) << c.typed;
    EXPECT_EQ(*stored, c.stored) << c.typed;
  }
  // Nothing usable: the old limit stays.
  for (const char* bad : {"", "abc", "-5"})
    EXPECT_FALSE(CostLimitStored(bad, Currency::Euro)) << bad;
}

TEST(CostLimit, StoredLimitShowsAsTypedAndLireAreUntouched) {
  EXPECT_EQ(CostLimitShown("9681", Currency::Euro), "5,00");
  EXPECT_EQ(CostLimitShown("100000", Currency::Euro), "51,65");
  // A limit shown and left alone keeps its lire, though its cents stand for 100.008.
  EXPECT_EQ(*CostLimitStored("51,65", Currency::Euro, "100000"), "100000");
  EXPECT_EQ(*CostLimitStored("51,66", Currency::Euro, "100000"), "100028");
  EXPECT_EQ(CostLimitShown("100000", Currency::Lire), "100000");
  EXPECT_EQ(*CostLimitStored("1000", Currency::Lire), "1000");
  EXPECT_FALSE(CostLimitStored("10,5", Currency::Lire));
}

}  // namespace orva

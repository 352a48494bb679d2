#include "tariff/Feste.h"

#include <gtest/gtest.h>

namespace orva {
namespace {

TEST(EasterSunday, KnownYearsIncludingGaussExceptions) {
  struct Case {
    int year, day, month;
  };
  const Case cases[] = {
      {2024, 31, 3}, {2000, 23, 4}, {2008, 23, 3}, {1981, 19, 4},  // d = 29, e = 6: not 26 April
      {1954, 18, 4},                                               // d = 28, e = 6: not 25 April
      {2049, 18, 4}, {1900, 15, 4}, {2099, 12, 4}, {2019, 21, 4}, {2038, 25, 4},
  };
  for (const auto& c : cases) {
    const auto e = EasterSunday(c.year);
    ASSERT_TRUE(e) << c.year;
    EXPECT_EQ(*e, (DayMonth{c.day, c.month})) << c.year;
  }
}

TEST(EasterSunday, EveryYearOfTheRangeIsASundayInSeason) {
  for (int year = 1900; year <= 2099; ++year) {
    const auto e = EasterSunday(year);
    ASSERT_TRUE(e) << year;
    const TDateTime date = EncodeDate(year, e->month, e->day);
    EXPECT_EQ(DayOfWeek(date), 1) << year;
    EXPECT_GE(date, EncodeDate(year, 3, 22)) << year;
    EXPECT_LE(date, EncodeDate(year, 4, 25)) << year;
    const auto monday = EasterMonday(year);
    ASSERT_TRUE(monday);
    EXPECT_EQ(EncodeDate(year, monday->month, monday->day), date + 1) << year;
  }
}

TEST(EasterSunday, NoDateOutsideTheRange) {
  EXPECT_FALSE(EasterSunday(1899));
  EXPECT_FALSE(EasterSunday(2100));
  EXPECT_FALSE(EasterMonday(2100));
  EXPECT_FALSE(EasterSunday(-5));
}

TEST(EasterMonday, MonthEndRollsIntoApril) {
  EXPECT_EQ(*EasterMonday(2024), (DayMonth{1, 4}));
  EXPECT_EQ(*EasterMonday(2008), (DayMonth{24, 3}));
  EXPECT_EQ(*EasterMonday(2000), (DayMonth{24, 4}));
}

TEST(IsHoliday, FixedAndEasterHolidays) {
  for (auto [d, m] :
       {std::pair{1, 1}, {6, 1}, {25, 4}, {1, 5}, {15, 8}, {1, 11}, {8, 12}, {25, 12}, {26, 12}})
    EXPECT_TRUE(IsHoliday(EncodeDate(2023, m, d))) << d << "/" << m;
  EXPECT_FALSE(IsHoliday(EncodeDate(2023, 6, 2)));
  EXPECT_FALSE(IsHoliday(EncodeDate(2023, 12, 24)));
  EXPECT_TRUE(IsHoliday(EncodeDate(2024, 3, 31)));
  EXPECT_TRUE(IsHoliday(EncodeDate(2024, 4, 1)));
  EXPECT_FALSE(IsHoliday(EncodeDate(2024, 4, 2)));
  // Last year's Easter Monday is an ordinary day this year.
  EXPECT_FALSE(IsHoliday(EncodeDate(2025, 4, 1)));
  // The time of day does not matter.
  EXPECT_TRUE(IsHoliday(EncodeDate(2024, 4, 1) + 0.99));
}

TEST(IsHoliday, YearsWithoutEasterKeepFixedHolidays) {
  EXPECT_TRUE(IsHoliday(2150, 12, 25));
  EXPECT_TRUE(IsHoliday(1850, 1, 1));
  EXPECT_FALSE(IsHoliday(2150, 4, 1));
}

}  // namespace
}  // namespace orva

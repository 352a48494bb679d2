#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/DateTime.h"
#include "platform/Numbers.h"
#include "simulation/ManualClock.h"

namespace orva {

TEST(Numbers, ParsingIsStrictAndLocaleFree) {
  EXPECT_EQ(ParseDecimal(" 62.5 "), 62.5);
  EXPECT_EQ(ParseDecimal("-1"), -1.0);
  EXPECT_FALSE(ParseDecimal("62,5"));
  EXPECT_FALSE(ParseDecimal("inf"));
  EXPECT_FALSE(ParseDecimal(""));
  EXPECT_FALSE(ParseDecimal("0x10"));
  EXPECT_EQ(ParseInteger("127"), 127);
  EXPECT_FALSE(ParseInteger("12.0"));
  EXPECT_FALSE(ParseInteger("99999999999"));
}

TEST(Numbers, FixedFormatRoundsTheDecimalForm) {
  EXPECT_EQ(FormatFixed(63.5, 0), "64");
  EXPECT_EQ(FormatFixed(130.25, 1), "130.3");
  EXPECT_EQ(FormatFixed(508, 1), "508.0");
  EXPECT_EQ(FormatFixed(0.004, 2), "0.00");
  EXPECT_EQ(FormatFixed(-0.004, 2), "0.00");
  EXPECT_EQ(FormatFixed(9.96, 1), "10.0");
  EXPECT_EQ(FormatFixed(1e-7, 3), "0.000");
  EXPECT_EQ(FormatFixed(2724, 0), "2724");
  EXPECT_EQ(FormatShortest(62.5), "62.5");
}

TEST(DateTime, EncodeDecodeAndDayOfWeek) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
  const auto d = DecodeDate(EncodeDate(2024, 2, 29) + 0.75);
  EXPECT_EQ(d.year, 2024);
  EXPECT_EQ(d.month, 2);
  EXPECT_EQ(d.day, 29);
  EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 8)), 3);  // a Tuesday
  EXPECT_EQ(ShortDayName(DayOfWeek(EncodeDate(2026, 12, 6))), "Dom");
  EXPECT_FALSE(TryEncodeDate(2023, 2, 29));
  const auto t = DecodeTime(EncodeTime(23, 59, 59, 999));
  EXPECT_EQ(t.hour * 10000 + t.minute * 100 + t.second, 235959);
}

TEST(DateTime, FixedFormats) {
  const TDateTime v = EncodeDate(1999, 9, 20) + EncodeTime(8, 5, 3);
  EXPECT_EQ(DateToStr(v), "20/09/99");
  EXPECT_EQ(TimeToStr(v), "08.05.03");
  EXPECT_EQ(FormatDateTime("hh.mm.ss", v), "08.05.03");  // mm after hh: minutes
  EXPECT_EQ(FormatDateTime("dd/mm/yyyy", v), "20/09/1999");
  EXPECT_EQ(FormatDateTime("dddd d mmmm", v), "lunedì 20 settembre");
  EXPECT_EQ(FormatDateTime("hh:nn", v), "08.05");
}

TEST(DateTime, ParsesDatesAndTimes) {
  EXPECT_EQ(StrToDate("20/09/99"), EncodeDate(1999, 9, 20));
  EXPECT_EQ(StrToDate("1/2/2026"), EncodeDate(2026, 2, 1));
  EXPECT_FALSE(StrToDate("31/02/99"));
  EXPECT_FALSE(StrToDate("20-09-99"));
  EXPECT_EQ(StrToTime("23.50.00"), EncodeTime(23, 50, 0));
  EXPECT_EQ(StrToTime("08.00"), EncodeTime(8, 0, 0));
  EXPECT_FALSE(StrToTime("24.00"));
  EXPECT_FALSE(StrToTime(""));
  EXPECT_EQ(ParseIsoDateTime("2026-12-08 10:15:30"),
            EncodeDate(2026, 12, 8) + EncodeTime(10, 15, 30));
  EXPECT_FALSE(ParseIsoDateTime("2026-13-08 10:15:30"));
}

TEST(ManualClock, FiresDueTimersInOrderAndAdvancesWallClock) {
  ManualClock clock(EncodeDate(2026, 1, 1));
  auto fast = clock.CreateTimer();
  auto slow = clock.CreateTimer();
  std::string order;
  fast->SetInterval(200);
  slow->SetInterval(500);
  fast->OnTimer = [&] { order += 'f'; };
  slow->OnTimer = [&] {
    order += 's';
    slow->SetEnabled(false);
  };
  fast->SetEnabled(true);
  slow->SetEnabled(true);
  clock.AdvanceMs(1000);
  EXPECT_EQ(order, "ffsfff");
  EXPECT_EQ(clock.TickCount(), 1000u);
  EXPECT_NEAR((clock.Now() - EncodeDate(2026, 1, 1)) * 86400, 1.0, 1e-6);
}

TEST(ManualClock, KeepsRealTimeAndShowsTheLocalClockOfTheZone) {
  // Rome, 29 March 2026: the local clock skips from 02.00 to 03.00.
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  setenv("TZ", "Europe/Rome", 1);
  tzset();
  ManualClock clock(EncodeDate(2026, 3, 29) + EncodeTime(1, 59, 59, 500));
  const std::int64_t start = clock.UtcMilliseconds();
  clock.AdvanceMs(1000);
  EXPECT_EQ(clock.UtcMilliseconds() - start, 1000);
  EXPECT_EQ(FormatIso(clock.Now()), "2026-03-29 03:00:00");
  EXPECT_EQ(DecodeTime(clock.Now()).msec, 500);
  // Setting the clock takes a local date-time; 25 October has 01.30 to 02.59 twice, the
  // second time an hour of real time later.
  clock.SetNow(EncodeDate(2026, 10, 25) + EncodeTime(1, 30, 0));
  const std::int64_t autumn = clock.UtcMilliseconds();
  clock.AdvanceMs(2 * 3600 * 1000);
  EXPECT_EQ(FormatIso(clock.Now()), "2026-10-25 02:30:00");
  EXPECT_EQ(UtcMsFromLocal(EncodeDate(2026, 10, 25) + EncodeTime(1, 30, 0)), autumn);
  if (old)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

}  // namespace orva

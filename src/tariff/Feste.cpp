// The holiday calendar.
#include "tariff/Feste.h"

namespace orva {
namespace {

constexpr DayMonth kFixedHolidays[] = {
    {1, 1}, {6, 1}, {25, 4}, {1, 5}, {15, 8}, {1, 11}, {8, 12}, {25, 12}, {26, 12},
};

}  // namespace

std::optional<DayMonth> EasterSunday(int year) {
  if (year < 1900 || year > 2099) return std::nullopt;
  const int a = year % 19;
  const int b = year % 4;
  const int c = year % 7;
  const int d = (19 * a + 24) % 30;
  const int e = (2 * b + 4 * c + 6 * d + 5) % 7;
  int s = d + e;
  // Gauss's two exceptions: Easter never falls on 26 April, nor on 25 April in these years.
  if (e == 6 && d >= 28) s -= 7;
  if (s <= 9) return DayMonth{s + 22, 3};
  return DayMonth{s - 9, 4};
}

std::optional<DayMonth> EasterMonday(int year) {
  const auto sunday = EasterSunday(year);
  if (!sunday) return std::nullopt;
  if (sunday->day == 31 && sunday->month == 3) return DayMonth{1, 4};
  return DayMonth{sunday->day + 1, sunday->month};
}

bool IsHoliday(int year, int month, int day) {
  const DayMonth date{day, month};
  for (const auto& h : kFixedHolidays)
    if (h == date) return true;
  // Easter falls between 22 March and 25 April: other months need no computation.
  if (month != 3 && month != 4) return false;
  const auto sunday = EasterSunday(year);
  if (sunday && *sunday == date) return true;
  const auto monday = EasterMonday(year);
  return monday && *monday == date;
}

bool IsHoliday(TDateTime date) {
  const DateParts d = DecodeDate(date);
  return IsHoliday(d.year, d.month, d.day);
}

}  // namespace orva

// The holiday calendar: nine holidays on fixed dates plus Easter Sunday and Easter Monday.
// A holiday is priced as "Festiva" whatever its weekday.
#pragma once

#include <optional>

#include "platform/DateTime.h"

namespace orva {

struct DayMonth {
  int day = 0, month = 0;
  bool operator==(const DayMonth&) const = default;
};

// Easter Sunday by Gauss's rule with the constants of 1900-2099; none for any other year.
std::optional<DayMonth> EasterSunday(int year);
// The day after Easter Sunday; none outside 1900-2099.
std::optional<DayMonth> EasterMonday(int year);

// True for the fixed holidays and for Easter Sunday and Monday of the date's year. Years
// without an Easter date keep only the fixed holidays.
bool IsHoliday(TDateTime date);
bool IsHoliday(int year, int month, int day);

}  // namespace orva

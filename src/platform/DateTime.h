// Date-time values: double days since 1899-12-30, local time, the fraction the time of day.
// Formats are the program's fixed ones whatever the locale: short date "dd/mm/yy", time
// separator ".", Italian day and month names.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace orva {

using TDateTime = double;

constexpr double kSecondsPerDay = 86400.0;
constexpr double kOneSecond = 1.0 / kSecondsPerDay;

struct DateParts {
  int year = 1899, month = 12, day = 30;
};
struct TimeParts {
  int hour = 0, minute = 0, second = 0, msec = 0;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
bool IsValidDate(int year, int month, int day);

// None for an invalid date or time.
std::optional<TDateTime> TryEncodeDate(int year, int month, int day);
std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int msec = 0);
// Callers that have valid parts.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec = 0);

// The whole days (date part) and the time of day part of a value.
TDateTime DatePart(TDateTime value);
TDateTime TimePart(TDateTime value);
DateParts DecodeDate(TDateTime value);
TimeParts DecodeTime(TDateTime value);

// 1 = Sunday … 7 = Saturday.
int DayOfWeek(TDateTime value);
// "Dom" … "Sab" and "domenica" … "sabato" for 1..7; "gennaio" … "dicembre" for 1..12.
std::string ShortDayName(int dayOfWeek);
std::string LongDayName(int dayOfWeek);
std::string LongMonthName(int month);
std::string ShortMonthName(int month);

// Formats with the patterns the program uses: d dd ddd dddd m mm mmm mmmm yy yyyy h hh n nn
// s ss z zzz, "/" (date separator "/"), ":" (time separator "."), text in quotes kept.
// "mm" or "m" right after an hour field means minutes.
std::string FormatDateTime(std::string_view pattern, TDateTime value);
std::string DateToStr(TDateTime value);      // "dd/mm/yy"
std::string TimeToStr(TDateTime value);      // "hh.mm.ss"
std::string DateTimeToStr(TDateTime value);  // "dd/mm/yy hh.mm.ss" (time left out at 00.00.00)

// "d/m/yy" or "d/m/yyyy" (two-digit years: 00-49 are 2000s, 50-99 1900s); none when invalid.
std::optional<TDateTime> StrToDate(std::string_view text);
// "h.mm" or "h.mm.ss" (also with ":"); none when invalid.
std::optional<TDateTime> StrToTime(std::string_view text);

// Conversions with the system's local time (the C library's zone data).
TDateTime FromTimeT(std::time_t t, int msec = 0);
std::time_t ToTimeT(TDateTime local);
// The same with milliseconds since 1970-01-01 00:00 UTC: real time, which does not jump when
// daylight saving starts or ends. A local time the clocks skip counts as the time after the
// change; one they go through twice as either of the two.
TDateTime LocalFromUtcMs(std::int64_t utcMs);
std::int64_t UtcMsFromLocal(TDateTime local);

// A span of whole seconds as "hh.mm.ss": the hours keep counting past 24 ("25.00.10"), at
// least two digits; a negative span is "00.00.00".
std::string FormatDuration(long long seconds);
// Reads "h.mm.ss" or "h.mm" (also with ":") back into seconds: up to six hour digits,
// minutes and seconds below 60. None for anything else.
std::optional<long long> ParseDuration(std::string_view text);
// "YYYY-MM-DD hh:mm:ss" or "YYYY-MM-DD" (the command-line tool's form).
std::optional<TDateTime> ParseIsoDateTime(std::string_view text);
std::string FormatIso(TDateTime value);  // "YYYY-MM-DD hh:mm:ss"

}  // namespace orva

// The date-time arithmetic and formats.
#include "platform/DateTime.h"

#include <array>
#include <cmath>

#include "platform/Numbers.h"

namespace orva {
namespace {

constexpr std::array<const char*, 7> kShortDays = {"Dom", "Lun", "Mar", "Mer", "Gio", "Ven", "Sab"};
constexpr std::array<const char*, 7> kLongDays = {"domenica", "lunedì",  "martedì", "mercoledì",
                                                  "giovedì",  "venerdì", "sabato"};
constexpr std::array<const char*, 12> kLongMonths = {
    "gennaio", "febbraio", "marzo",     "aprile",  "maggio",   "giugno",
    "luglio",  "agosto",   "settembre", "ottobre", "novembre", "dicembre"};
constexpr std::array<const char*, 12> kShortMonths = {"gen", "feb", "mar", "apr", "mag", "giu",
                                                      "lug", "ago", "set", "ott", "nov", "dic"};

// Days from 1970-01-01 of a civil date (proleptic Gregorian).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

DateParts CivilFromDays(long long z) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long y = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp + (mp < 10 ? 3 : -9);
  return DateParts{static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

constexpr long long kEpochOffset = 25569;  // 1970-01-01 as days since 1899-12-30

// Whole milliseconds of the day, rounded, and the day it belongs to.
void SplitValue(TDateTime value, long long& day, long long& ms) {
  if (!std::isfinite(value)) value = 0;
  day = static_cast<long long>(std::floor(value));
  ms = std::llround((value - static_cast<double>(day)) * 86400000.0);
  if (ms >= 86400000) {
    ++day;
    ms -= 86400000;
  }
}

std::string Pad(int v, int width) {
  const std::string s = std::to_string(v);
  if (static_cast<int>(s.size()) >= width) return s;
  return std::string(static_cast<std::size_t>(width) - s.size(), '0') + s;
}

}  // namespace

bool IsLeapYear(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month);
}

std::optional<TDateTime> TryEncodeDate(int year, int month, int day) {
  if (!IsValidDate(year, month, day)) return std::nullopt;
  return static_cast<double>(
      DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kEpochOffset);
}

std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int msec) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 ||
      msec > 999)
    return std::nullopt;
  return (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + msec) / 86400000.0;
}

TDateTime EncodeDate(int year, int month, int day) {
  return TryEncodeDate(year, month, day).value_or(0.0);
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
  return TryEncodeTime(hour, minute, second, msec).value_or(0.0);
}

TDateTime DatePart(TDateTime value) {
  long long day, ms;
  SplitValue(value, day, ms);
  return static_cast<double>(day);
}

TDateTime TimePart(TDateTime value) {
  return value - std::floor(value);
}

DateParts DecodeDate(TDateTime value) {
  long long day, ms;
  SplitValue(value, day, ms);
  return CivilFromDays(day - kEpochOffset);
}

TimeParts DecodeTime(TDateTime value) {
  long long day, ms;
  SplitValue(value, day, ms);
  TimeParts t;
  t.hour = static_cast<int>(ms / 3600000);
  t.minute = static_cast<int>(ms / 60000 % 60);
  t.second = static_cast<int>(ms / 1000 % 60);
  t.msec = static_cast<int>(ms % 1000);
  return t;
}

int DayOfWeek(TDateTime value) {
  long long day, ms;
  SplitValue(value, day, ms);
  // 1899-12-30 was a Saturday (7).
  long long r = (day + 6) % 7;
  if (r < 0) r += 7;
  return static_cast<int>(r) + 1;
}

std::string ShortDayName(int d) {
  return d >= 1 && d <= 7 ? kShortDays[d - 1] : "";
}
std::string LongDayName(int d) {
  return d >= 1 && d <= 7 ? kLongDays[d - 1] : "";
}
std::string LongMonthName(int m) {
  return m >= 1 && m <= 12 ? kLongMonths[m - 1] : "";
}
std::string ShortMonthName(int m) {
  return m >= 1 && m <= 12 ? kShortMonths[m - 1] : "";
}

std::string FormatDateTime(std::string_view p, TDateTime value) {
  const DateParts d = DecodeDate(value);
  const TimeParts t = DecodeTime(value);
  std::string out;
  bool afterHour = false;
  std::size_t i = 0;
  auto run = [&](char c) {
    std::size_t n = 0;
    while (i + n < p.size() && (p[i + n] | 0x20) == c) ++n;
    return n;
  };
  while (i < p.size()) {
    const char c = p[i];
    const char lc = static_cast<char>(c | 0x20);
    if (c == '"' || c == '\'') {
      const auto end = p.find(c, i + 1);
      out.append(
          p.substr(i + 1, end == std::string_view::npos ? std::string_view::npos : end - i - 1));
      i = end == std::string_view::npos ? p.size() : end + 1;
      continue;
    }
    if (lc == 'd') {
      const std::size_t n = run('d');
      i += n;
      if (n == 1)
        out += std::to_string(d.day);
      else if (n == 2)
        out += Pad(d.day, 2);
      else if (n == 3)
        out += ShortDayName(DayOfWeek(value));
      else
        out += LongDayName(DayOfWeek(value));
      afterHour = false;
    } else if (lc == 'm') {
      const std::size_t n = run('m');
      i += n;
      if (afterHour && n <= 2) {
        out += n == 1 ? std::to_string(t.minute) : Pad(t.minute, 2);
      } else if (n == 1) {
        out += std::to_string(d.month);
      } else if (n == 2) {
        out += Pad(d.month, 2);
      } else if (n == 3) {
        out += ShortMonthName(d.month);
      } else {
        out += LongMonthName(d.month);
      }
      afterHour = false;
    } else if (lc == 'y') {
      const std::size_t n = run('y');
      i += n;
      out += n <= 2 ? Pad(d.year % 100, 2) : Pad(d.year, 4);
    } else if (lc == 'h') {
      const std::size_t n = run('h');
      i += n;
      out += n == 1 ? std::to_string(t.hour) : Pad(t.hour, 2);
      afterHour = true;
    } else if (lc == 'n') {
      const std::size_t n = run('n');
      i += n;
      out += n == 1 ? std::to_string(t.minute) : Pad(t.minute, 2);
    } else if (lc == 's') {
      const std::size_t n = run('s');
      i += n;
      out += n == 1 ? std::to_string(t.second) : Pad(t.second, 2);
    } else if (lc == 'z') {
      const std::size_t n = run('z');
      i += n;
      out += n == 1 ? std::to_string(t.msec) : Pad(t.msec, 3);
    } else if (c == ':') {
      out += '.';
      ++i;
    } else {
      out += c;
      ++i;
    }
  }
  return out;
}

std::string DateToStr(TDateTime value) {
  return FormatDateTime("dd/mm/yy", value);
}
std::string TimeToStr(TDateTime value) {
  return FormatDateTime("hh.nn.ss", value);
}
std::string DateTimeToStr(TDateTime value) {
  const std::string date = DateToStr(value);
  if (TimePart(value) == 0) return date;
  return date + " " + TimeToStr(value);
}

namespace {

bool SplitNumbers(std::string_view text, std::string_view seps, int* out, int maxParts,
                  int& parts) {
  parts = 0;
  std::size_t i = 0;
  while (i <= text.size()) {
    std::size_t j = i;
    while (j < text.size() && seps.find(text[j]) == std::string_view::npos) ++j;
    if (parts == maxParts) return false;
    const auto field = text.substr(i, j - i);
    if (field.empty() || field.size() > 4) return false;
    for (char c : field)
      if (c < '0' || c > '9') return false;
    out[parts++] = *ParseInteger(field);
    if (j == text.size()) break;
    i = j + 1;
  }
  return true;
}

}  // namespace

std::optional<TDateTime> StrToDate(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  int v[3], n = 0;
  if (!SplitNumbers(text, "/", v, 3, n) || n != 3) return std::nullopt;
  int year = v[2];
  const auto yearText = text.substr(text.rfind('/') + 1);
  if (yearText.size() <= 2) year += year < 50 ? 2000 : 1900;
  return TryEncodeDate(year, v[1], v[0]);
}

std::optional<TDateTime> StrToTime(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  int v[3], n = 0;
  if (!SplitNumbers(text, ".:", v, 3, n) || n < 2) return std::nullopt;
  return TryEncodeTime(v[0], v[1], n == 3 ? v[2] : 0);
}

TDateTime FromTimeT(std::time_t t, int msec) {
  std::tm tm{};
  localtime_r(&t, &tm);
  // The day counted directly: a moment past the year 9999 stays that moment (which a bill
  // can refuse), not the day 0 of an invalid date.
  const auto day =
      DaysFromCivil(static_cast<long long>(tm.tm_year) + 1900, static_cast<unsigned>(tm.tm_mon + 1),
                    static_cast<unsigned>(tm.tm_mday)) +
      kEpochOffset;
  return static_cast<double>(day) + EncodeTime(tm.tm_hour, tm.tm_min, tm.tm_sec, msec);
}

std::time_t ToTimeT(TDateTime local) {
  const DateParts d = DecodeDate(local);
  const TimeParts t = DecodeTime(local);
  std::tm tm{};
  tm.tm_year = d.year - 1900;
  tm.tm_mon = d.month - 1;
  tm.tm_mday = d.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

TDateTime LocalFromUtcMs(std::int64_t utcMs) {
  // Floor division: the milliseconds of a moment before 1970 count forwards too.
  std::int64_t seconds = utcMs / 1000, ms = utcMs % 1000;
  if (ms < 0) ms += 1000, --seconds;
  return FromTimeT(static_cast<std::time_t>(seconds), static_cast<int>(ms));
}

std::int64_t UtcMsFromLocal(TDateTime local) {
  long long day, ms;
  SplitValue(local, day, ms);
  const TDateTime wholeSeconds =
      static_cast<double>(day) + static_cast<double>(ms / 1000) / 86400.0;
  return static_cast<std::int64_t>(ToTimeT(wholeSeconds)) * 1000 + ms % 1000;
}

std::string FormatDuration(long long seconds) {
  if (seconds < 0) seconds = 0;
  const long long h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
  return (h < 10 ? "0" : "") + std::to_string(h) + "." + Pad(static_cast<int>(m), 2) + "." +
         Pad(static_cast<int>(s), 2);
}

std::optional<long long> ParseDuration(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  long long parts[3] = {0, 0, 0};
  int n = 0;
  std::size_t i = 0;
  while (true) {
    if (n == 3) return std::nullopt;
    std::size_t j = i;
    while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
    const std::size_t digits = j - i;
    // Hours take up to six digits; minutes and seconds up to four, as a time of day reads.
    if (digits == 0 || digits > (n == 0 ? 6u : 4u)) return std::nullopt;
    long long v = 0;
    for (std::size_t k = i; k < j; ++k) v = v * 10 + (text[k] - '0');
    parts[n++] = v;
    if (j == text.size()) break;
    if (text[j] != '.' && text[j] != ':') return std::nullopt;
    i = j + 1;
  }
  if (n < 2 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
  return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

std::optional<TDateTime> ParseIsoDateTime(std::string_view text) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  auto num = [&](std::size_t pos, std::size_t len, int& out) {
    if (pos + len > text.size()) return false;
    const auto v = ParseInteger(text.substr(pos, len));
    if (!v) return false;
    for (char c : text.substr(pos, len))
      if (c < '0' || c > '9') return false;
    out = *v;
    return true;
  };
  if (!num(0, 4, y) || text.size() < 10 || text[4] != '-' || !num(5, 2, mo) || text[7] != '-' ||
      !num(8, 2, d))
    return std::nullopt;
  if (text.size() > 10) {
    if (text.size() != 19 || (text[10] != ' ' && text[10] != 'T') || !num(11, 2, h) ||
        text[13] != ':' || !num(14, 2, mi) || text[16] != ':' || !num(17, 2, s))
      return std::nullopt;
  }
  const auto date = TryEncodeDate(y, mo, d);
  const auto time = TryEncodeTime(h, mi, s);
  if (!date || !time) return std::nullopt;
  return *date + *time;
}

std::string FormatIso(TDateTime value) {
  const DateParts d = DecodeDate(value);
  const TimeParts t = DecodeTime(value);
  return Pad(d.year, 4) + "-" + Pad(d.month, 2) + "-" + Pad(d.day, 2) + " " + Pad(t.hour, 2) + ":" +
         Pad(t.minute, 2) + ":" + Pad(t.second, 2);
}

}  // namespace orva

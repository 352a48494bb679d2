// Totals of a selection of log rows.
#include "log/LogTotals.h"

#include <cmath>
#include <optional>

#include "core/HowUtils.h"
#include "platform/DateTime.h"
#include "platform/Numbers.h"

namespace orva {
namespace {

// Sums saturate instead of overflowing on absurd counts in a hand-edited file.
void AddSaturated(long long& sum, long long v) {
  if (__builtin_add_overflow(sum, v, &sum)) sum = v > 0 ? INT64_MAX : INT64_MIN;
}

// "h.mm.ss" (or "h.mm") as whole seconds; none when the text is not a time.
std::optional<long long> DurationSeconds(std::string_view text) {
  const auto t = StrToTime(text);
  if (!t) return std::nullopt;
  return std::llround(*t * kSecondsPerDay);
}

std::string TwoDigits(long long v) {
  std::string s = std::to_string(v);
  return s.size() < 2 ? "0" + s : s;
}

}  // namespace

std::optional<long long> ParseByteCount(std::string_view text) {
  char buf[32];
  std::size_t n = 0;
  for (char c : text) {
    if (c == '.') continue;
    if (n == sizeof buf) return std::nullopt;
    buf[n++] = c;
  }
  return ParseInteger64(std::string_view(buf, n));
}

std::string FormatKilobytes(long long bytes) {
  const bool negative = bytes < 0;
  const unsigned __int128 magnitude = negative ? static_cast<unsigned __int128>(-(bytes + 1)) + 1
                                               : static_cast<unsigned __int128>(bytes);
  // Hundredths of a kilobyte, rounded half up.
  const unsigned __int128 hundredths = (magnitude * 100 + 512) / 1024;
  const auto whole = static_cast<long long>(hundredths / 100);
  const auto cents = static_cast<int>(hundredths % 100);
  std::string out = negative && hundredths != 0 ? "-" : "";
  out += GroupInteger(whole);
  out += ',';
  out += static_cast<char>('0' + cents / 10);
  out += static_cast<char>('0' + cents % 10);
  out += " Kb";
  return out;
}

std::string FormatKilobyteCell(std::string_view text) {
  const auto v = ParseByteCount(text);
  return v ? FormatKilobytes(*v) : std::string(text);
}

LogTotals ComputeLogTotals(const std::vector<TConnObj>& records, const std::vector<bool>& selected,
                           int decimals, double vatRate) {
  long long rows = 0, seconds = 0, ticks = 0, received = 0, sent = 0, speedSum = 0, speedCount = 0;
  double cost = 0;
  for (std::size_t i = 0; i < records.size() && i < selected.size(); ++i) {
    if (!selected[i]) continue;
    const TConnObj& r = records[i];
    ++rows;
    if (const auto s = DurationSeconds(r.Duration())) AddSaturated(seconds, *s);
    if (const auto t = ParseInteger64(r.Ticks())) AddSaturated(ticks, *t);
    if (const auto c = ParseDecimal(r.Cost())) cost += *c;
    if (const auto b = ParseInteger64(r.Bps())) {
      AddSaturated(speedSum, *b);
      ++speedCount;
    }
    if (const auto v = ParseByteCount(r.Received())) AddSaturated(received, *v);
    if (const auto v = ParseByteCount(r.Sent())) AddSaturated(sent, *v);
  }
  LogTotals out;
  out.rows = std::to_string(rows) + "/" + std::to_string(records.size());
  if (seconds < 0) seconds = 0;
  out.duration = TwoDigits(seconds / 3600) + "." + TwoDigits(seconds / 60 % 60) + "." +
                 TwoDigits(seconds % 60);
  out.ticks = std::to_string(ticks);
  out.cost = FormatFixed(cost, decimals);
  if (speedCount == 0) {
    out.bps = "0";
  } else {
    const double average = static_cast<double>(speedSum) / static_cast<double>(speedCount);
    out.bps = FormatFixed(average, average == std::floor(average) ? 0 : 1);
  }
  out.received = FormatKilobytes(received);
  out.sent = FormatKilobytes(sent);
  out.total = "TOT.L." + FormatFixed(cost * (1 + vatRate), decimals);
  return out;
}

LogTotals ComputeLogTotals(const std::vector<TConnObj>& records, int decimals, double vatRate) {
  return ComputeLogTotals(records, std::vector<bool>(records.size(), true), decimals, vatRate);
}

}  // namespace orva

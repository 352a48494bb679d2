// Totals of a selection of log rows.
#include "log/LogTotals.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <thread>

#include "core/Amounts.h"
#include "core/HowUtils.h"
#include "log/LogCost.h"
#include "log/LogFile.h"
#include "platform/DateTime.h"
#include "platform/Numbers.h"

namespace orva {
namespace {

// Sums saturate instead of overflowing on absurd counts in a hand-edited file.
void AddSaturated(long long& sum, long long v) {
  if (__builtin_add_overflow(sum, v, &sum)) sum = v > 0 ? INT64_MAX : INT64_MIN;
}

// Any other shape: blanks, a sign, the grouping.
[[gnu::noinline]] std::optional<long long> IntegerSlow(std::string_view text, char skip) {
  if (skip == '\0') return ParseInteger64(text);
  std::string copy;
  for (const char c : text)
    if (c != skip) copy.push_back(c);
  return ParseInteger64(copy);
}

// Plain digits (the common case) read without the general parser; `skip` is a character
// left out (the "." grouping of byte counts).
std::optional<long long> Integer(std::string_view text, char skip = '\0') {
  if (text.size() - 1 < 18) {
    unsigned long long v = 0;
    const char* p = text.data();
    const char* const end = p + text.size();
    for (; p != end; ++p) {
      const unsigned d = static_cast<unsigned char>(*p) - unsigned{'0'};
      if (d > 9) break;
      v = v * 10 + d;
    }
    if (p == end) return static_cast<long long>(v);
  }
  return IntegerSlow(text, skip);
}

// A duration as the meter writes it ("00.01.30") read without the general parser.
std::optional<long long> DurationSeconds(std::string_view t) {
  auto digit = [&](std::size_t i) { return t[i] >= '0' && t[i] <= '9'; };
  if (t.size() == 8 && digit(0) && digit(1) && digit(3) && digit(4) && digit(6) && digit(7) &&
      t[2] == t[5] && (t[2] == '.' || t[2] == ':') && t[3] <= '5' && t[6] <= '5')
    return ((t[0] - '0') * 10 + (t[1] - '0')) * 3600 + ((t[3] - '0') * 10 + (t[4] - '0')) * 60 +
           (t[6] - '0') * 10 + (t[7] - '0');
  return ParseDuration(t);
}

// A cost of plain digits with at most six decimals after a point or comma, in millionths of a
// lira; none for any other shape (the general parser reads it).
std::optional<long long> CostMillionths(std::string_view t) {
  const bool negative = !t.empty() && t.front() == '-';
  if (negative) t.remove_prefix(1);
  long long whole = 0, fraction = 0;
  std::size_t i = 0;
  for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) whole = whole * 10 + (t[i] - '0');
  // Fifteen digits stay below the bound of an amount.
  if (i == 0 || i > 15) return std::nullopt;
  int scale = 1000000;
  if (i < t.size()) {
    if (t[i] != '.' && t[i] != ',') return std::nullopt;
    const std::size_t decimals = t.size() - i - 1;
    if (decimals == 0 || decimals > 6) return std::nullopt;
    for (++i; i < t.size(); ++i) {
      if (t[i] < '0' || t[i] > '9') return std::nullopt;
      fraction = fraction * 10 + (t[i] - '0');
      scale /= 10;
    }
  }
  const long long v = whole * 1000000 + fraction * scale;
  return negative ? -v : v;
}

std::string TwoDigits(long long v) {
  std::string s = std::to_string(v);
  return s.size() < 2 ? "0" + s : s;
}

}  // namespace

std::optional<long long> ParseByteCount(std::string_view text) {
  return Integer(text, '.');
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

void LogTotalsAccumulator::Add(const TConnObj::Fields& r) {
  ++m_rows;
  // Calls of a day or more carry their whole hours ("25.00.10").
  if (const auto s = DurationSeconds(r[3])) AddSaturated(m_seconds, *s);
  if (const auto t = Integer(r[5])) AddSaturated(m_ticks, *t);
  // Costs as written are summed exactly, so the sum does not depend on the order of the rows.
  if (const auto c = CostMillionths(r[6]))
    m_costMillionths += *c;
  else if (const auto d = ParseLogCost(r[6]))
    m_costOther = AddAmount(m_costOther, *d);
  if (const auto b = Integer(r[7])) {
    AddSaturated(m_speedSum, *b);
    ++m_speedCount;
  }
  if (const auto v = ParseByteCount(r[8])) AddSaturated(m_received, *v);
  if (const auto v = ParseByteCount(r[9])) AddSaturated(m_sent, *v);
}

void LogTotalsAccumulator::Add(const LogTotalsAccumulator& o) {
  m_rows += o.m_rows;
  AddSaturated(m_seconds, o.m_seconds);
  AddSaturated(m_ticks, o.m_ticks);
  m_costMillionths += o.m_costMillionths;
  m_costOther = AddAmount(m_costOther, o.m_costOther);
  AddSaturated(m_speedSum, o.m_speedSum);
  m_speedCount += o.m_speedCount;
  AddSaturated(m_received, o.m_received);
  AddSaturated(m_sent, o.m_sent);
}

double LogTotalsAccumulator::Cost() const {
  // The sum stops at the bound.
  return AddAmount(static_cast<double>(m_costMillionths) / 1e6, m_costOther);
}

Status SumLogFile(const std::string& path, LogTotalsAccumulator& sum) {
  // A piece of the file per processor, summed side by side; each sum on its own cache line,
  // or the threads would take the line from each other at every row (twice the time).
  struct alignas(64) Part {
    LogTotalsAccumulator sum;
  };
  std::vector<Part> parts(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
  const Status s = ForEachLogRecordInFileSplit(
      path, parts.size(),
      [&parts](std::size_t part, const TConnObj::Fields& row) { parts[part].sum.Add(row); });
  for (const Part& p : parts) sum.Add(p.sum);
  return s;
}

std::optional<double> LogTotalsAccumulator::AverageBps() const {
  if (m_speedCount == 0) return std::nullopt;
  return static_cast<double>(m_speedSum) / static_cast<double>(m_speedCount);
}

LogTotals LogTotalsAccumulator::Result(std::size_t allRows, int decimals, double vatRate,
                                       Currency currency) const {
  LogTotals out;
  out.rows = std::to_string(m_rows) + "/" + std::to_string(allRows);
  const long long seconds = Seconds();
  out.duration = TwoDigits(seconds / 3600) + "." + TwoDigits(seconds / 60 % 60) + "." +
                 TwoDigits(seconds % 60);
  out.ticks = std::to_string(m_ticks);
  const double cost = Cost();
  out.cost =
      currency == Currency::Lire ? FormatFixed(cost, decimals) : FormatAmountNumber(cost, currency);
  if (const auto average = AverageBps())
    out.bps = FormatFixed(*average, *average == std::floor(*average) ? 0 : 1);
  else
    out.bps = "0";
  out.received = FormatKilobytes(m_received);
  out.sent = FormatKilobytes(m_sent);
  out.total = currency == Currency::Lire ? "TOT.L." + FormatFixed(cost * (1 + vatRate), decimals)
                                         : "TOT." + FormatAmount(cost * (1 + vatRate), currency);
  return out;
}

LogTotals ComputeLogTotals(const std::vector<TConnObj>& records, const std::vector<bool>& selected,
                           int decimals, double vatRate, Currency currency) {
  LogTotalsAccumulator sum;
  for (std::size_t i = 0; i < records.size() && i < selected.size(); ++i)
    if (selected[i]) sum.Add(records[i].AllFields());
  return sum.Result(records.size(), decimals, vatRate, currency);
}

LogTotals ComputeLogTotals(const std::vector<TConnObj>& records, int decimals, double vatRate,
                           Currency currency) {
  return ComputeLogTotals(records, std::vector<bool>(records.size(), true), decimals, vatRate,
                          currency);
}

}  // namespace orva

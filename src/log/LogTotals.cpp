// Totals of a selection of log rows.
#include "log/LogTotals.h"

#include <cmath>
#include <optional>

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

// Plain digits (the common case) read without the general parser.
std::optional<long long> Integer(std::string_view text) {
  if (!text.empty() && text.size() <= 18) {
    long long v = 0;
    bool digits = true;
    for (char c : text) {
      if (c < '0' || c > '9') {
        digits = false;
        break;
      }
      v = v * 10 + (c - '0');
    }
    if (digits) return v;
  }
  return ParseInteger64(text);
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
  return Integer(std::string_view(buf, n));
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
  if (const auto s = ParseDuration(r[3])) AddSaturated(m_seconds, *s);
  if (const auto t = Integer(r[5])) AddSaturated(m_ticks, *t);
  // The sum stops at the bound.
  if (const auto c = ParseLogCost(r[6])) m_cost = AddAmount(m_cost, *c);
  if (const auto b = Integer(r[7])) {
    AddSaturated(m_speedSum, *b);
    ++m_speedCount;
  }
  if (const auto v = ParseByteCount(r[8])) AddSaturated(m_received, *v);
  if (const auto v = ParseByteCount(r[9])) AddSaturated(m_sent, *v);
}

Status SumLogFile(const std::string& path, LogTotalsAccumulator& sum) {
  return ForEachLogRecordInFile(path, [&sum](const TConnObj::Fields& row) { sum.Add(row); });
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
  out.cost = currency == Currency::Lire ? FormatFixed(m_cost, decimals)
                                        : FormatAmountNumber(m_cost, currency);
  if (const auto average = AverageBps())
    out.bps = FormatFixed(*average, *average == std::floor(*average) ? 0 : 1);
  else
    out.bps = "0";
  out.received = FormatKilobytes(m_received);
  out.sent = FormatKilobytes(m_sent);
  out.total = currency == Currency::Lire ? "TOT.L." + FormatFixed(m_cost * (1 + vatRate), decimals)
                                         : "TOT." + FormatAmount(m_cost * (1 + vatRate), currency);
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

// The totals of the selected log rows, as the bottom header of the log window shows them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Currency.h"
#include "log/ConnObj.h"
#include "platform/Result.h"

namespace orva {

struct LogTotals {
  std::string rows;      // section 0: "selected/all"
  std::string duration;  // section 4: hours (two digits at least, no wrap).minutes.seconds
  std::string ticks;     // section 6: sum of the integer tick counts
  std::string cost;      // section 7: sum of the numeric costs, "Cifre decimali" decimals
                         // in lire, cents in euro
  std::string bps;       // section 8: average of the integer speeds ("0" without any)
  std::string received;  // section 9: kilobytes, "1,50 Kb"
  std::string sent;      // section 10
  std::string total;     // section 11: "TOT.L." (or "TOT.€ ") + cost with VAT
};

// The totals built one row at a time: the log window sums its selection, the command line
// sums a log as it reads it.
class LogTotalsAccumulator {
 public:
  void Add(const TConnObj::Fields& row);
  void Add(const TConnObj& row) { Add(row.AllFields()); }
  // The rows another accumulator summed.
  void Add(const LogTotalsAccumulator& other);
  // The texts, with `allRows` after the "/" of the first section.
  LogTotals Result(std::size_t allRows, int decimals, double vatRate,
                   Currency currency = Currency::Lire) const;
  long long Rows() const { return m_rows; }
  // The sums as numbers: seconds, ticks, lire without VAT, bytes; the average speed of the
  // rows that carry one, none when no row does.
  long long Seconds() const { return m_seconds < 0 ? 0 : m_seconds; }
  long long Ticks() const { return m_ticks; }
  double Cost() const;
  long long Received() const { return m_received; }
  long long Sent() const { return m_sent; }
  std::optional<double> AverageBps() const;

 private:
  long long m_rows = 0, m_seconds = 0, m_ticks = 0, m_received = 0, m_sent = 0, m_speedSum = 0,
            m_speedCount = 0;
  // Costs of plain decimals in millionths of a lira, exactly; any other shape beside.
  __int128 m_costMillionths = 0;
  double m_costOther = 0;
};

// The totals of every row of a log file, read a block at a time (memory of a few blocks
// whatever the file's size).
Status SumLogFile(const std::string& path, LogTotalsAccumulator& sum);

// `selected` holds one flag per record (missing flags count as not selected).
LogTotals ComputeLogTotals(const std::vector<TConnObj>& records, const std::vector<bool>& selected,
                           int decimals, double vatRate, Currency currency = Currency::Lire);
// Every row selected.
LogTotals ComputeLogTotals(const std::vector<TConnObj>& records, int decimals, double vatRate,
                           Currency currency = Currency::Lire);

// A byte count in kilobytes: the whole kilobytes grouped with ".", "," and exactly two
// decimals, then " Kb" (1536 -> "1,50 Kb").
std::string FormatKilobytes(long long bytes);
// A byte cell of the list: its count in kilobytes, or the text unchanged when it is not a
// number ("n.d").
std::string FormatKilobyteCell(std::string_view text);
// A byte count text with its "." grouping removed; none when it is not an integer.
std::optional<long long> ParseByteCount(std::string_view text);

}  // namespace orva

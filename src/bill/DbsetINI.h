// The bill data set: per calendar month one INI file ("10_1999.BOL") with a section per day
// ("15/10/99") holding, per tick price, how many ticks were spent that day at that price.
// Every operation opens the month's file, works on it in memory and writes it back when it
// changed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bill/BigIni.h"
#include "core/Currency.h"
#include "platform/Result.h"
#include "platform/SafeFile.h"

namespace orva {

// The price of one unit tick in lire: the bill's "ticks" are costs divided by it.
constexpr double kUnitTickPrice = 127.0;

// Where the bill files live and how they are written.
struct BillOptions {
  // The data directory, where the bill files are.
  std::string directory;
  // "Cifre decimali": decimals of tick price keys and of costs.
  int decimals = 1;
  // "Valuta": what the bill view's figures are shown in; the files keep lire whatever it is.
  Currency currency = Currency::Lire;
  // Tests: a write that fails after some bytes.
  SafeWriteOptions write;
};

// "10_1999.BOL": month without leading zero, "_", four-digit year, ".BOL".
std::string BillFileName(int month, int year);
// "Ottobre 1999".
std::string BillMonthTitle(int month, int year);
// "Gennaio" … "Dicembre"; empty outside 1..12.
std::string BillMonthName(int month);
// The day's section name, "dd/mm/yy".
std::string BillDaySection(int day, int month, int year);
// A tick price as a key: "Cifre decimali" decimals, or as many more as the price needs to
// stay exact (up to 4), so 63.5 with 0 decimals is "63.5", 127 with 1 is "127.0".
std::string FormatTickPrice(double price, int decimals);

class TDataSetINI {
 public:
  // Months outside 1..12 or years outside 1..9999 make a data set that holds nothing and
  // refuses additions.
  TDataSetINI(int month, int year, BillOptions options = {});

  int Month() const { return m_month; }
  int Year() const { return m_year; }
  bool Valid() const { return m_valid; }
  const std::string& FilePath() const { return m_path; }
  std::string FileName() const { return BillFileName(m_month, m_year); }
  int DaysInMonth() const;

  // Whether the month's file can be read: a file that exists but cannot be read (no
  // permission, a folder in its place) is an error naming it, never an empty month.
  Status Readable() const;

  // Adds ticks at a tick price to a day and rewrites the file; the error carries the
  // system's text when the file cannot be written.
  Status AddTicks(int day, long long ticks, double tickPrice);

  // Ranges are ordered, the last day cut to the month's length, the first to the last.
  std::string TickSum(int firstDay, int lastDay) const;
  // Sum of ticks x price, with "Cifre decimali" decimals.
  std::string CostSum(int firstDay, int lastDay) const;
  // CostSum / 127 with two decimals.
  std::string UnitTicks(int firstDay, int lastDay) const;
  // Clears the list, then one "ticks<TAB>price" per entry of every day in the range.
  void DayEntries(int firstDay, int lastDay, std::vector<std::string>& list) const;

  // Replaces the day's section with the given (price key, count) pairs in order; no pairs
  // remove the day. A later pair with the same price replaces the earlier count.
  struct Entry {
    std::string price;
    std::string count;
  };
  Status WriteDay(int day, const std::vector<Entry>& entries);

  // The numbers behind the texts.
  long long TickTotal(int firstDay, int lastDay) const;
  double CostTotal(int firstDay, int lastDay) const;

 private:
  struct Range {
    int first = 1, last = 0;
  };
  Range OrderRange(int firstDay, int lastDay) const;
  // Calls f(count, priceKey, price) for every entry of the days in range.
  template <class F>
  void ForEachEntry(int firstDay, int lastDay, F&& f) const;

  int m_month;
  int m_year;
  bool m_valid;
  BillOptions m_options;
  std::string m_path;
};

}  // namespace orva

// The bill data set on top of the bill's INI file.
#include "bill/DbsetINI.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/Amounts.h"
#include "core/HowUtils.h"
#include "platform/DateTime.h"
#include "platform/FileLock.h"
#include "platform/Numbers.h"

namespace orva {
namespace {

constexpr const char* kGeneral = "Generale";
constexpr const char* kProgramKey = "Programma";
constexpr const char* kProgramText = "ORVA32 4.1 del 28/10/99";
constexpr const char* kMonthKey = "Scatti relativi a";
constexpr int kMaxKeyDecimals = 4;

std::string TwoDigits(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", v % 100);
  return buf;
}

long long SaturatingAdd(long long a, long long b) {
  long long r;
  if (!__builtin_add_overflow(a, b, &r)) return r;
  return b > 0 ? INT64_MAX : INT64_MIN;
}

// One attempt: a failure is reported and nothing is written later.
Status Save(TBigIniFile& ini) {
  Status st = ini.UpdateFile();
  if (!st) ini.DiscardChanges();
  return st;
}

}  // namespace

std::string BillMonthName(int month) {
  static const char* const kNames[] = {"Gennaio",   "Febbraio", "Marzo",    "Aprile",
                                       "Maggio",    "Giugno",   "Luglio",   "Agosto",
                                       "Settembre", "Ottobre",  "Novembre", "Dicembre"};
  if (month < 1 || month > 12) return {};
  return kNames[month - 1];
}

std::string BillFileName(int month, int year) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d_%04d.BOL", month, year);
  return buf;
}

std::string BillMonthTitle(int month, int year) {
  return BillMonthName(month) + " " + std::to_string(year);
}

std::string BillDaySection(int day, int month, int year) {
  return TwoDigits(day) + "/" + TwoDigits(month) + "/" + TwoDigits(year);
}

std::string FormatTickPrice(double price, int decimals) {
  decimals = std::clamp(decimals, 0, 15);
  // The smallest count of decimals, from "Cifre decimali" up, that keeps the price; prices
  // that arithmetic left a hair off a short decimal (0.1 + 0.2) still get the short form.
  const double tolerance = 1e-9 * std::max(1.0, std::fabs(price));
  for (int d = decimals; d < kMaxKeyDecimals; ++d) {
    const std::string text = FormatFixed(price, d);
    const auto back = ParseDecimal(text);
    if (back && std::fabs(*back - price) <= tolerance) return text;
  }
  return FormatFixed(price, std::max(decimals, kMaxKeyDecimals));
}

TDataSetINI::TDataSetINI(int month, int year, BillOptions options)
    : m_month(month),
      m_year(year),
      m_valid(month >= 1 && month <= 12 && year >= 1 && year <= 9999),
      m_options(std::move(options)) {
  if (m_valid) m_path = JoinPath(m_options.directory, BillFileName(month, year));
}

int TDataSetINI::DaysInMonth() const {
  return m_valid ? orva::DaysInMonth(m_year, m_month) : 0;
}

TDataSetINI::Range TDataSetINI::OrderRange(int firstDay, int lastDay) const {
  if (firstDay > lastDay) std::swap(firstDay, lastDay);
  lastDay = std::min(lastDay, DaysInMonth());
  firstDay = std::max(1, std::min(firstDay, lastDay));
  return {firstDay, lastDay};
}

Status TDataSetINI::Readable() const {
  if (!m_valid) return Status::Ok();
  const TBiggerIniFile ini(m_path, m_options.write);
  if (!ini.LoadError().empty()) return Status::Fail(ini.LoadError());
  return Status::Ok();
}

template <class F>
void TDataSetINI::ForEachEntry(int firstDay, int lastDay, F&& f) const {
  if (!m_valid) return;
  const Range r = OrderRange(firstDay, lastDay);
  if (r.last < 1) return;
  TBiggerIniFile ini(m_path, m_options.write);
  std::vector<std::string> keys;
  for (int day = r.first; day <= r.last; ++day) {
    const std::string section = BillDaySection(day, m_month, m_year);
    keys.clear();
    ini.ReadSection(section, keys);
    for (const auto& key : keys) {
      const long long count = ParseInteger64(ini.ReadString(section, key, "0")).value_or(0);
      // A price beyond what a bill holds is no price: it counts as 0, like one that is not a
      // number.
      double price = ParseDecimal(key).value_or(0.0);
      if (!IsBillPrice(price)) price = 0;
      f(count, key, price);
    }
  }
}

Status TDataSetINI::AddTicks(int day, long long ticks, double tickPrice) {
  if (!m_valid)
    return Status::Fail("Mese non valido: " + std::to_string(m_month) + "/" +
                        std::to_string(m_year));
  if (day < 1 || day > DaysInMonth())
    return Status::Fail("Giorno non valido: " + std::to_string(day));
  if (!std::isfinite(tickPrice)) return Status::Fail("Costo scatto non valido");
  // Held from the read to the rename: two writers adding to one day would otherwise each
  // write back its own sum and one addition would be lost.
  const Result<FileUpdateLock> lock = LockForUpdate(m_path);
  if (!lock) return Status::Fail(lock.error);
  TBiggerIniFile ini(m_path, m_options.write);
  if (!ini.LoadError().empty()) return Status::Fail(ini.LoadError());
  ini.WriteString(kGeneral, kProgramKey, kProgramText);
  ini.WriteString(kGeneral, kMonthKey, BillMonthTitle(m_month, m_year));
  const std::string key = FormatTickPrice(tickPrice, m_options.decimals);
  const std::string section = BillDaySection(day, m_month, m_year);
  const long long current = ParseInteger64(ini.ReadString(section, key, "0")).value_or(0);
  long long sum;
  if (__builtin_add_overflow(current, ticks, &sum))
    return Status::Fail("Numero di scatti fuori misura");
  ini.WriteString(section, key, std::to_string(sum));
  return Save(ini);
}

Status TDataSetINI::WriteDay(int day, const std::vector<Entry>& entries) {
  if (!m_valid)
    return Status::Fail("Mese non valido: " + std::to_string(m_month) + "/" +
                        std::to_string(m_year));
  if (day < 1 || day > DaysInMonth())
    return Status::Fail("Giorno non valido: " + std::to_string(day));
  const Result<FileUpdateLock> lock = LockForUpdate(m_path);
  if (!lock) return Status::Fail(lock.error);
  TBiggerIniFile ini(m_path, m_options.write);
  if (!ini.LoadError().empty()) return Status::Fail(ini.LoadError());
  const std::string section = BillDaySection(day, m_month, m_year);
  ini.EraseSection(section);
  for (const auto& e : entries) ini.WriteString(section, e.price, e.count);
  return Save(ini);
}

long long TDataSetINI::TickTotal(int firstDay, int lastDay) const {
  long long sum = 0;
  ForEachEntry(firstDay, lastDay, [&](long long count, const std::string&, double) {
    sum = SaturatingAdd(sum, count);
  });
  return sum;
}

double TDataSetINI::CostTotal(int firstDay, int lastDay) const {
  double sum = 0;
  ForEachEntry(firstDay, lastDay, [&](long long count, const std::string&, double price) {
    sum = AddAmount(sum, static_cast<double>(count) * price);
  });
  return sum;
}

std::string TDataSetINI::TickSum(int firstDay, int lastDay) const {
  return std::to_string(TickTotal(firstDay, lastDay));
}

std::string TDataSetINI::CostSum(int firstDay, int lastDay) const {
  return FormatFixed(CostTotal(firstDay, lastDay), m_options.decimals);
}

std::string TDataSetINI::UnitTicks(int firstDay, int lastDay) const {
  // From the cost as shown, so the tick figure agrees with the cost figure beside it.
  const auto cost = ParseDecimal(CostSum(firstDay, lastDay));
  if (!cost) return "0";
  return FormatFixed(*cost / kUnitTickPrice, 2);
}

void TDataSetINI::DayEntries(int firstDay, int lastDay, std::vector<std::string>& list) const {
  list.clear();
  ForEachEntry(firstDay, lastDay, [&](long long count, const std::string& key, double) {
    list.push_back(std::to_string(count) + "\t" + key);
  });
}

}  // namespace orva

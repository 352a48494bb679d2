// The day tick editor's logic.
#include "bill/Bolman.h"

#include <cmath>
#include <cstdint>
#include <optional>

#include "core/Amounts.h"
#include "core/Currency.h"
#include "platform/DateTime.h"
#include "platform/Numbers.h"

namespace orva {
namespace {

// An Italian user types a decimal comma; the bill reads only ".".
std::string DecimalPoint(std::string text) {
  for (char& c : text)
    if (c == ',') c = '.';
  return text;
}

// "count<TAB>price" split at the first TAB.
void SplitItem(const std::string& item, std::string& count, std::string& price) {
  const auto tab = item.find('\t');
  count = item.substr(0, tab);
  price = tab == std::string::npos ? std::string() : item.substr(tab + 1);
}

}  // namespace

void BolManModel::Open(int day, int month, int year, const BillOptions& options) {
  m_day = day;
  m_month = month;
  m_year = year;
  m_options = options;
  m_selected = -1;
  m_ed0.clear();
  m_ed1.clear();
  m_pickedShown.clear();
  m_pickedLire.clear();
  TDataSetINI(month, year, options).DayEntries(day, day, m_items);
}

std::pair<std::string, std::string> BolManModel::ShownItem(int index) const {
  if (index < 0 || index >= static_cast<int>(m_items.size())) return {};
  std::string count, price;
  SplitItem(m_items[static_cast<std::size_t>(index)], count, price);
  return {count, ShownLireText(price, m_options.currency)};
}

std::string BolManModel::PriceHeader() const {
  return m_options.currency == Currency::Euro ? "a Euro" : "a Lire";
}

std::string BolManModel::DayTitle() const {
  const auto date = TryEncodeDate(m_year, m_month, m_day);
  return date ? FormatDateTime("dddd, d mmmm yyyy", *date) : std::string();
}

void BolManModel::Select(int index) {
  if (index < 0 || index >= static_cast<int>(m_items.size())) return;
  m_selected = index;
  SplitItem(m_items[static_cast<std::size_t>(index)], m_ed0, m_pickedLire);
  m_pickedShown = AcceptedText(ShownLireText(m_pickedLire, m_options.currency));
  m_ed1 = m_pickedShown;
}

std::optional<std::string> BolManModel::PriceLire() const {
  // A price shown in euro is rounded: untouched, it stays the lire it was.
  if (!m_pickedShown.empty() && m_ed1 == m_pickedShown) return m_pickedLire;
  const auto typed = ParseTickPrice(m_ed1);
  if (!typed) return std::nullopt;
  if (m_options.currency == Currency::Lire)
    return IsBillPrice(*typed) ? std::optional(DecimalPoint(m_ed1)) : std::nullopt;
  // The finest a tariff's euro price is charged with: a ten-thousandth of a lira.
  const double lire = std::round(ToLire(*typed, Currency::Euro) * 10000.0) / 10000.0;
  if (!IsBillPrice(lire)) return std::nullopt;
  return FormatTickPrice(lire, m_options.decimals);
}

std::string BolManModel::ItemText() const {
  return m_ed0 + "\t" + PriceLire().value_or(std::string());
}

bool BolManModel::PriceFaulty() const {
  return !m_ed1.empty() && !PriceLire();
}

bool BolManModel::EditsComplete() const {
  auto hasDigit = [](const std::string& text) {
    for (char c : text)
      if (c >= '0' && c <= '9') return true;
    return false;
  };
  return hasDigit(m_ed0) && PriceLire().has_value();
}

bool BolManModel::Add() {
  if (!EditsComplete()) return false;
  m_items.push_back(ItemText());
  return true;
}

bool BolManModel::CanChange() const {
  return m_selected >= 0 && m_selected < static_cast<int>(m_items.size());
}

bool BolManModel::Modify() {
  if (!CanChange() || !EditsComplete()) return false;
  m_items[static_cast<std::size_t>(m_selected)] = ItemText();
  return true;
}

void BolManModel::Delete() {
  if (!CanChange()) return;
  m_items.erase(m_items.begin() + m_selected);
  m_selected = -1;
  m_ed0.clear();
  m_ed1.clear();
  m_pickedShown.clear();
  m_pickedLire.clear();
}

bool BolManModel::AcceptsKey(char key) {
  return (key >= '0' && key <= '9') || key == ',' || key == '.' || key == 8;
}

std::string BolManModel::AcceptedText(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != 8 && AcceptsKey(c)) out += c;
  return out;
}

std::vector<TDataSetINI::Entry> BolManModel::DayEntries() const {
  std::vector<TDataSetINI::Entry> entries;
  std::vector<std::optional<double>> prices;
  std::string count, price;
  for (const auto& item : m_items) {
    SplitItem(item, count, price);
    price = DecimalPoint(price);
    const auto value = ParseDecimal(price);
    // A day holds one count per price: ticks added at a price the day already has ("127" and
    // "127.0" alike) join its count instead of replacing it.
    std::size_t same = 0;
    while (same < entries.size() && !(value ? prices[same] == value : entries[same].price == price))
      ++same;
    if (same == entries.size()) {
      entries.push_back({price, count});
      prices.push_back(value);
      continue;
    }
    // The bill reads a count that is no whole number as none.
    const long long before = ParseInteger64(entries[same].count).value_or(0);
    const long long added = ParseInteger64(count).value_or(0);
    long long sum;
    if (__builtin_add_overflow(before, added, &sum)) sum = added > 0 ? INT64_MAX : INT64_MIN;
    entries[same].count = std::to_string(sum);
  }
  return entries;
}

Status BolManModel::WriteBack() const {
  return TDataSetINI(m_month, m_year, m_options).WriteDay(m_day, DayEntries());
}

}  // namespace orva

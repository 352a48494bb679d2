// Column comparisons and the sort of the log list.
#include "log/LogSort.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <string>

#include "log/LogCost.h"
#include "platform/DateTime.h"
#include "platform/Numbers.h"
#include "platform/TextCodec.h"

namespace orva {
namespace {

constexpr double kSmallest = -std::numeric_limits<double>::infinity();

// A two-part numeric key compared in order; text columns use the folded text instead.
struct NumKey {
  double a = 0, b = 0;
  bool operator<(const NumKey& o) const { return a < o.a || (a == o.a && b < o.b); }
};

bool IsTextColumn(int column) {
  return column == 5 || column == 11;
}

double TimeKey(std::string_view text) {
  const auto t = StrToTime(text);
  return t ? *t : kSmallest;
}

// An integer after the "." grouping is removed; 0 otherwise.
double GroupedIntegerKey(std::string_view text) {
  char buf[32];
  std::size_t n = 0;
  for (char c : text) {
    if (c == '.') continue;
    if (n == sizeof buf) return 0;
    buf[n++] = c;
  }
  const auto v = ParseInteger64(std::string_view(buf, n));
  return v ? static_cast<double>(*v) : 0;
}

double DecimalKey(std::string_view text) {
  const auto v = ParseDecimal(text);
  return v ? *v : kSmallest;
}

// Costs sort as the totals add them; a text that is no cost sorts first.
double CostKey(std::string_view text) {
  const auto v = ParseLogCost(text);
  return v ? *v : kSmallest;
}

NumKey NumericKey(const TConnObj& r, int column) {
  switch (column) {
    case 1: {
      const auto d = StrToDate(r.Date());
      return {d ? *d : kSmallest, TimeKey(r.Start())};
    }
    case 2:
    case 3:
      return {TimeKey(r.Field(static_cast<std::size_t>(column - 1))), 0};
    case 4: {
      // A call of a day or more has its whole hours ("25.00.10").
      const auto d = ParseDuration(r.Duration());
      return {d ? static_cast<double>(*d) : kSmallest, 0};
    }
    case 6: {
      const auto v = ParseInteger64(r.Ticks());
      return {v ? static_cast<double>(*v) : 0, 0};
    }
    case 7:
      return {CostKey(r.Cost()), 0};
    case 8:
      return {DecimalKey(r.Bps()), 0};
    case 9:
    case 10:
      return {GroupedIntegerKey(r.Field(static_cast<std::size_t>(column - 1))), 0};
    default:
      return {};
  }
}

template <class Key>
void SortByKeys(std::vector<TConnObj>& records, const std::vector<Key>& keys, bool ascending) {
  std::vector<std::size_t> order(records.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  if (ascending) {
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t x, std::size_t y) { return keys[x] < keys[y]; });
  } else {
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t x, std::size_t y) { return keys[y] < keys[x]; });
  }
  std::vector<TConnObj> sorted;
  sorted.reserve(records.size());
  for (const std::size_t i : order) sorted.push_back(std::move(records[i]));
  records = std::move(sorted);
}

}  // namespace

int CompareLogColumn(const TConnObj& a, const TConnObj& b, int column) {
  if (column < 1 || column >= kLogColumnCount) return 0;
  if (IsTextColumn(column)) {
    const auto f = static_cast<std::size_t>(column - 1);
    const std::string x = FoldCase(a.Field(f)), y = FoldCase(b.Field(f));
    return x < y ? -1 : (y < x ? 1 : 0);
  }
  const NumKey x = NumericKey(a, column), y = NumericKey(b, column);
  return x < y ? -1 : (y < x ? 1 : 0);
}

void SortLogRecords(std::vector<TConnObj>& records, int column, bool ascending) {
  if (column < 1 || column >= kLogColumnCount || records.size() < 2) return;
  if (IsTextColumn(column)) {
    std::vector<std::string> keys;
    keys.reserve(records.size());
    for (const auto& r : records)
      keys.push_back(FoldCase(r.Field(static_cast<std::size_t>(column - 1))));
    SortByKeys(records, keys, ascending);
    return;
  }
  std::vector<NumKey> keys;
  keys.reserve(records.size());
  for (const auto& r : records) keys.push_back(NumericKey(r, column));
  SortByKeys(records, keys, ascending);
}

bool LogSortState::Click(int clicked) {
  if (clicked < 1 || clicked >= kLogColumnCount) return false;
  column = clicked;
  ascending = clicked != lastClicked ? true : !ascending;
  lastClicked = clicked;
  return true;
}

}  // namespace orva

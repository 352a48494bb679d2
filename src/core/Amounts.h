// The bounds of the amounts and lengths that tariffs, calls, the log and the bill hold. Every
// value read from a file or typed is checked against them, so no cost or total made of them
// overflows to infinity (or prints as nothing).
#pragma once

#include <algorithm>
#include <cmath>

namespace orva {

// The price of one tick, and a fixed charge in lire or in ticks: ten million lire.
inline constexpr double kMaxTickPrice = 10'000'000;
// The length of one tick: a day (CheckTickLength in core/TariffValues.h judges a length).
inline constexpr double kMaxTickSeconds = 86'400;
// "Aliquota IVA", in percent.
inline constexpr double kMaxVatPercent = 100;
// One bill entry's price: a day of one-second ticks at the highest tick price (the share of
// a day that continuous charging bills as one tick).
inline constexpr double kMaxBillPrice = kMaxTickPrice * kMaxTickSeconds;
// Ticks added to a bill day at once.
inline constexpr long long kMaxBillTicks = 1'000'000;
// Any cost or total in lire (a call, a log row, a month): still exact to the lira.
inline constexpr double kMaxAmount = 1e15;

inline bool IsTickPrice(double v) {
  return std::isfinite(v) && std::fabs(v) <= kMaxTickPrice;
}
inline bool IsBillPrice(double v) {
  return std::isfinite(v) && std::fabs(v) <= kMaxBillPrice;
}
inline bool IsAmount(double v) {
  return std::isfinite(v) && std::fabs(v) <= kMaxAmount;
}
// A sum of amounts that stops at the bound instead of overflowing.
inline double AddAmount(double sum, double v) {
  if (!std::isfinite(v)) return sum;
  return std::clamp(sum + v, -kMaxAmount, kMaxAmount);
}

}  // namespace orva

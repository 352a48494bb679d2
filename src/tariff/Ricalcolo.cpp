// The re-pricing loop of a past call.
#include "tariff/Ricalcolo.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

#include "platform/Numbers.h"

namespace orva {
namespace {

constexpr long long kMsPerDay = 86400000;

long long SaturatingAdd(long long a, long long b) {
  long long r;
  if (__builtin_add_overflow(a, b, &r)) return b > 0 ? LLONG_MAX : LLONG_MIN;
  return r;
}

long long SaturatingMul(long long a, long long b) {
  long long r;
  if (__builtin_mul_overflow(a, b, &r)) return (a < 0) != (b < 0) ? LLONG_MIN : LLONG_MAX;
  return r;
}

// A round of the meter: the seconds it moves the moment on and the ticks it charges.
std::pair<long long, long long> StepOf(const TariffResult& r) {
  const double whole = std::trunc(r.values.tickSeconds);
  if (whole >= 1) return {static_cast<long long>(std::min(whole, 1e12)), 1};
  return {1, static_cast<long long>(std::min(std::trunc(1.0 / r.values.tickSeconds), 1e12))};
}

// How many of the next rounds surely evaluate to `r` again (same band, day class and
// discount), with two rounds to spare before any change and the call's last round left out.
long long SteadyRounds(const LoadedTariff& tariff, const TariffResult& r, TDateTime start,
                       long long elapsedSeconds, long long ticks, long long spanMs) {
  const auto [step, count] = StepOf(r);
  const TDateTime elapsed = static_cast<double>(elapsedSeconds) / 86400.0;
  const LoadedTariff::Steady steady = tariff.SteadyFrom(
      static_cast<int>(std::min<long long>(ticks, INT_MAX)), elapsed, start + elapsed);
  const double bySpan = (static_cast<double>(spanMs) - 1000.0 - 1000.0 * elapsedSeconds) /
                        (1000.0 * static_cast<double>(step));
  const double byTime = ((steady.until - start) * 86400.0 - 2.0 - elapsedSeconds) / step;
  const double bySeconds = (steady.secondsBelow - 2.0 - elapsedSeconds) / step;
  const double byTicks =
      (static_cast<double>(steady.ticksBelow) - 2.0 - static_cast<double>(ticks)) / count;
  const double many = std::floor(std::min({bySpan, byTime, bySeconds, byTicks}));
  if (!std::isfinite(many) || many < 2) return 0;
  return static_cast<long long>(std::min(many, 1e12));
}

}  // namespace

std::string DurationText(TDateTime span) {
  // Whole seconds of the span, its milliseconds rounded first as a date-time decodes.
  const double ms = span * 86400000.0;
  if (!std::isfinite(ms) || ms <= 0) return FormatDuration(0);
  return FormatDuration(std::llround(std::min(ms, 1e18)) / 1000);
}

std::string FixedCostText(long long costFixed, int decimals) {
  if (costFixed % 10000 == 0) return std::to_string(costFixed / 10000);
  return FormatFixed(static_cast<double>(costFixed) / 10000.0, std::clamp(decimals, 0, 15));
}

Result<RecalcFigures> RecalculateFigures(const LoadedTariff& tariff, TDateTime start,
                                         TDateTime end) {
  using R = Result<RecalcFigures>;
  if (!std::isfinite(start) || !std::isfinite(end) || end < start)
    return R::Fail("La fine della connessione precede l'inizio");
  const double spanDays = end - start;
  const long long spanMs = std::llround(spanDays * static_cast<double>(kMsPerDay));

  TariffResult r;
  Status status = tariff.Evaluate(0, 0.0, start, r, true);
  if (!status) return R::Fail(status.error);
  // The answer charge: an amount in lire, or a number of ticks at the price in force.
  long long cost = r.values.fixedChargeUnit == 1
                       ? SaturatingMul(r.values.fixedCharge, 10000)
                       : SaturatingMul(r.values.fixedCharge, r.tickCostFixed);

  long long elapsedSeconds = 0;
  long long ticks = 0;
  long long rounds = 0;
  // A round ends a tick: the moment moves on by the tick's whole seconds and the price then
  // in force is added. A tick under one second would not move the moment on; such a tariff
  // charges continuously, so a round covers one second and the ticks that fit in it.
  while (elapsedSeconds * 1000 + 999 < spanMs) {
    const auto [step, count] = StepOf(r);
    elapsedSeconds = SaturatingAdd(elapsedSeconds, step);
    ticks = SaturatingAdd(ticks, count);
    ++rounds;
    const TDateTime elapsed = static_cast<double>(elapsedSeconds) / 86400.0;
    status = tariff.Evaluate(static_cast<int>(std::min<long long>(ticks, INT_MAX)), elapsed,
                             start + elapsed, r, true);
    if (!status) return R::Fail(status.error);
    cost = SaturatingAdd(cost, SaturatingMul(count, r.tickCostFixed));
    // The rounds that would find the same band, day class and discount are added at once;
    // the two before any change, and the last of the call, are still metered one by one.
    const long long many = SteadyRounds(tariff, r, start, elapsedSeconds, ticks, spanMs);
    if (many > 0) {
      const long long nextStep = StepOf(r).first, nextCount = StepOf(r).second;
      elapsedSeconds = SaturatingAdd(elapsedSeconds, SaturatingMul(many, nextStep));
      ticks = SaturatingAdd(ticks, SaturatingMul(many, nextCount));
      rounds = SaturatingAdd(rounds, many);
      cost = SaturatingAdd(cost, SaturatingMul(SaturatingMul(many, nextCount), r.tickCostFixed));
    }
  }
  return R::Ok({cost, rounds, r.values.tickSeconds > 1});
}

Result<RecalcTexts> RecalculateCall(const LoadedTariff& tariff, TDateTime start, TDateTime end,
                                    int decimals) {
  const Result<RecalcFigures> figures = RecalculateFigures(tariff, start, end);
  if (!figures) return Result<RecalcTexts>::Fail(figures.error);
  RecalcTexts texts;
  texts.duration = DurationText(end - start);
  texts.cost = FixedCostText(figures->costFixed, decimals);
  texts.ticks = figures->ticksCounted ? std::to_string(figures->ticks) : "?";
  return Result<RecalcTexts>::Ok(std::move(texts));
}

Result<RecalcTexts> RecalculateCallFile(const std::string& path, TDateTime start, TDateTime end,
                                        int decimals, Dialogs& dialogs) {
  const LoadedTariff tariff(path);
  if (!tariff.found()) dialogs.Message(MissingTariffMessage(path), MsgType::Error, MsgButtons::Ok);
  return RecalculateCall(tariff, start, end, decimals);
}

Result<RecalcTexts> RecalculateCall(const TariffCatalogue& catalogue, int index, TDateTime start,
                                    TDateTime end, int decimals, Dialogs& dialogs) {
  if (catalogue.Empty()) return RecalculateCall(LoadedTariff(), start, end, decimals);
  return RecalculateCallFile(EvaluatedTariffPath(catalogue, index), start, end, decimals, dialogs);
}

}  // namespace orva

// The comparison of tariffs over the calls of the log.
#include "log/TariffComparison.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string_view>
#include <thread>

#include "core/CallInfo.h"
#include "log/LogCost.h"
#include "tariff/Ricalcolo.h"

namespace orva {

bool IsVoiceRecord(const TConnObj& record) {
  static const std::string kVoice = std::string(CallKindName(5)) + ": ";
  return record.Service().starts_with(kVoice);
}

std::optional<TDateTime> RecordedDay(const TConnObj& record) {
  return StrToDate(record.Date());
}

std::optional<CallSpan> RecordedSpan(const TConnObj& record) {
  const std::optional<TDateTime> day = RecordedDay(record);
  const std::optional<TDateTime> start = StrToTime(record.Start());
  if (!day || !start) return std::nullopt;
  CallSpan span;
  span.start = *day + *start;
  if (const std::optional<long long> seconds = ParseDuration(record.Duration())) {
    span.end = span.start + static_cast<double>(*seconds) / 86400.0;
    return span;
  }
  const std::optional<TDateTime> end = StrToTime(record.End());
  if (!end) return std::nullopt;
  span.end = *day + *end + (*end < *start ? 1.0 : 0.0);
  return span;
}

namespace {

struct Call {
  CallSpan span;
};

// Prices every call of the group under each tariff; the tariffs are shared out among threads
// (each tariff is read only).
void PriceGroup(ComparisonGroup& group, const std::vector<Call>& calls,
                const std::vector<ComparedTariff>& tariffs, const std::stop_token& stop) {
  group.tariffs.assign(tariffs.size(), {});
  const auto price = [&](std::size_t t) {
    TariffTotal& total = group.tariffs[t];
    total.name = tariffs[t].name;
    const LoadedTariff& tariff = *tariffs[t].tariff;
    // Summed apart and stored once: the totals of the threads' tariffs lie side by side.
    long long cost = 0;
    for (std::size_t i = 0; i < calls.size(); ++i) {
      if (i % 1024 == 0 && stop.stop_requested()) break;
      const Call& c = calls[i];
      const Result<RecalcFigures> f = RecalculateFigures(tariff, c.span.start, c.span.end);
      if (!f) {
        total.error = f.error;
        return;
      }
      cost = cost > LLONG_MAX - f->costFixed ? LLONG_MAX : cost + f->costFixed;
    }
    total.costFixed = cost;
  };
  const std::size_t workers =
      std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, tariffs.size());
  if (workers <= 1 || calls.size() < 1000) {
    for (std::size_t t = 0; t < tariffs.size(); ++t) price(t);
  } else {
    std::vector<std::thread> threads;
    for (std::size_t w = 0; w < workers; ++w)
      threads.emplace_back([&, w] {
        for (std::size_t t = w; t < tariffs.size(); t += workers) price(t);
      });
    for (std::thread& th : threads) th.join();
  }
  std::stable_sort(group.tariffs.begin(), group.tariffs.end(),
                   [](const TariffTotal& a, const TariffTotal& b) {
                     if (a.error.empty() != b.error.empty()) return a.error.empty();
                     return a.costFixed < b.costFixed;
                   });
}

}  // namespace

TariffComparison CompareTariffs(const std::vector<TConnObj>& records,
                                const std::vector<ComparedTariff>& tariffs,
                                std::optional<TDateTime> from, std::optional<TDateTime> to,
                                std::stop_token stop) {
  ComparisonGroup groups[2];
  std::vector<Call> calls[2];
  groups[1].voice = true;
  for (const TConnObj& r : records) {
    const std::optional<TDateTime> day = RecordedDay(r);
    if (!day || (from && *day < std::floor(*from)) || (to && *day > std::floor(*to))) continue;
    const int kind = IsVoiceRecord(r) ? 1 : 0;
    ComparisonGroup& g = groups[kind];
    const std::optional<CallSpan> span = RecordedSpan(r);
    if (!span) {
      g.unknown.push_back(std::string(r.Date()) + " " + std::string(r.Start()) + " " +
                          std::string(r.Service()));
      continue;
    }
    ++g.calls;
    if (const std::optional<double> paid = ParseLogCost(r.Cost()))
      g.paid += *paid;
    else
      ++g.unpaid;
    calls[kind].push_back({*span});
  }
  TariffComparison out;
  for (int kind = 0; kind < 2; ++kind) {
    if (groups[kind].calls == 0 && groups[kind].unknown.empty()) continue;
    PriceGroup(groups[kind], calls[kind], tariffs, stop);
    out.groups.push_back(std::move(groups[kind]));
  }
  return out;
}

std::vector<ComparedTariff> LoadCatalogueTariffs(const TariffCatalogue& catalogue) {
  std::vector<ComparedTariff> tariffs;
  for (int i = 0; i < catalogue.Size(); ++i)
    tariffs.push_back(
        {catalogue.descriptions[static_cast<std::size_t>(i)],
         std::make_shared<const LoadedTariff>(catalogue.paths[static_cast<std::size_t>(i)])});
  return tariffs;
}

}  // namespace orva

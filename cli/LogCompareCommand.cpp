// orva32cli log compare [FILE] [--from DATE] [--to DATE]: what the calls of the log (of the
// days from..to) would have cost under each tariff of the catalogue, cheapest first, against
// what was paid; data and voice calls apart, in the program's currency ("--json": lire, with
// the euro beside). DATE is YYYY-MM-DD. Without FILE it reads the current log.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Args.h"
#include "Commands.h"
#include "JsonOut.h"
#include "core/Currency.h"
#include "core/Settings.h"
#include "log/LogFile.h"
#include "log/TariffComparison.h"
#include "platform/DateTime.h"
#include "platform/Numbers.h"
#include "platform/Registry.h"
#include "tariff/Ricalcolo.h"
#include "tariff/Tariffe.h"

namespace orva::cli {
namespace {

std::optional<TDateTime> DateOption(const Args& args, const std::string& name) {
  const std::optional<std::string> text = args.Get(name);
  if (!text) return std::nullopt;
  const std::optional<TDateTime> date = ParseIsoDateTime(*text);
  if (!date || text->size() != 10) throw UsageError("--" + name + ": data non valida: " + *text);
  return date;
}

const char* KindName(const ComparisonGroup& g) {
  return g.voice ? "Chiamate a voce" : "Connessioni dati";
}

double Lire(long long costFixed) {
  return static_cast<double>(costFixed) / 10000.0;
}

Json GroupJson(const ComparisonGroup& g) {
  Json tariffs = Json::array();
  for (const TariffTotal& t : g.tariffs) {
    Json j{{"tariff", t.name}};
    std::optional<double> cost, saving;
    if (t.error.empty()) {
      cost = Lire(t.costFixed);
      saving = g.paid - *cost;
    }
    j["cost"] = cost ? Number(*cost) : Json(nullptr);
    PutEuro(j, "cost", cost);
    j["saving"] = saving ? Number(*saving) : Json(nullptr);
    PutEuro(j, "saving", saving);
    if (!t.error.empty()) j["error"] = t.error;
    tariffs.push_back(std::move(j));
  }
  Json j{{"kind", g.voice ? "voice" : "data"}, {"calls", g.calls}, {"paid", Number(g.paid)}};
  PutEuro(j, "paid", g.paid);
  j["calls_without_cost"] = g.unpaid;
  j["unknown_duration"] = g.unknown;
  j["tariffs"] = std::move(tariffs);
  return j;
}

void PrintGroup(const ComparisonGroup& g, Currency currency, int decimals) {
  const auto amount = [&](double lire) { return FormatAmount(lire, currency, decimals); };
  std::printf("%s: %lld, pagato %s\n", KindName(g), g.calls, amount(g.paid).c_str());
  if (g.unpaid > 0) std::printf("  %lld senza costo nel log (contate come pagate 0)\n", g.unpaid);
  for (const TariffTotal& t : g.tariffs) {
    if (!t.error.empty()) {
      std::printf("  %s\terrore: %s\n", t.name.c_str(), t.error.c_str());
      continue;
    }
    const double cost = Lire(t.costFixed);
    std::printf("  %s\t%s\trisparmio %s\n", t.name.c_str(), amount(cost).c_str(),
                amount(g.paid - cost).c_str());
  }
  if (!g.unknown.empty()) {
    std::printf("  %zu di durata sconosciuta, non confrontate:\n", g.unknown.size());
    for (const std::string& u : g.unknown) std::printf("    %s\n", u.c_str());
  }
}

}  // namespace

int RunLogCompare(const std::vector<std::string>& words) {
  const Args args(words, {});
  args.Allow({"from", "to"});
  const std::optional<TDateTime> from = DateOption(args, "from"), to = DateOption(args, "to");
  if (from && to && *to < *from) throw UsageError("--to precede --from");
  const Context ctx = MakeContext(words);
  Settings settings;
  Registry registry(ctx.dataDir);
  LoadSettings(settings, ctx.dataDir, registry);
  const int decimals = std::clamp(settings.decimals, 0, 15);
  const std::string file = args.Positional().empty() ? settings.logFileName : args.Word(0, "FILE");

  std::vector<TConnObj> records;
  const LoadOutcome loaded = LoadLogFile(file, records);
  if (!loaded.status) throw std::runtime_error(loaded.status.error);
  if (!loaded.existed) throw std::runtime_error(file + ": file non trovato");
  TariffCatalogue catalogue;
  ScanTariffFiles(catalogue, ctx.tariffDir);
  if (catalogue.Empty()) throw std::runtime_error(ctx.tariffDir + ": nessuna tariffa");

  const TariffComparison result =
      CompareTariffs(records, LoadCatalogueTariffs(catalogue), from, to);
  if (ctx.json) {
    Json groups = Json::array();
    for (const ComparisonGroup& g : result.groups) groups.push_back(GroupJson(g));
    Json j{{"file", file},
           {"from", from ? Json(FormatIso(*from).substr(0, 10)) : Json(nullptr)},
           {"to", to ? Json(FormatIso(*to).substr(0, 10)) : Json(nullptr)},
           {"groups", std::move(groups)}};
    PutCurrency(j, settings.currency);
    PrintJson(j);
    return 0;
  }
  if (result.groups.empty()) std::printf("Nessuna chiamata nel periodo\n");
  for (const ComparisonGroup& g : result.groups) PrintGroup(g, settings.currency, decimals);
  return 0;
}

}  // namespace orva::cli

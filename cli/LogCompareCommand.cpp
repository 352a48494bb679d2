// orva32cli log compare [FILE] [--from DATE] [--to DATE]: what the calls of the log (of the
// days from..to) would have cost under each tariff of the catalogue, cheapest first, against
// what was paid; data and voice calls apart. DATE is YYYY-MM-DD. Without FILE it reads the
// current log.
#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "Args.h"
#include "Commands.h"
#include "JsonOut.h"
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
    if (t.error.empty()) {
      j["cost"] = Number(Lire(t.costFixed));
      j["saving"] = Number(g.paid - Lire(t.costFixed));
    } else {
      j["cost"] = nullptr;
      j["saving"] = nullptr;
      j["error"] = t.error;
    }
    tariffs.push_back(std::move(j));
  }
  return Json{{"kind", g.voice ? "voice" : "data"},
              {"calls", g.calls},
              {"paid", Number(g.paid)},
              {"calls_without_cost", g.unpaid},
              {"unknown_duration", g.unknown},
              {"tariffs", std::move(tariffs)}};
}

void PrintGroup(const ComparisonGroup& g, int decimals) {
  std::printf("%s: %lld, pagato L. %s\n", KindName(g), g.calls,
              FormatFixed(g.paid, decimals).c_str());
  if (g.unpaid > 0) std::printf("  %lld senza costo nel log (contate come pagate 0)\n", g.unpaid);
  for (const TariffTotal& t : g.tariffs) {
    if (!t.error.empty()) {
      std::printf("  %s\terrore: %s\n", t.name.c_str(), t.error.c_str());
      continue;
    }
    const double cost = Lire(t.costFixed);
    std::printf("  %s\tL. %s\trisparmio L. %s\n", t.name.c_str(),
                FormatFixed(cost, decimals).c_str(), FormatFixed(g.paid - cost, decimals).c_str());
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
    PrintJson(Json{{"file", file},
                   {"from", from ? Json(FormatIso(*from).substr(0, 10)) : Json(nullptr)},
                   {"to", to ? Json(FormatIso(*to).substr(0, 10)) : Json(nullptr)},
                   {"currency", "lire"},
                   {"groups", std::move(groups)}});
    return 0;
  }
  if (result.groups.empty()) std::printf("Nessuna chiamata nel periodo\n");
  for (const ComparisonGroup& g : result.groups) PrintGroup(g, decimals);
  return 0;
}

}  // namespace orva::cli

// orva32cli tariff list|eval|cost (check lives beside the editor's checks) and easter.
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "Args.h"
#include "Commands.h"
#include "ConsoleDialogs.h"
#include "JsonOut.h"
#include "core/HowUtils.h"
#include "core/Settings.h"
#include "platform/IniFile.h"
#include "platform/Numbers.h"
#include "tariff/Feste.h"
#include "tariff/Ricalcolo.h"
#include "tariff/Tariffe.h"

namespace orva::cli {
namespace {

TariffCatalogue Catalogue(const Context& ctx) {
  TariffCatalogue catalogue;
  ScanTariffFiles(catalogue, ctx.tariffDir);
  for (const auto& error : catalogue.errors) std::fprintf(stderr, "orva32cli: %s\n", error.c_str());
  return catalogue;
}

TDateTime RequireMoment(const Args& args, const std::string& name) {
  const std::string text = args.Require(name);
  const auto moment = ParseIsoDateTime(text);
  if (!moment)
    throw UsageError("--" + name + ": data e ora non valide (YYYY-MM-DD hh:mm:ss): " + text);
  return *moment;
}

// The tariff named by --index N or --file PATH (exactly one of them).
struct TariffChoice {
  bool byFile = false;
  std::string path;
  long long index = 0;
};

TariffChoice ChooseTariff(const Args& args) {
  const bool hasIndex = args.Has("index");
  const bool hasFile = args.Has("file");
  if (hasIndex == hasFile) throw UsageError("indicare --index N oppure --file PATH");
  TariffChoice choice;
  if (hasFile) {
    choice.byFile = true;
    choice.path = *args.Get("file");
    if (choice.path.empty()) throw UsageError("--file: percorso vuoto");
  } else {
    choice.index = *args.GetInteger("index");
  }
  return choice;
}

// The index of --index in the catalogue. The window falls back to the first tariff for an
// index it does not know; a command line says that the number is wrong instead.
int CatalogueIndex(const TariffChoice& choice, const TariffCatalogue& catalogue) {
  if (choice.index < 0 || choice.index >= catalogue.Size())
    throw UsageError(catalogue.Empty()
                         ? "--index: nessun file tariffe"
                         : "--index: tariffa inesistente: " + std::to_string(choice.index) +
                               " (0-" + std::to_string(catalogue.Size() - 1) + ")");
  return static_cast<int>(choice.index);
}

int TariffList(const std::vector<std::string>& words) {
  Args args(words, {});
  args.Allow({});
  if (args.Positional().size() > 1) throw UsageError("argomento inatteso: " + args.Positional()[1]);
  const Context ctx = MakeContext(words);
  const TariffCatalogue catalogue = Catalogue(ctx);
  if (ctx.json) {
    Json out = Json::array();
    for (int i = 0; i < catalogue.Size(); ++i) {
      const auto k = static_cast<std::size_t>(i);
      out.push_back({{"index", i},
                     {"description", catalogue.descriptions[k]},
                     {"abbreviation", catalogue.abbreviations[k]},
                     {"path", catalogue.paths[k]}});
    }
    PrintJson(out);
    return 0;
  }
  if (catalogue.Empty()) std::printf("Nessun file tariffe in %s\n", ctx.tariffDir.c_str());
  for (int i = 0; i < catalogue.Size(); ++i) {
    const auto k = static_cast<std::size_t>(i);
    std::printf("%d\t%s\t%s\t%s\n", i, catalogue.abbreviations[k].c_str(),
                catalogue.descriptions[k].c_str(), catalogue.paths[k].c_str());
  }
  return 0;
}

int TariffEval(const std::vector<std::string>& words) {
  Args args(words, {"recalc"});
  args.Allow({"index", "file", "at", "ticks", "elapsed", "recalc"});
  if (args.Positional().size() > 1) throw UsageError("argomento inatteso: " + args.Positional()[1]);
  const TariffChoice choice = ChooseTariff(args);
  const TDateTime moment = RequireMoment(args, "at");
  int ticks = 0;
  if (const auto n = args.GetInteger("ticks")) {
    if (*n < 0 || *n > std::numeric_limits<int>::max())
      throw UsageError("--ticks: valore fuori intervallo");
    ticks = static_cast<int>(*n);
  }
  double elapsedSeconds = 0;
  if (const auto text = args.Get("elapsed")) {
    const auto v = ParseDecimal(*text);
    if (!v || !std::isfinite(*v) || *v < 0 || *v > 1e12)
      throw UsageError("--elapsed: numero di secondi non valido: " + *text);
    elapsedSeconds = *v;
  }
  const bool recalc = args.Flag("recalc");
  const Context ctx = MakeContext(words);

  ConsoleDialogs dialogs;
  TariffResult result;
  const TDateTime elapsed = elapsedSeconds / kSecondsPerDay;
  Status status;
  if (choice.byFile) {
    status = recalc ? EvaluateTariffFileRecalc(choice.path, ticks, elapsed, moment, result, dialogs)
                    : EvaluateTariffFile(choice.path, ticks, elapsed, moment, result, dialogs);
  } else {
    const TariffCatalogue catalogue = Catalogue(ctx);
    const int index = CatalogueIndex(choice, catalogue);
    status = recalc
                 ? EvaluateTariffRecalc(catalogue, index, ticks, elapsed, moment, result, dialogs)
                 : EvaluateTariff(catalogue, index, ticks, elapsed, moment, result, dialogs);
  }
  if (!status) {
    std::fprintf(stderr, "%s\n", status.error.c_str());
    return 1;
  }
  const double tickCost =
      recalc ? static_cast<double>(result.tickCostFixed) / 10000.0 : result.values.tickCost;
  const Currency currency = LoadCurrencySetting(ctx.dataDir);
  // The fixed charge as an amount: lire, whatever the file is written in.
  const char* fixedUnit = result.values.fixedChargeUnit == 1 ? "Lire" : "Scatti";
  if (ctx.json) {
    Json j = Json{{"at", IsoDateTime(moment)},
                  {"tick_seconds", result.values.tickSeconds},
                  {"tick_cost", tickCost},
                  {"tick_text", result.values.tickText},
                  {"vat_rate", result.values.vatRate},
                  {"fixed_charge", result.values.fixedCharge},
                  {"fixed_charge_unit", result.values.fixedChargeUnit},
                  {"fixed_charge_unit_text", fixedUnit},
                  {"discount_active", result.values.discountActive},
                  {"day_class", DayClassName(result.dayClass)}};
    PutEuro(j, "tick_cost", tickCost);
    j["tariff_currency"] = result.values.euroPrices ? "Euro" : "Lire";
    PutCurrency(j, currency);
    PrintJson(j);
    return 0;
  }
  std::printf("Giorno: %s\n", DayClassName(result.dayClass));
  std::printf("Durata scatto: %s s (%s)\n", FormatShortest(result.values.tickSeconds).c_str(),
              result.values.tickText.c_str());
  if (currency == Currency::Euro)
    std::printf("Costo scatto: %s (senza IVA)\n", FormatAmount(tickCost, currency).c_str());
  else
    std::printf("Costo scatto: %s lire (senza IVA)\n",
                recalc ? FormatFixed(tickCost, 4).c_str() : FormatShortest(tickCost).c_str());
  std::printf("Aliquota IVA: %s %%\n", FormatShortest(result.values.vatRate * 100).c_str());
  if (currency == Currency::Euro && result.values.fixedChargeUnit == 1)
    std::printf("Addebito fisso: %s\n", FormatAmount(result.values.fixedCharge, currency).c_str());
  else
    std::printf("Addebito fisso: %d %s\n", result.values.fixedCharge, fixedUnit);
  std::printf("Sconto attivo: %s\n", result.values.discountActive ? "Si" : "No");
  return 0;
}

int TariffCost(const std::vector<std::string>& words) {
  Args args(words, {});
  args.Allow({"index", "file", "from", "to"});
  if (args.Positional().size() > 1) throw UsageError("argomento inatteso: " + args.Positional()[1]);
  const TariffChoice choice = ChooseTariff(args);
  const TDateTime from = RequireMoment(args, "from");
  const TDateTime to = RequireMoment(args, "to");
  if (to < from) throw UsageError("--to precede --from");
  const Context ctx = MakeContext(words);
  const TIniFile settings(SettingsFileIn(ctx.dataDir));
  const int decimals = settings.ReadInteger("Impostazioni generali", "Cifre decimali", 1);

  ConsoleDialogs dialogs;
  const TariffCatalogue catalogue = choice.byFile ? TariffCatalogue{} : Catalogue(ctx);
  const auto texts = choice.byFile ? RecalculateCallFile(choice.path, from, to, decimals, dialogs)
                                   : RecalculateCall(catalogue, CatalogueIndex(choice, catalogue),
                                                     from, to, decimals, dialogs);
  if (!texts) {
    std::fprintf(stderr, "%s\n", texts.error.c_str());
    return 1;
  }
  if (ctx.json) {
    Json j = {{"from", IsoDateTime(from)}, {"to", IsoDateTime(to)}};
    PutTyped(j, "duration", NumberOrNull(ParseDuration(texts->duration)), texts->duration);
    PutTyped(j, "cost", DecimalOrNull(texts->cost), texts->cost);
    PutEuro(j, "cost", ParseDecimal(texts->cost));
    PutTyped(j, "ticks", NumberOrNull(ParseInteger64(texts->ticks)), texts->ticks);
    PutCurrency(j, LoadCurrencySetting(ctx.dataDir));
    PrintJson(j);
    return 0;
  }
  std::printf("Durata: %s\nCosto: %s\nScatti: %s\n", texts->duration.c_str(),
              ShownLireText(texts->cost, LoadCurrencySetting(ctx.dataDir)).c_str(),
              texts->ticks.c_str());
  return 0;
}

std::string IsoDate(int year, const DayMonth& d) {
  return cli::IsoDate(DateParts{year, d.month, d.day});
}

}  // namespace

int RunTariff(const std::vector<std::string>& words) {
  if (words.empty() || words[0].rfind("--", 0) == 0)
    throw UsageError("uso: tariff list|eval|cost|check");
  const std::string& what = words[0];
  if (what == "check")
    return RunTariffCheck(std::vector<std::string>(words.begin() + 1, words.end()));
  if (what == "list") return TariffList(words);
  if (what == "eval") return TariffEval(words);
  if (what == "cost") return TariffCost(words);
  throw UsageError("comando tariff sconosciuto: " + what);
}

int RunEaster(const std::vector<std::string>& words) {
  Args args(words, {});
  args.Allow({});
  if (args.Positional().size() != 1) throw UsageError("uso: easter ANNO");
  const auto year = ParseInteger(args.Positional()[0]);
  if (!year) throw UsageError("anno non valido: " + args.Positional()[0]);
  const bool json = args.Flag("json");
  const auto sunday = EasterSunday(*year);
  const auto monday = EasterMonday(*year);
  if (!sunday || !monday) {
    std::fprintf(stderr, "orva32cli: Pasqua è calcolata solo per gli anni 1900-2099\n");
    return 1;
  }
  if (json) {
    PrintJson(Json{{"year", *year},
                   {"easter_sunday", IsoDate(*year, *sunday)},
                   {"easter_monday", IsoDate(*year, *monday)}});
  } else {
    std::printf("%s\n%s\n", IsoDate(*year, *sunday).c_str(), IsoDate(*year, *monday).c_str());
  }
  return 0;
}

}  // namespace orva::cli

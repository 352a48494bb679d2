// orva32cli bill: the monthly bill files and the bill view's figures, from the command line.
//   bill add --date YYYY-MM-DD --ticks N (--price LIRE | --price-euro EURO)
//   bill day --date YYYY-MM-DD
//   bill month --month M --year Y
//   bill period --from YYYY-MM-DD --to YYYY-MM-DD [--fixed TEXT] [--suppl TEXT] [--vat RATE]
//   bill period-cost
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "Args.h"
#include "Commands.h"
#include "JsonOut.h"
#include "VatOption.h"
#include "bill/Bolletta.h"
#include "bill/DbsetINI.h"
#include "core/Amounts.h"
#include "core/Currency.h"
#include "core/Settings.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Dialogs.h"
#include "platform/Numbers.h"
#include "platform/Registry.h"
#include "tariff/Tariffe.h"

namespace orva::cli {
namespace {

struct BillContext {
  Context ctx;
  Settings settings;
  BillOptions options;
};

BillContext MakeBillContext(const std::vector<std::string>& words,
                            DataAccess access = DataAccess::Read) {
  BillContext b;
  b.ctx = MakeContext(words, access);
  Registry registry(b.ctx.dataDir);
  LoadSettings(b.settings, b.ctx.dataDir, registry);
  b.options.directory = b.ctx.dataDir;
  b.options.decimals = std::clamp(b.settings.decimals, 0, 15);
  return b;
}

DateParts RequireDate(const Args& args, const std::string& name) {
  const std::string text = args.Require(name);
  const auto date = ParseIsoDateTime(text);
  if (!date || text.size() != 10) throw UsageError("--" + name + ": data non valida: " + text);
  return DecodeDate(*date);
}

// A bill file that is there but cannot be read ends the command: its figures would be zeros.
void RequireReadable(const Status& readable) {
  if (!readable) throw std::runtime_error(readable.error);
}

// The JSON keeps the lire of the files; the text reads in the program's currency.
std::string Shown(const BillContext& b, const std::string& lireText) {
  return ShownLireText(lireText, b.settings.currency);
}

std::optional<double> Lire(const std::string& text) {
  return ParseDecimal(text);
}

void Print(const BillContext& b, Json j, const std::string& text) {
  if (b.ctx.json) {
    PutCurrency(j, b.settings.currency);
    PrintJson(j);
  } else {
    std::fputs(text.c_str(), stdout);
  }
}

// The tick price of "bill add" in lire: --price is lire whatever the program shows, as the
// bill file and the scripts that call the tool have them; --price-euro is euro ("0.05" or
// "0,05"), kept to the ten-thousandth of a lira as a euro tariff's price is.
double AddedPriceLire(const Args& args, std::string& priceText) {
  const auto lire = args.Get("price");
  const auto euro = args.Get("price-euro");
  if (lire.has_value() == euro.has_value())
    throw UsageError("indicare il costo scatto con --price (lire) o con --price-euro");
  if (lire) {
    priceText = *lire;
    const auto price = ParseDecimal(priceText);
    if (!price || *price < 0) throw UsageError("--price: costo scatto non valido: " + priceText);
    return *price;
  }
  priceText = *euro;
  const auto price = ParseTickPrice(priceText);
  if (!price) throw UsageError("--price-euro: costo scatto non valido: " + priceText);
  return std::round(ToLire(*price, Currency::Euro) * 10000.0) / 10000.0;
}

int Add(const std::vector<std::string>& words) {
  const Args args(words, {});
  args.Allow({"date", "ticks", "price", "price-euro"});
  const DateParts date = RequireDate(args, "date");
  const long long ticks = args.RequireInteger("ticks");
  if (ticks < 0) throw UsageError("--ticks: numero di scatti non valido");
  std::string priceText;
  const double price = AddedPriceLire(args, priceText);
  // Numbers beyond what a bill holds would make its sums overflow: refused.
  if (ticks > kMaxBillTicks) {
    std::fprintf(stderr, "orva32cli: numero di scatti fuori dai limiti: %lld (al massimo %s)\n",
                 ticks, FormatShortest(static_cast<double>(kMaxBillTicks)).c_str());
    return 1;
  }
  if (!IsBillPrice(price)) {
    std::fprintf(stderr, "orva32cli: costo scatto fuori dai limiti: %s (al massimo %s lire)\n",
                 priceText.c_str(), FormatFixed(kMaxBillPrice, 0).c_str());
    return 1;
  }
  const BillContext b = MakeBillContext(words, DataAccess::Write);
  TDataSetINI ds(date.month, date.year, b.options);
  if (const Status st = ds.AddTicks(date.day, ticks, price); !st) {
    std::fprintf(stderr, "orva32cli: %s\n", st.error.c_str());
    return 1;
  }
  const std::string key = FormatTickPrice(price, b.options.decimals);
  const std::string section = BillDaySection(date.day, date.month, date.year);
  Json j = {{"file", ds.FileName()}};
  PutTyped(j, "day", IsoDate(date), section);
  PutTyped(j, "price", DecimalOrNull(key), key);
  PutEuro(j, "price", Lire(key));
  j["added_ticks"] = ticks;
  // The day's ticks after the addition.
  j["ticks"] = ds.TickTotal(date.day, date.day);
  Print(b, j, ds.FileName() + " [" + section + "] " + key + " +" + std::to_string(ticks) + "\n");
  return 0;
}

int Day(const std::vector<std::string>& words) {
  const Args args(words, {});
  args.Allow({"date"});
  const DateParts date = RequireDate(args, "date");
  const BillContext b = MakeBillContext(words);
  const TDataSetINI ds(date.month, date.year, b.options);
  RequireReadable(ds.Readable());
  std::vector<std::string> items;
  ds.DayEntries(date.day, date.day, items);
  Json entries = Json::array();
  std::string text;
  for (const auto& item : items) {
    const auto tab = item.find('\t');
    const std::string ticks = item.substr(0, tab), price = item.substr(tab + 1);
    Json entry = {{"ticks", NumberOrNull(ParseInteger64(ticks))}};
    PutTyped(entry, "price", DecimalOrNull(price), price);
    PutEuro(entry, "price", Lire(price));
    entries.push_back(std::move(entry));
    text += ticks + (b.settings.currency == Currency::Euro ? " a Euro " : " a Lire ") +
            Shown(b, price) + "\n";
  }
  const std::string tickSum = ds.TickSum(date.day, date.day);
  const std::string costSum = ds.CostSum(date.day, date.day);
  const std::string unitTicks = ds.UnitTicks(date.day, date.day);
  Json j = {{"date", IsoDate(date)}, {"entries", entries}};
  PutTyped(j, "ticks", ds.TickTotal(date.day, date.day), tickSum);
  PutTyped(j, "cost", DecimalOrNull(costSum), costSum);
  PutEuro(j, "cost", Lire(costSum));
  PutTyped(j, "unit_ticks", DecimalOrNull(unitTicks), unitTicks);
  text += "Scatti : " + tickSum + "\nCosto : " + Shown(b, costSum) +
          "\nScatti da 127 : " + unitTicks + "\n";
  Print(b, j, text);
  return 0;
}

int Month(const std::vector<std::string>& words) {
  const Args args(words, {});
  args.Allow({"month", "year"});
  const long long month = args.RequireInteger("month");
  const long long year = args.RequireInteger("year");
  if (month < 1 || month > 12) throw UsageError("--month: mese non valido");
  if (year < 1 || year > 9999) throw UsageError("--year: anno non valido");
  const BillContext b = MakeBillContext(words);
  const TDataSetINI ds(static_cast<int>(month), static_cast<int>(year), b.options);
  RequireReadable(ds.Readable());
  Json days = Json::array();
  std::string text = BillMonthTitle(ds.Month(), ds.Year()) + " (" + ds.FileName() + ")\n";
  for (int day = 1; day <= ds.DaysInMonth(); ++day) {
    const std::string unit = ds.UnitTicks(day, day), cost = ds.CostSum(day, day);
    Json d = {{"day", day}, {"date", IsoDate(DateParts{ds.Year(), ds.Month(), day})}};
    PutTyped(d, "unit_ticks", DecimalOrNull(unit), unit);
    PutTyped(d, "cost", DecimalOrNull(cost), cost);
    PutEuro(d, "cost", Lire(cost));
    days.push_back(std::move(d));
    text += std::to_string(day) + "\t" + unit + "\t" + Shown(b, cost) + "\n";
  }
  const std::string unit = ds.UnitTicks(1, 31), cost = ds.CostSum(1, 31);
  Json j = {{"month", ds.Month()}, {"year", ds.Year()}, {"days", days}};
  PutTyped(j, "unit_ticks", DecimalOrNull(unit), unit);
  PutTyped(j, "cost", DecimalOrNull(cost), cost);
  PutEuro(j, "cost", Lire(cost));
  j["file"] = ds.FileName();
  text += "Scatti nel mese : " + unit + "\nCosto nel mese : " + Shown(b, cost) + "\n";
  Print(b, j, text);
  return 0;
}

double VatRate(const Args& args, const BillContext& b) {
  return VatRateOption(args, b.ctx.tariffDir, b.settings.tariffIndex);
}

int Period(const std::vector<std::string>& words) {
  const Args args(words, {});
  args.Allow({"from", "to", "fixed", "suppl", "vat"});
  const DateParts from = RequireDate(args, "from");
  const DateParts to = RequireDate(args, "to");
  const BillContext b = MakeBillContext(words);
  const double vat = VatRate(args, b);
  const std::string fixed = args.Get("fixed").value_or(b.settings.billFixedCosts);
  const std::string suppl = args.Get("suppl").value_or(b.settings.billExtraTicks);
  const auto f = PeriodFigures(from, to, fixed, suppl, vat, b.options);
  if (!f.error.empty()) throw std::runtime_error(f.error);
  BillOptions shownOptions = b.options;
  shownOptions.currency = b.settings.currency;
  const auto shown = PeriodFigures(from, to, fixed, suppl, vat, shownOptions);
  Json j;
  PutTyped(j, "from", IsoDate(from), FormatPeriodDate(from));
  PutTyped(j, "to", IsoDate(to), FormatPeriodDate(to));
  PutTyped(j, "ticks", DecimalOrNull(f.ticksText), f.ticksText);
  PutTyped(j, "net", DecimalOrNull(f.netText), f.netText);
  j["vat_rate"] = vat;
  PutTyped(j, "vat", DecimalOrNull(f.vatText), f.vatText);
  PutTyped(j, "total", DecimalOrNull(f.totalText), f.totalText);
  PutEuro(j, "net", f.net);
  PutEuro(j, "vat", f.vat);
  PutEuro(j, "total", f.total);
  Print(b, j,
        "dal : " + FormatPeriodDate(from) + "  al : " + FormatPeriodDate(to) + "\nScatti : " +
            shown.ticksText + "\nNetto : " + shown.netText + "\nIVA : " + shown.vatText +
            (b.settings.currency == Currency::Euro ? "\nBolletta € : " : "\nBolletta L : ") +
            shown.totalText + "\n");
  return 0;
}

int PeriodCostCommand(const std::vector<std::string>& words) {
  const Args args(words, {});
  args.Allow({});
  const BillContext b = MakeBillContext(words);
  const SystemClock clock;
  const DateParts today = DecodeDate(clock.Now());
  const DateParts start = PeriodStart(b.settings.billStart, today);
  RequireReadable(PeriodReadable(start, today, b.options));
  const double cost = PeriodCost(b.settings.billStart, today, b.options);
  const std::string costText = FormatFixed(cost, b.options.decimals);
  Json j;
  PutTyped(j, "from", IsoDate(start), FormatPeriodDate(start));
  PutTyped(j, "to", IsoDate(today), FormatPeriodDate(today));
  PutTyped(j, "cost", DecimalOrNull(costText), costText);
  PutEuro(j, "cost", cost);
  Print(b, j,
        "dal : " + FormatPeriodDate(start) + "  al : " + FormatPeriodDate(today) +
            "\nCosto in bolletta : " + Shown(b, costText) + "\n");
  return 0;
}

}  // namespace

int RunBill(const std::vector<std::string>& words) {
  if (words.empty()) throw UsageError("uso: bill add|day|month|period|period-cost");
  const std::string& verb = words[0];
  const std::vector<std::string> rest(words.begin() + 1, words.end());
  if (verb == "add") return Add(rest);
  if (verb == "day") return Day(rest);
  if (verb == "month") return Month(rest);
  if (verb == "period") return Period(rest);
  if (verb == "period-cost") return PeriodCostCommand(rest);
  throw UsageError("bill: comando sconosciuto: " + verb);
}

}  // namespace orva::cli

#include "log/TariffComparisonCsv.h"

#include <initializer_list>
#include <string_view>

#include "platform/SafeFile.h"
#include "platform/TextCodec.h"

namespace orva {
namespace {

std::string Field(std::string_view text) {
  if (text.find_first_of(";\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  return out + "\"";
}

void Line(std::string& out, std::initializer_list<std::string_view> fields) {
  bool first = true;
  for (std::string_view f : fields) {
    if (!first) out.push_back(';');
    out += Field(f);
    first = false;
  }
  out += "\r\n";
}

std::string Day(const std::optional<TDateTime>& d) {
  return d ? FormatDateTime("dd/mm/yyyy", *d) : std::string();
}

void Group(std::string& out, const ComparisonGroup& g, Currency currency, int decimals) {
  const std::string kind = g.voice ? "Chiamate a voce" : "Connessioni dati";
  const auto amount = [&](double lire) { return FormatAmountNumber(lire, currency, decimals); };
  Line(out, {kind, "Pagato (dal registro)", amount(g.paid), "", ""});
  for (const TariffTotal& t : g.tariffs) {
    if (!t.error.empty()) {
      Line(out, {kind, t.name, "", "", t.error});
      continue;
    }
    const double cost = static_cast<double>(t.costFixed) / 10000.0;
    Line(out, {kind, t.name, amount(cost), amount(g.paid - cost), ""});
  }
  Line(out, {kind, "Chiamate confrontate", std::to_string(g.calls), "", ""});
  Line(out, {kind, "Senza costo nel registro", std::to_string(g.unpaid), "", ""});
  for (const std::string& u : g.unknown)
    Line(out, {kind, "Durata sconosciuta, esclusa", "", "", u});
}

}  // namespace

std::string TariffComparisonCsv(const TariffComparison& comparison, const ComparisonPeriod& period,
                                Currency currency, int lireDecimals) {
  std::string out;
  Line(out, {"Confronto tariffe", "Dal", Day(period.from), "Al", Day(period.to)});
  const std::string name = CurrencyName(currency);
  Line(out, {"Tipo", "Tariffa", "Costo senza IVA (" + name + ")",
             "Risparmio rispetto al pagato (" + name + ")", "Nota"});
  for (const ComparisonGroup& g : comparison.groups) Group(out, g, currency, lireDecimals);
  return out;
}

Status WriteTariffComparisonCsv(const std::string& path, const TariffComparison& comparison,
                                const ComparisonPeriod& period, Currency currency,
                                int lireDecimals) {
  return ReplaceFile(path,
                     Utf8ToCp1252(TariffComparisonCsv(comparison, period, currency, lireDecimals)));
}

}  // namespace orva

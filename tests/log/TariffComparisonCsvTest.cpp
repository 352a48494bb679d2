// The comparison's CSV file read back by a spreadsheet: fields that hold ';' or '"' stay one
// field, amounts are in the chosen currency, a failed tariff gives its error instead of a cost.
#include "log/TariffComparisonCsv.h"

#include <gtest/gtest.h>

#include "TempDir.h"

namespace orva {
namespace {

TEST(TariffComparisonCsv, EuroAmountsQuotedNamesAndFailedTariffs) {
  TariffComparison c;
  ComparisonGroup g;
  g.calls = 1;
  g.paid = 1936.27;
  g.tariffs = {{"Città; \"notte\"", 9681350, ""}, {"Rotta", 0, "file illeggibile"}};
  g.unknown = {"16/10/1999 11.00.00 Modem: A;B"};
  c.groups.push_back(g);
  const std::string text =
      TariffComparisonCsv(c, {EncodeDate(1999, 10, 1), std::nullopt}, Currency::Euro, 0);
  EXPECT_EQ(
      text,
      "Confronto tariffe;Dal;01/10/1999;Al;\r\n"
      "Tipo;Tariffa;Costo senza IVA (Euro);Risparmio rispetto al pagato (Euro);Nota\r\n"
      "Connessioni dati;Pagato (dal registro);1,00;;\r\n"
      "Connessioni dati;\"Città; \"\"notte\"\"\";0,50;0,50;\r\n"
      "Connessioni dati;Rotta;;;file illeggibile\r\n"
      "Connessioni dati;Chiamate confrontate;1;;\r\n"
      "Connessioni dati;Senza costo nel registro;0;;\r\n"
      "Connessioni dati;Durata sconosciuta, esclusa;;;\"16/10/1999 11.00.00 Modem: A;B\"\r\n");
  test::TempDir dir;
  ASSERT_TRUE(WriteTariffComparisonCsv(dir.File("c.csv"), c, {}, Currency::Euro, 0).ok);
  // Windows-1252, as the log's export.
  EXPECT_NE(test::ReadBytes(dir.File("c.csv")).find("Citt\xe0; "), std::string::npos);
}

}  // namespace
}  // namespace orva

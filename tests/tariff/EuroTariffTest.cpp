// Tariff files that write their prices in euro ("Valuta=Euro"): read as lire, charged the same
// as their lire twins, and kept in euro by the editor.
#include <gtest/gtest.h>

#include "ScriptedDialogs.h"
#include "TariffFixtures.h"
#include "TempDir.h"
#include "core/Currency.h"
#include "platform/IniFile.h"
#include "tariff/Ricalcolo.h"
#include "tariff/Settar.h"
#include "tariff/Tariffe.h"

namespace orva {
namespace {

using test::At;
using test::CrLf;

// The same tariff twice: 10 cents (193,627 lire) a minute by day, 5 cents at night, and an
// answer charge of 50 cents (968 lire).
std::string Tariff(bool euro) {
  return CrLf({"[Dati generali]", "Abbreviazione=T", "Descrizione=Prova", "Aliquota IVA=20",
               euro ? "Addebito fisso=0.50" : "Addebito fisso=968", "Addebito fisso espresso in=1",
               euro ? "Valuta=Euro" : "Valuta=Lire", "[Tariffa feriale]", "Fasce=2",
               euro ? "1=00.00 07.59 60 0.05" : "1=00.00 07.59 60 96.8135",
               euro ? "2=08.00 23.59 60 0.10" : "2=08.00 23.59 60 193.627", "[Tariffa prefestiva]",
               "Fasce=1", euro ? "1=00.00 23.59 60 0.10" : "1=00.00 23.59 60 193.627",
               "[Tariffa festiva]", "Fasce=1",
               euro ? "1=00.00 23.59 60 0.05" : "1=00.00 23.59 60 96.8135"});
}

class EuroTariffTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
};

TEST_F(EuroTariffTest, EuroAndLireTwinsChargeTheSame) {
  const std::string lire = test::WriteTariff(dir, "LIRE.TRF", Tariff(false));
  const std::string euro = test::WriteTariff(dir, "EURO.TRF", Tariff(true));
  for (const TDateTime at : {At(2024, 4, 22, 10), At(2024, 4, 22, 3), At(2024, 4, 27, 12)}) {
    TariffResult a, b;
    ASSERT_TRUE(EvaluateTariffFileRecalc(lire, 0, 0, at, a, dialogs));
    ASSERT_TRUE(EvaluateTariffFileRecalc(euro, 0, 0, at, b, dialogs));
    EXPECT_EQ(a.values.tickCost, b.values.tickCost);
    EXPECT_EQ(a.tickCostFixed, b.tickCostFixed);
    EXPECT_EQ(a.values.fixedCharge, b.values.fixedCharge);
    EXPECT_EQ(b.values.fixedCharge, 968);
    EXPECT_TRUE(b.values.euroPrices);
    EXPECT_FALSE(a.values.euroPrices);
  }
  // A call across the night and day bands costs the same lire either way.
  const auto fromLire =
      RecalculateCallFile(lire, At(2024, 4, 22, 7, 50), At(2024, 4, 22, 8, 20), 2, dialogs);
  const auto fromEuro =
      RecalculateCallFile(euro, At(2024, 4, 22, 7, 50), At(2024, 4, 22, 8, 20), 2, dialogs);
  ASSERT_TRUE(fromLire);
  ASSERT_TRUE(fromEuro);
  EXPECT_EQ(fromLire->cost, fromEuro->cost);
  EXPECT_EQ(fromLire->ticks, fromEuro->ticks);
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(EuroTariffTest, EuroPriceBeyondTheLireBoundIsReportedNotCharged) {
  // 6000 euro are more than the ten million lire a tick may cost.
  const std::string path =
      test::WriteTariff(dir, "CARO.TRF",
                        CrLf({"[Dati generali]", "Valuta=Euro", "[Tariffa feriale]", "Fasce=1",
                              "1=00.00 23.59 60 6000"}));
  TariffResult r;
  const Status st = EvaluateTariffFile(path, 0, 0, At(2024, 4, 22, 10), r, dialogs);
  EXPECT_FALSE(st);
  EXPECT_NE(st.error.find("fuori dai limiti"), std::string::npos);
}

TEST_F(EuroTariffTest, EditorWritesEuroForNewTariffsAndKeepsALoadedFilesCurrency) {
  const BandGrid day = {{"00.00", "23.59", "60", "0.10"}};
  SetTarModel ed(dialogs, dir.path(), Currency::Euro);
  ed.SetDescription("Nuova");
  ed.SetAbbreviation("NU");
  for (int c = 0; c < 3; ++c) {
    ed.SelectDayClass(kOrdinaryPage, c);
    ed.SetGrid(kOrdinaryPage, day);
  }
  const std::string fresh = dir.File("NUOVA.TRF");
  ASSERT_TRUE(ed.SaveFile(fresh));
  EXPECT_EQ(TIniFile(fresh).ReadString(kGeneralSection, "Valuta", ""), "Euro");
  TariffResult r;
  ASSERT_TRUE(EvaluateTariffFile(fresh, 0, 0, At(2024, 4, 22, 10), r, dialogs));
  EXPECT_DOUBLE_EQ(r.values.tickCost, 193.627);

  // An old lire tariff opened and saved in a euro program stays lire, without the key.
  const std::string old = test::WriteTariff(dir, "ESEMPIO.TRF", test::ExampleTariff());
  ASSERT_TRUE(ed.LoadFile(old));
  EXPECT_EQ(ed.PriceCurrency(), Currency::Lire);
  ASSERT_TRUE(ed.SaveFile(old));
  EXPECT_FALSE(TIniFile(old).ValueExists(kGeneralSection, "Valuta"));
  ASSERT_TRUE(EvaluateTariffFile(old, 0, 0, At(2024, 4, 22, 10), r, dialogs));
  EXPECT_EQ(r.values.tickCost, 127);

  // "Nuova" after it goes back to the program's currency.
  ASSERT_TRUE(ed.New());
  EXPECT_EQ(ed.PriceCurrency(), Currency::Euro);
}

}  // namespace
}  // namespace orva

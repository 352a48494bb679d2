#include "log/Logentry.h"

#include <gtest/gtest.h>

#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "log/Logform.h"

namespace orva {
namespace {

struct EntryFixture : ::testing::Test {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  TariffCatalogue catalogue;
  void SetUp() override {
    test::WriteBytes(dir.File("FLAT.TRF"),
                     "[Dati generali]\r\nAbbreviazione=FLT\r\nDescrizione=Piatta\r\n"
                     "Aliquota IVA=20\r\nAddebito fisso=0\r\nAddebito fisso espresso in=0\r\n"
                     "[Tariffa feriale]\r\nFasce=1\r\n1=00.00 23.59 60 127\r\n"
                     "[Tariffa prefestiva]\r\nFasce=1\r\n1=00.00 23.59 60 127\r\n"
                     "[Tariffa festiva]\r\nFasce=1\r\n1=00.00 23.59 60 127\r\n");
    ScanTariffFiles(catalogue, dir.path());
    ASSERT_EQ(catalogue.Size(), 1);
  }
};

TEST_F(EntryFixture, CallAcrossMidnightLastsTwentyMinutes) {
  LogEntryModel e(catalogue, LogModel::NewManualRecord(), true, EncodeDate(2026, 3, 10), 1);
  EXPECT_EQ(e.Caption(), "Inserisci nuova connessione in elenco");
  EXPECT_FALSE(e.OkEnabled());
  ASSERT_TRUE(e.SetStartTime("23.50.00"));
  ASSERT_TRUE(e.SetEndTime("00.10.00"));
  ASSERT_TRUE(e.SetEndDate("11/03/26"));
  EXPECT_FALSE(e.Calcola(dialogs));  // no tariff chosen yet
  e.SetTariff(0);
  ASSERT_TRUE(e.Calcola(dialogs));
  EXPECT_TRUE(e.OkEnabled());
  EXPECT_FALSE(e.CalcolaEnabled());
  EXPECT_EQ(e.Duration(), "00.20.00");
  const TConnObj r = e.Result();
  EXPECT_EQ(r.Date(), "10/03/26");
  EXPECT_EQ(r.Duration(), "00.20.00");
  EXPECT_EQ(r.Tariff(), "FLT");
  EXPECT_EQ(r.Bps(), "n.d");
}

TEST_F(EntryFixture, EndBeforeStartAndChangesAfterCalcola) {
  LogEntryModel e(catalogue, LogModel::NewManualRecord(), true, EncodeDate(2026, 3, 10), 1);
  e.SetTariff(0);
  ASSERT_TRUE(e.SetStartTime("10.00.00"));
  ASSERT_TRUE(e.SetEndTime("09.00.00"));
  EXPECT_FALSE(e.Calcola(dialogs));
  EXPECT_FALSE(e.OkEnabled());
  ASSERT_TRUE(e.SetEndTime("10.05.00"));
  ASSERT_TRUE(e.Calcola(dialogs));
  EXPECT_TRUE(e.OkEnabled());
  EXPECT_FALSE(e.SetStartTime("25.00.00"));  // refused, value kept
  EXPECT_TRUE(e.OkEnabled());
  e.SetTariff(-1);
  EXPECT_FALSE(e.OkEnabled());
  EXPECT_TRUE(e.Duration().empty());
}

TEST_F(EntryFixture, ExistingRecordOpensWithItsDatesAndTariff) {
  TConnObj r = LogModel::NewManualRecord();
  r.Set(LogField::Date, "10/03/26");
  r.Set(LogField::Start, "23.50.00");
  r.Set(LogField::End, "00.10.00");
  r.Set(LogField::Duration, "00.20.00");
  r.Set(LogField::Tariff, "flt");
  LogEntryModel e(catalogue, r, false, EncodeDate(2026, 1, 1), 1);
  EXPECT_EQ(e.OkCaption(), "Modifica");
  EXPECT_EQ(e.StartDateText(), "10/03/26");
  EXPECT_EQ(e.EndDateText(), "11/03/26");
  EXPECT_EQ(e.TariffIndex(), 0);
}

}  // namespace
}  // namespace orva

#include "tariff/Settar.h"

#include <gtest/gtest.h>

#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "core/HowUtils.h"
#include "platform/IniFile.h"
#include "platform/SafeFile.h"
#include "tariff/Tariffe.h"

namespace orva {

namespace {

const BandGrid kDay = {{"00.00", "07.59", "240", "127"},
                       {"08.00", "18.29", "60", "127"},
                       {"18.30", "23.59", "120", "127"}};
const BandGrid kWholeDay = {{"00.00", "23.59", "60", "127"}};

std::vector<std::string> Texts(const test::ScriptedDialogs& d) {
  std::vector<std::string> out;
  for (const auto& s : d.shown) out.push_back(s.text);
  return out;
}

class TariffEditorTest : public ::testing::Test {
 protected:
  // Gives every ordinary day class a valid grid.
  void FillOrdinary() {
    ed.SetGrid(kOrdinaryPage, kDay);
    ed.SelectDayClass(kOrdinaryPage, 1);
    ed.SetGrid(kOrdinaryPage, kWholeDay);
    ed.SelectDayClass(kOrdinaryPage, 2);
    ed.SetGrid(kOrdinaryPage, kWholeDay);
  }
  test::TempDir dir;
  test::ScriptedDialogs d;
  SetTarModel ed{d, dir.path()};
};

}  // namespace

TEST_F(TariffEditorTest, NewTariffShowsOneEmptyBandAndIsIncomplete) {
  EXPECT_EQ(ed.Caption(), "ORVA32 - Impostazione tariffe - NONAME.TRF");
  EXPECT_EQ(ed.Grid(kOrdinaryPage), (BandGrid{{"00.00", "00.00", "0", "0"}}));
  EXPECT_EQ(ed.VatText(), "0");
  EXPECT_FALSE(ed.Modified());
  EXPECT_FALSE(ed.TestBand(kOrdinaryPage));
  EXPECT_TRUE(d.shown.empty());
  EXPECT_FALSE(ed.TestAll());
  ASSERT_EQ(Texts(d),
            std::vector<std::string>{"Impostazione delle tariffe non corretta o incompleta\r"});
  EXPECT_EQ(d.shown[0].type, MsgType::Information);
}

TEST_F(TariffEditorTest, CompleteTestPassesAndStoresEveryGrid) {
  FillOrdinary();
  ed.SelectDayClass(kOrdinaryPage, 0);
  EXPECT_TRUE(ed.TestBand(kOrdinaryPage));
  EXPECT_EQ(Texts(d), std::vector<std::string>{"Impostazione delle tariffe corretta\r"});
  d.shown.clear();
  EXPECT_TRUE(ed.TestAll());
  EXPECT_EQ(Texts(d), std::vector<std::string>{"Tutte le fasce sono impostate correttamente\r"});
  EXPECT_EQ(ed.Bands(kOrdinaryPage, 0),
            (std::vector<std::string>{"00.00 07.59 240 127", "08.00 18.29 60 127",
                                      "18.30 23.59 120 127"}));
  EXPECT_EQ(ed.Bands(kOrdinaryPage, 2), std::vector<std::string>{"00.00 23.59 60 127"});
}

TEST_F(TariffEditorTest, FailingClassIsLeftOnViewWithItsMessages) {
  ed.SetGrid(kOrdinaryPage, kDay);
  ed.SelectDayClass(kOrdinaryPage, 1);
  ed.SetGrid(kOrdinaryPage, {{"00.00", "07.59", "60", "1"}, {"08.01", "23.59", "60", "1"}});
  ed.SelectDayClass(kOrdinaryPage, 0);
  EXPECT_FALSE(ed.TestAll());
  EXPECT_EQ(Texts(d),
            (std::vector<std::string>{
                "Differenza tra inizio periodo e fine periodo precedente > di 1 minuto !\r",
                "Impostazione delle tariffe non corretta o incompleta\r"}));
  EXPECT_EQ(ed.DayClassIndex(kOrdinaryPage), 1);
  EXPECT_EQ(ed.Grid(kOrdinaryPage)[1].start, "08.01");
  EXPECT_EQ(ed.TakeFocus(), (EditorFocus::OnCell(kOrdinaryPage, GridCell{2, 0})));
  EXPECT_EQ(ed.SelectedRow(kOrdinaryPage), 2);
}

TEST_F(TariffEditorTest, BadTimeCellWarnsSelectsItAndKeepsTheBands) {
  FillOrdinary();
  ed.SelectDayClass(kOrdinaryPage, 1);
  ed.SetGrid(kOrdinaryPage, {{"00.00", "07.59", "60", "1"}, {"8.xx", "23.59", "60", "1"}});
  EXPECT_FALSE(ed.TestAll());
  ASSERT_EQ(d.shown.size(), 2u);
  EXPECT_EQ(d.shown[0].text, BadTimeMessage(2, kStartColumn, "8.xx"));
  EXPECT_EQ(d.shown[0].type, MsgType::Warning);
  EXPECT_EQ(d.shown[1].text, "Impostazione delle tariffe non corretta o incompleta\r");
  EXPECT_EQ(ed.DayClassIndex(kOrdinaryPage), 1);
  EXPECT_EQ(ed.Bands(kOrdinaryPage, 1),
            (std::vector<std::string>{"00.00 07.59 60 1", "8.xx 23.59 60 1"}));
  EXPECT_EQ(ed.Bands(kOrdinaryPage, 0).size(), 3u);
  EXPECT_EQ(ed.TakeFocus(), (EditorFocus::OnCell(kOrdinaryPage, GridCell{2, 0})));

  // Adding after a bad end cell is refused the same way, and nothing changes.
  d.shown.clear();
  ed.SetGrid(kOrdinaryPage, {{"00.00", "7;59", "60", "1"}});
  EXPECT_FALSE(ed.AddBand(kOrdinaryPage));
  EXPECT_EQ(Texts(d), std::vector<std::string>{BadTimeMessage(1, kEndColumn, "7;59")});
  EXPECT_EQ(ed.Grid(kOrdinaryPage).size(), 1u);
  EXPECT_FALSE(ed.Modified());
}

TEST_F(TariffEditorTest, VatAndFixedChargeMustBeNumbersNotBelowZero) {
  FillOrdinary();
  for (const char* vat : {"-1", "venti", ""}) {
    d.shown.clear();
    ed.SetVatText(vat);
    EXPECT_FALSE(ed.TestAll()) << vat;
    EXPECT_EQ(Texts(d), std::vector<std::string>{"L'aliquota IVA è errata !\r"});
    EXPECT_EQ(d.shown[0].type, MsgType::Warning);
    EXPECT_EQ(ed.TakeFocus(), (EditorFocus::Field(EditorFocus::Vat)));
  }
  ed.SetVatText("20");
  ed.SetFixedChargeText("-3");
  d.shown.clear();
  EXPECT_FALSE(ed.TestAll());
  EXPECT_EQ(Texts(d), std::vector<std::string>{"Valore addebito fisso errato !\r"});
  EXPECT_EQ(ed.TakeFocus(), (EditorFocus::Field(EditorFocus::FixedCharge)));
  EXPECT_EQ(d.beeps, 4);
}

TEST_F(TariffEditorTest, DiscountBandsAreCheckedOnlyWithTheSwitchOn) {
  FillOrdinary();
  EXPECT_TRUE(ed.TestAll());
  ed.SetDiscountOn(true);
  d.shown.clear();
  EXPECT_FALSE(ed.TestAll());
  EXPECT_EQ(ed.ShownPage(), kDiscountedPage);
  EXPECT_EQ(Texts(d),
            std::vector<std::string>{"Impostazione delle tariffe non corretta o incompleta\r"});
  for (int c = 0; c < 3; ++c) {
    ed.SelectDayClass(kDiscountedPage, c);
    ed.SetGrid(kDiscountedPage, kWholeDay);
  }
  EXPECT_TRUE(ed.TestAll());
  EXPECT_EQ(ed.Bands(kDiscountedPage, 1), std::vector<std::string>{"00.00 23.59 60 127"});
}

TEST_F(TariffEditorTest, AddBandRefusalsAndNewRow) {
  // A new tariff's band 00.00-00.00 has no length.
  EXPECT_FALSE(ed.AddBand(kOrdinaryPage));
  EXPECT_EQ(Texts(d), std::vector<std::string>{"La fascia oraria è errata\r"});

  ed.SetGrid(kOrdinaryPage, {{"00.00", "07.59", "60", "127"}});
  EXPECT_TRUE(ed.AddBand(kOrdinaryPage));
  EXPECT_EQ(ed.Grid(kOrdinaryPage).back(), (BandRow{"08.00", "07.59", "0", "0"}));
  EXPECT_EQ(ed.SelectedRow(kOrdinaryPage), 2);
  EXPECT_TRUE(ed.Modified());
  d.shown.clear();
  EXPECT_FALSE(ed.AddBand(kOrdinaryPage));
  EXPECT_EQ(Texts(d), std::vector<std::string>{"La fascia oraria è errata\r"});

  ed.SetGrid(kOrdinaryPage, kDay);
  d.shown.clear();
  EXPECT_FALSE(ed.AddBand(kOrdinaryPage));
  EXPECT_EQ(Texts(d), std::vector<std::string>{
                          "Impossibile aggiungere fascia oltre a quelle già esistenti\r"});
  EXPECT_EQ(ed.Grid(kOrdinaryPage).size(), 3u);
  EXPECT_EQ(d.beeps, 3);
}

TEST_F(TariffEditorTest, DeleteRemovesTheLastBandButNeverTheOnlyOne) {
  EXPECT_FALSE(ed.DeleteBand(kOrdinaryPage));
  EXPECT_EQ(ed.Grid(kOrdinaryPage).size(), 1u);
  ed.SetGrid(kOrdinaryPage, kDay);
  ed.SelectRow(kOrdinaryPage, 1);
  EXPECT_TRUE(ed.DeleteBand(kOrdinaryPage));
  EXPECT_EQ(ed.Grid(kOrdinaryPage), (BandGrid{kDay[0], kDay[1]}));
  ed.SelectRow(kOrdinaryPage, 2);
  EXPECT_TRUE(ed.DeleteBand(kOrdinaryPage));
  EXPECT_EQ(ed.SelectedRow(kOrdinaryPage), 1);
}

TEST_F(TariffEditorTest, EditFieldsWriteIntoTheSelectedRow) {
  ed.SetGrid(kOrdinaryPage, kDay);
  ed.SelectRow(kOrdinaryPage, 1);
  ed.EditCell(kOrdinaryPage, kStartColumn, "01.00");
  EXPECT_EQ(ed.SelectedBand(kOrdinaryPage).start, "00.00");
  ed.EditCell(kOrdinaryPage, kCostColumn, "");
  ed.EditCell(kOrdinaryPage, kSecondsColumn, "");
  EXPECT_EQ(ed.SelectedBand(kOrdinaryPage), kDay[0]);
  EXPECT_FALSE(ed.Modified());
  ed.EditCell(kOrdinaryPage, kCostColumn, "100");
  EXPECT_FALSE(ed.Modified());
  ed.SelectRow(kOrdinaryPage, 2);
  ed.EditCell(kOrdinaryPage, kStartColumn, "08.05");
  EXPECT_EQ(ed.Grid(kOrdinaryPage)[1].start, "08.05");
  ed.EditCell(kOrdinaryPage, kSecondsColumn, "90");
  EXPECT_TRUE(ed.Modified());
  EXPECT_EQ(ed.Grid(kOrdinaryPage)[1], (BandRow{"08.05", "18.29", "90", "127"}));
  EXPECT_EQ(ed.Grid(kOrdinaryPage)[0].cost, "100");
}

TEST_F(TariffEditorTest, FieldsAreCutAndChangesSetTheModifiedFlag) {
  ed.SetAbbreviation("ABCDEFG");
  EXPECT_EQ(ed.Abbreviation(), "ABCDE");
  EXPECT_TRUE(ed.Modified());
  ed.SetDescription(std::string(70, 'd'));
  EXPECT_EQ(ed.Description().size(), 64u);
  ed.SetVatText("12345678901234");
  EXPECT_EQ(ed.VatText(), "1234567890");
  ed.SetDiscountThresholdText("3a0x0");
  EXPECT_EQ(ed.DiscountThresholdText(), "300");
  EXPECT_EQ(ed.DiscountThreshold(), 300);
  ed.SetDiscountThresholdText("");
  EXPECT_EQ(ed.DiscountThreshold(), 300);
}

TEST_F(TariffEditorTest, UnsavedChangesQuestionGuardsNewClearAndClose) {
  ed.SetGrid(kOrdinaryPage, kDay);
  ed.SetDescription("Mia");
  d.NextAnswer(MsgAnswer::No);
  EXPECT_FALSE(ed.New());
  EXPECT_EQ(d.shown.back().text, "File non salvato, andrà perduto !\r\rContinuo ?\r");
  EXPECT_EQ(d.shown.back().buttons, MsgButtons::YesNo);
  EXPECT_EQ(ed.Description(), "Mia");
  d.NextAnswer(MsgAnswer::No);
  EXPECT_FALSE(ed.ClearPage(kOrdinaryPage));
  EXPECT_EQ(ed.Grid(kOrdinaryPage).size(), 3u);
  d.NextAnswer(MsgAnswer::No);
  EXPECT_FALSE(ed.CanClose());
  d.NextAnswer(MsgAnswer::No);
  EXPECT_FALSE(ed.Load());

  d.NextAnswer(MsgAnswer::Yes);
  EXPECT_TRUE(ed.ClearPage(kOrdinaryPage));
  EXPECT_EQ(ed.Grid(kOrdinaryPage), (BandGrid{{"00.00", "00.00", "0", "0"}}));
  EXPECT_FALSE(ed.Modified());
  EXPECT_TRUE(ed.CanClose());
}

TEST_F(TariffEditorTest, NewEmptiesEverything) {
  FillOrdinary();
  ed.SetDiscountOn(true);
  ed.SelectDayClass(kDiscountedPage, 0);
  ed.SetGrid(kDiscountedPage, kDay);
  ed.SetVatText("20");
  ed.SetFixedChargeUnit(1);
  d.NextAnswer(MsgAnswer::Yes);
  EXPECT_TRUE(ed.New());
  EXPECT_EQ(ed.VatText(), "0");
  EXPECT_EQ(ed.FixedChargeUnit(), 0);
  EXPECT_FALSE(ed.Modified());
  EXPECT_EQ(ed.DayClassIndex(kOrdinaryPage), 0);
  EXPECT_EQ(ed.Grid(kDiscountedPage).size(), 1u);
  EXPECT_EQ(ed.Grid(kOrdinaryPage).size(), 1u);
  for (int c = 0; c < 3; ++c) EXPECT_TRUE(ed.Bands(kOrdinaryPage, c).empty());
}

TEST_F(TariffEditorTest, SaveChecksFirstThenNeedsADescription) {
  EXPECT_FALSE(ed.Save());
  EXPECT_EQ(Texts(d),
            std::vector<std::string>{"Impostazione delle tariffe non corretta o incompleta\r"});
  FillOrdinary();
  d.shown.clear();
  EXPECT_FALSE(ed.Save());
  EXPECT_EQ(Texts(d), std::vector<std::string>{"Inserire un identificatore della tariffa\r"});
  EXPECT_EQ(ed.TakeFocus(), (EditorFocus::Field(EditorFocus::Description)));
  ed.SetDescription("Mia tariffa");
  d.NextFile(std::nullopt);
  EXPECT_FALSE(ed.Save());
  EXPECT_FALSE(FileExists(dir.File("x.TRF")));
}

TEST_F(TariffEditorTest, SavedFileLoadsBackIntoTheSameGrids) {
  FillOrdinary();
  ed.SetDescription("Mia tariffa");
  ed.SetAbbreviation("MIA");
  ed.SetVatText("20");
  ed.SetFixedChargeText("1");
  ed.SetDiscountOn(true);
  ed.SetDiscountThresholdText("300");
  ed.SetDiscountUnit(1);
  for (int c = 0; c < 3; ++c) {
    ed.SelectDayClass(kDiscountedPage, c);
    ed.SetGrid(kDiscountedPage, kWholeDay);
  }
  ed.SelectDayClass(kDiscountedPage, 0);
  ed.SetGrid(kDiscountedPage, kDay);
  d.NextFile(dir.File("mia.txt"));
  ASSERT_TRUE(ed.Save());
  EXPECT_EQ(ed.Caption(), "ORVA32 - Impostazione tariffe - MIA.TRF");
  EXPECT_EQ(ed.FileName(), "mia.TRF");
  EXPECT_FALSE(ed.Modified());
  const std::string saved = dir.File("mia.TRF");
  ASSERT_TRUE(FileExists(saved));
  {
    const TIniFile ini(saved);
    EXPECT_EQ(ini.ReadString("Sconto", "Attivo a", ""), "1");
    EXPECT_EQ(ini.ReadString("Sconto", "Dopo", ""), "300");
    EXPECT_EQ(ini.ReadString("Dati generali", "Nome file", ""), "mia.TRF");
    EXPECT_EQ(ini.ReadString("Tariffa feriale", "Fasce", ""), "3");
  }

  test::ScriptedDialogs d2;
  SetTarModel other(d2, dir.path());
  d2.NextFile(saved);
  ASSERT_TRUE(other.Load());
  EXPECT_EQ(other.Caption(), "ORVA32 - Impostazione tariffe - MIA.TRF");
  EXPECT_EQ(other.Description(), "Mia tariffa");
  EXPECT_EQ(other.Abbreviation(), "MIA");
  EXPECT_EQ(other.FixedChargeText(), "1");
  EXPECT_TRUE(other.DiscountOn());
  EXPECT_EQ(other.DiscountThresholdText(), "300");
  EXPECT_EQ(other.DiscountUnit(), 1);
  EXPECT_EQ(other.DayClassIndex(kOrdinaryPage), 0);
  EXPECT_EQ(other.Grid(kOrdinaryPage), kDay);
  EXPECT_EQ(other.Grid(kDiscountedPage), kDay);
  EXPECT_EQ(other.ToTariffFile().bands, ed.ToTariffFile().bands);
  EXPECT_EQ(other.ToTariffFile().discountBands, ed.ToTariffFile().discountBands);
  EXPECT_FALSE(other.Modified());
  EXPECT_TRUE(other.TestAll());
}

TEST_F(TariffEditorTest, SavingWithDiscountOffDropsDiscountSectionsKeepsOthers) {
  const std::string path = dir.File("OLD.TRF");
  test::WriteBytes(path,
                   "[Mio]\r\nx=1\r\n[Sconto]\r\nAttivo a=0\r\nDopo=10\r\n"
                   "[Tariffa feriale scontata]\r\nFasce=1\r\n1=00.00 23.59 60 50\r\n");
  ASSERT_TRUE(ed.LoadFile(path));
  EXPECT_TRUE(ed.DiscountOn());
  EXPECT_EQ(ed.Description(), "None");
  EXPECT_EQ(ed.VatText(), "20");
  FillOrdinary();
  ed.SetDiscountOn(false);
  ed.SetDescription("Vecchia");
  ASSERT_TRUE(ed.SaveFile(path));
  const TIniFile ini(path);
  EXPECT_FALSE(ini.SectionExists("Sconto"));
  EXPECT_FALSE(ini.SectionExists("Tariffa feriale scontata"));
  EXPECT_EQ(ini.ReadString("Mio", "x", ""), "1");
}

TEST_F(TariffEditorTest, LoadedFileWithoutDiscountShowsTheSwitchOff) {
  const std::string path = dir.File("esempio.trf");
  test::WriteBytes(path,
                   "[Dati generali]\r\nDescrizione=Esempio\r\nAddebito fisso=1\r\n"
                   "[Tariffa feriale]\r\nFasce=2\r\n1=00.00 07.59 240\r\n2=08.00 23.59 60 100\r\n"
                   "[Sconto]\r\nAttivo a=0\r\nDopo=-1\r\n");
  ASSERT_TRUE(ed.LoadFile(path));
  EXPECT_EQ(ed.FileName(), "ESEMPIO.TRF");
  EXPECT_FALSE(ed.DiscountOn());
  EXPECT_EQ(ed.DiscountThresholdText(), "");
  EXPECT_EQ(ed.DiscountUnit(), -1);
  EXPECT_EQ(ed.Grid(kOrdinaryPage),
            (BandGrid{{"00.00", "07.59", "240", "127"}, {"08.00", "23.59", "60", "100"}}));
  EXPECT_FALSE(ed.LoadFile(dir.File("missing.trf")));
}

}  // namespace orva

namespace orva {

TEST(CheckTariffFile, ShippedTariffsPass) {
  const std::string dir = std::string(ORVA_SOURCE_DIR) + "/data/tariffe/";
  for (const char* name : {"ESEMPIO.TRF", "INTERNET.TRF", "URBANA.TRF"}) {
    if (!FileExists(dir + name)) continue;
    const auto check = CheckTariffFile(dir + name);
    ASSERT_TRUE(check) << name;
    EXPECT_TRUE(check->passed) << name;
    EXPECT_EQ(check->messages,
              std::vector<std::string>{"Tutte le fasce sono impostate correttamente"});
  }
}

TEST(CheckTariffFile, MessagesComeInOrderWithoutLineEnds) {
  test::TempDir dir;
  const std::string noBands = dir.File("vuota.trf");
  test::WriteBytes(noBands, "[Dati generali]\r\nDescrizione=Vuota\r\n");
  auto check = CheckTariffFile(noBands);
  ASSERT_TRUE(check);
  EXPECT_FALSE(check->passed);
  EXPECT_EQ(check->messages,
            std::vector<std::string>{"Impostazione delle tariffe non corretta o incompleta"});

  const std::string gap = dir.File("buco.trf");
  test::WriteBytes(
      gap, "[Tariffa feriale]\r\nFasce=2\r\n1=00.00 07.59 60 127\r\n2=08.01 23.59 60 127\r\n");
  check = CheckTariffFile(gap);
  ASSERT_TRUE(check);
  EXPECT_EQ(check->messages,
            (std::vector<std::string>{
                "Differenza tra inizio periodo e fine periodo precedente > di 1 minuto !",
                "Impostazione delle tariffe non corretta o incompleta",
                // The band at fault, as the file holds it.
                "[Tariffa feriale] 2=08.01 23.59 60 127"}));

  // A bad time in the festive bands, after two good classes; then a bad VAT.
  const std::string bad = dir.File("ora.trf");
  const std::string day = "Fasce=1\r\n1=00.00 23.59 60 127\r\n";
  test::WriteBytes(bad, "[Tariffa feriale]\r\n" + day + "[Tariffa prefestiva]\r\n" + day +
                            "[Tariffa festiva]\r\nFasce=1\r\n1=00.00 2359 60 127\r\n");
  check = CheckTariffFile(bad);
  ASSERT_TRUE(check);
  ASSERT_EQ(check->messages.size(), 3u);
  EXPECT_NE(check->messages[0].find("2359"), std::string::npos);
  EXPECT_NE(check->messages[0].find("fascia 1"), std::string::npos);
  EXPECT_EQ(check->messages[2], "[Tariffa festiva] 1=00.00 2359 60 127");

  test::WriteBytes(bad, "[Dati generali]\r\nAliquota IVA=-1\r\n[Tariffa feriale]\r\n" + day +
                            "[Tariffa prefestiva]\r\n" + day + "[Tariffa festiva]\r\n" + day);
  check = CheckTariffFile(bad);
  ASSERT_TRUE(check);
  EXPECT_EQ(check->messages, std::vector<std::string>{"L'aliquota IVA è errata !"});

  EXPECT_FALSE(CheckTariffFile(dir.File("manca.trf")));
}

}  // namespace orva

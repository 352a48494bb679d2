#include "tariff/Tariffe.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <cstdio>
#include <cstdlib>

#include <chrono>

#include "ScriptedDialogs.h"
#include "TariffFixtures.h"
#include "TempDir.h"

namespace orva {
namespace {

using test::At;
using test::CrLf;
using test::ExampleTariff;
using test::WriteTariff;

TEST(SplitBandLine, FieldsAndMissingCost) {
  struct Case {
    const char* line;
    BandFields want;
  };
  const Case cases[] = {
      {"00.00 07.59 240 127", {"00.00", "07.59", "240", "127"}},
      {"00.00 23.59 60", {"00.00", "23.59", "60", "127"}},
      {"00.00 23.59 60 ", {"00.00", "23.59", "60", "127"}},
      {"00.00 23.59", {"00.00", "23.59", "", "127"}},
      {"00.00", {"00.00", "", "", "127"}},
      {"", {"", "", "", "127"}},
      // Everything after the tick length is the cost, blanks included.
      {"00.00 23.59 60 127 x", {"00.00", "23.59", "60", "127 x"}},
      // A doubled blank makes an empty field and shifts the rest.
      {"00.00  23.59 60 127", {"00.00", "", "23.59", "60 127"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitBandLine(c.line), c.want) << c.line;
}

class TariffFileTest : public ::testing::Test {
 protected:
  test::TempDir dir;
};

TEST_F(TariffFileTest, ReadUsesEditorDefaultsAndCuts) {
  const auto path =
      WriteTariff(dir, "A.TRF",
                  CrLf({"[Dati generali]", "Abbreviazione=ABCDEFGH", "Aliquota IVA=12345678901234",
                        "[Tariffa feriale]", "Fasce=2", "1=00.00 11.59 60 127"}));
  const auto t = ReadTariffFile(path);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->description, "None");
  EXPECT_EQ(t->abbreviation, "ABCDE");
  EXPECT_EQ(t->vatText, "1234567890");
  EXPECT_EQ(t->fixedChargeText, "0");
  EXPECT_EQ(t->fixedChargeUnit, 0);
  // The count rules: a key that is missing reads as an empty line.
  EXPECT_EQ(t->bands[0], (std::vector<std::string>{"00.00 11.59 60 127", ""}));
  EXPECT_TRUE(t->bands[1].empty());
  EXPECT_FALSE(t->discountEnabled);
  EXPECT_EQ(t->discountAfter, -1);
  EXPECT_FALSE(ReadTariffFile(dir.File("missing.TRF")));
}

TEST_F(TariffFileTest, DiscountSwitchFollowsDopo) {
  const auto on = WriteTariff(dir, "ON.TRF", CrLf({"[Sconto]", "Attivo a=1", "Dopo=300"}));
  const auto off = WriteTariff(dir, "OFF.TRF", CrLf({"[Sconto]", "Attivo a=0", "Dopo=-1"}));
  EXPECT_TRUE(ReadTariffFile(on)->discountEnabled);
  EXPECT_EQ(ReadTariffFile(on)->discountUnit, 1);
  EXPECT_EQ(ReadTariffFile(on)->discountAfter, 300);
  EXPECT_FALSE(ReadTariffFile(off)->discountEnabled);
}

TEST_F(TariffFileTest, WriteProducesTheEditorLayout) {
  TariffFile t;
  t.fileName = "ESEMPIO.TRF";
  t.abbreviation = "ESE";
  t.description = "Tariffa di esempio";
  t.vatText = "20";
  t.fixedChargeText = "1";
  t.bands[0] = {"00.00 07.59 240 127", "08.00 18.29 60 127", "18.30 23.59 120 127"};
  t.bands[1] = {"00.00 12.59 60 127", "13.00 23.59 240 127"};
  t.bands[2] = {"00.00 23.59 240 127"};
  const std::string path = dir.File("ESEMPIO.TRF");
  ASSERT_TRUE(WriteTariffFile(path, t));
  EXPECT_EQ(test::ReadBytes(path), ExampleTariff());
  t.discountEnabled = false;
  EXPECT_EQ(*ReadTariffFile(path), t);
}

TEST_F(TariffFileTest, SaveKeepsOtherSectionsAndDropsDiscountWhenOff) {
  const auto path =
      WriteTariff(dir, "X.TRF",
                  CrLf({"[Note]", "autore=io", "[Dati generali]", "Descrizione=vecchia", "[Sconto]",
                        "Attivo a=0", "Dopo=10", "[Tariffa feriale scontata]", "Fasce=1",
                        "1=00.00 23.59 10 1", "[Altro]", "x=1"}));
  TariffFile t = *ReadTariffFile(path);
  ASSERT_TRUE(t.discountEnabled);
  t.description = "nuova";
  t.bands[0] = {"00.00 23.59 60 127"};
  t.discountEnabled = false;
  ASSERT_TRUE(WriteTariffFile(path, t));
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("Note", "autore", ""), "io");
  EXPECT_EQ(ini.ReadString("Altro", "x", ""), "1");
  EXPECT_EQ(ini.ReadString("Dati generali", "Descrizione", ""), "nuova");
  EXPECT_FALSE(ini.SectionExists("Sconto"));
  EXPECT_FALSE(ini.SectionExists("Tariffa feriale scontata"));

  t.discountEnabled = true;
  t.discountUnit = 1;
  t.discountAfter = 300;
  t.discountBands[0] = {"00.00 23.59 120 100"};
  ASSERT_TRUE(WriteTariffFile(path, t));
  const TariffFile back = *ReadTariffFile(path);
  EXPECT_EQ(back, t);
}

TEST_F(TariffFileTest, CatalogueIsSortedWithoutCaseAndKeepsListsAligned) {
  WriteTariff(dir, "B.TRF", CrLf({"[Dati generali]", "Descrizione=beta", "Abbreviazione=BB"}));
  WriteTariff(dir, "a.trf", CrLf({"[Dati generali]", "Descrizione=Alfa"}));
  WriteTariff(dir, "C.TRF", CrLf({"[Dati generali]", "Descrizione=", "Abbreviazione=CC"}));
  // Same description as B.TRF without regard to case: the first file by name is kept.
  WriteTariff(dir, "D.TRF", CrLf({"[Dati generali]", "Descrizione=BETA", "Abbreviazione=DD"}));
  WriteTariff(dir, "E.TRF",
              CrLf({"[Dati generali]", ("Descrizione=" + std::string(70, 'z')).c_str()}));
  WriteTariff(dir, "notes.txt", "x");
  std::vector<std::string> seen;
  TariffCatalogue c;
  ScanTariffFiles(c, dir.path(), [&](const std::string& name) { seen.push_back(name); });
  EXPECT_EQ(c.descriptions,
            (std::vector<std::string>{"Alfa", "beta", "C.TRF", std::string(64, 'z')}));
  EXPECT_EQ(c.abbreviations, (std::vector<std::string>{"None", "BB", "CC", "None"}));
  EXPECT_EQ(c.paths, (std::vector<std::string>{dir.File("a.trf"), dir.File("B.TRF"),
                                               dir.File("C.TRF"), dir.File("E.TRF")}));
  EXPECT_EQ(seen.size(), 5u);
  EXPECT_EQ(c.IndexOfDescription("BETA"), 1);
  EXPECT_EQ(c.IndexOfDescription("gamma"), -1);
  EXPECT_EQ(c.IndexOfAbbreviation("cc"), 2);
}

class EvaluateTariffTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = WriteTariff(dir, "ESEMPIO.TRF", ExampleTariff());
    ScanTariffFiles(catalogue, dir.path());
  }
  TariffResult Eval(TDateTime moment, int ticks = 0, TDateTime elapsed = 0) {
    TariffResult r;
    status = EvaluateTariff(catalogue, 0, ticks, elapsed, moment, r, dialogs);
    return r;
  }
  test::TempDir dir;
  std::string path;
  TariffCatalogue catalogue;
  test::ScriptedDialogs dialogs;
  Status status;
};

TEST_F(EvaluateTariffTest, WeekdayBandMatches) {
  const TariffResult r = Eval(At(2024, 4, 22, 10, 15, 30));  // a Monday
  ASSERT_TRUE(status) << status.error;
  EXPECT_EQ(r.values.tickSeconds, 60);
  EXPECT_EQ(r.values.tickCost, 127);
  EXPECT_EQ(r.values.tickText, "00.01.00");
  EXPECT_DOUBLE_EQ(r.values.vatRate, 0.2);
  EXPECT_EQ(r.values.fixedCharge, 1);
  EXPECT_EQ(r.values.fixedChargeUnit, 0);
  EXPECT_FALSE(r.values.discountActive);
  EXPECT_EQ(r.dayClass, DayClass::Feriale);
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(EvaluateTariffTest, LastMinuteOfABandKeepsTickLengthAndTakesLastCost) {
  WriteTariff(dir, "ESEMPIO.TRF",
              CrLf({"[Tariffa feriale]", "Fasce=3", "1=00.00 07.59 240 100", "2=08.00 18.29 60 110",
                    "3=18.30 23.59 120 120"}));
  // The values kept are those of the same tariff's last evaluation (the evening band here).
  TariffResult r;
  ASSERT_TRUE(EvaluateTariff(catalogue, 0, 0, 0, At(2024, 4, 22, 20, 0, 0), r, dialogs));
  ASSERT_TRUE(EvaluateTariff(catalogue, 0, 0, 0, At(2024, 4, 22, 18, 29, 30), r, dialogs));
  EXPECT_EQ(r.values.tickSeconds, 120);
  EXPECT_EQ(r.values.tickText, "00.02.00");
  EXPECT_EQ(r.values.tickCost, 120);
  // The band's end minute itself still matches at its first instant.
  ASSERT_TRUE(EvaluateTariff(catalogue, 0, 0, 0, At(2024, 4, 22, 18, 29, 0), r, dialogs));
  EXPECT_EQ(r.values.tickSeconds, 60);
  EXPECT_EQ(r.values.tickCost, 110);
}

TEST_F(EvaluateTariffTest, LastMinuteOfABandOnAnotherTariffTakesThatBandsTick) {
  // Two providers on different tariffs: the 18.29 minute of the second one must not run on
  // the first one's ticks, nor on values no tariff gave (a first evaluation).
  WriteTariff(dir, "INT.TRF",
              CrLf({"[Dati generali]", "Descrizione=Zeta", "[Tariffa feriale]", "Fasce=2",
                    "1=00.00 18.29 12.5 127", "2=18.30 23.59 20 127"}));
  ScanTariffFiles(catalogue, dir.path());
  ASSERT_EQ(catalogue.descriptions[1], "Zeta");
  TariffResult r;
  ASSERT_TRUE(EvaluateTariff(catalogue, 0, 0, 0, At(2024, 4, 22, 20), r, dialogs));
  EXPECT_EQ(r.values.tickSeconds, 120);
  ASSERT_TRUE(EvaluateTariff(catalogue, 1, 0, 0, At(2024, 4, 22, 18, 29, 30), r, dialogs));
  EXPECT_EQ(r.values.tickSeconds, 12.5);
  EXPECT_EQ(r.values.tickText, "00.00.12");
  EXPECT_EQ(r.values.tickCost, 127);  // the last band's, as in the same tariff
  TariffResult first;
  first.values.tickSeconds = 33;
  ASSERT_TRUE(EvaluateTariff(catalogue, 0, 0, 0, At(2024, 4, 22, 7, 59, 30), first, dialogs));
  EXPECT_EQ(first.values.tickSeconds, 240);
  // Back on the first tariff in the same minute: its own 07.59 band again, not 12.5.
  ASSERT_TRUE(EvaluateTariff(catalogue, 1, 0, 0, At(2024, 4, 22, 7, 59, 30), first, dialogs));
  ASSERT_TRUE(EvaluateTariff(catalogue, 0, 0, 0, At(2024, 4, 22, 7, 59, 40), first, dialogs));
  EXPECT_EQ(first.values.tickSeconds, 240);
}

TEST_F(EvaluateTariffTest, DayClasses) {
  struct Case {
    TDateTime moment;
    DayClass want;
    double tick;
  };
  const Case cases[] = {
      {At(2024, 4, 27, 10), DayClass::Prefestiva, 60},   // Saturday morning
      {At(2024, 4, 27, 14), DayClass::Prefestiva, 240},  // Saturday afternoon
      {At(2024, 4, 28, 10), DayClass::Festiva, 240},     // Sunday
      {At(2018, 4, 25, 10), DayClass::Festiva, 240},     // 25 April on a Wednesday
      {At(2020, 4, 25, 10), DayClass::Festiva, 240},     // 25 April on a Saturday
      {At(2024, 4, 1, 10), DayClass::Festiva, 240},      // Easter Monday
      {At(2024, 12, 24, 10), DayClass::Feriale, 60},     // a holiday's eve is no Saturday
  };
  for (const auto& c : cases) {
    const TariffResult r = Eval(c.moment);
    EXPECT_TRUE(status);
    EXPECT_EQ(r.dayClass, c.want) << FormatIso(c.moment);
    EXPECT_EQ(r.values.tickSeconds, c.tick) << FormatIso(c.moment);
  }
}

TEST_F(EvaluateTariffTest, DiscountByTicksAndBySeconds) {
  WriteTariff(
      dir, "ESEMPIO.TRF",
      CrLf({"[Tariffa feriale]", "Fasce=1", "1=00.00 23.59 60 127", "[Sconto]", "Attivo a=0",
            "Dopo=5", "[Tariffa feriale scontata]", "Fasce=1", "1=00.00 23.59 90 100"}));
  const TDateTime monday = At(2024, 4, 22, 10);
  TariffResult r = Eval(monday, 4);
  EXPECT_FALSE(r.values.discountActive);
  EXPECT_EQ(r.values.tickSeconds, 60);
  r = Eval(monday, 5);
  EXPECT_TRUE(r.values.discountActive);
  EXPECT_EQ(r.values.tickSeconds, 90);
  EXPECT_EQ(r.values.tickCost, 100);

  WriteTariff(
      dir, "ESEMPIO.TRF",
      CrLf({"[Tariffa feriale]", "Fasce=1", "1=00.00 23.59 60 127", "[Sconto]", "Attivo a=1",
            "Dopo=3900", "[Tariffa feriale scontata]", "Fasce=1", "1=00.00 23.59 90 100"}));
  EXPECT_FALSE(Eval(monday, 1000, 3899.0 / 86400).values.discountActive);
  EXPECT_TRUE(Eval(monday, 0, 3900.0 / 86400).values.discountActive);
  EXPECT_TRUE(Eval(monday, 0, EncodeTime(1, 5, 0)).values.discountActive);

  // Without "Dopo", or with another unit, there is no discount.
  WriteTariff(
      dir, "ESEMPIO.TRF",
      CrLf({"[Tariffa feriale]", "Fasce=1", "1=00.00 23.59 60 127", "[Sconto]", "Attivo a=2",
            "Dopo=0", "[Tariffa feriale scontata]", "Fasce=1", "1=00.00 23.59 90 100"}));
  EXPECT_FALSE(Eval(monday, 100, 1).values.discountActive);
}

TEST_F(EvaluateTariffTest, IndexOutsideTheCatalogueEvaluatesTariffZero) {
  WriteTariff(dir, "ZZ.TRF",
              CrLf({"[Dati generali]", "Descrizione=zz", "[Tariffa feriale]", "Fasce=1",
                    "1=00.00 23.59 30 50"}));
  ScanTariffFiles(catalogue, dir.path());
  ASSERT_EQ(catalogue.Size(), 2);
  for (int index : {300, 2, -1, 256}) {
    TariffResult r;
    ASSERT_TRUE(EvaluateTariff(catalogue, index, 0, 0, At(2024, 4, 22, 10), r, dialogs));
    EXPECT_EQ(r.values.tickSeconds, 60) << index;
  }
  TariffResult r;
  ASSERT_TRUE(EvaluateTariff(catalogue, 1, 0, 0, At(2024, 4, 22, 10), r, dialogs));
  EXPECT_EQ(r.values.tickSeconds, 30);
}

TEST_F(EvaluateTariffTest, TickLengthsAndTexts) {
  struct Case {
    const char* seconds;
    double want;
    const char* text;
  };
  const Case cases[] = {
      {"62.5", 62.5, "00.01.02"},
      {"3725", 3725, "01.02.05"},
      {"0.5", 0.5, "00.00.00"},
      // Not a number, zero or negative: 60 seconds, never a division by zero.
      {"abc", 60, "00.01.00"},
      {"0", 60, "00.01.00"},
      {"-5", 60, "00.01.00"},
      {"", 60, "00.01.00"},
      // The text takes the whole seconds modulo 65536.
      {"70000", 70000, "01.14.24"},
  };
  for (const auto& c : cases) {
    WriteTariff(dir, "ESEMPIO.TRF",
                CrLf({"[Tariffa feriale]", "Fasce=1",
                      ("1=00.00 23.59 " + std::string(c.seconds) + " 127").c_str()}));
    const TariffResult r = Eval(At(2024, 4, 22, 10));
    ASSERT_TRUE(status) << status.error;
    EXPECT_EQ(r.values.tickSeconds, c.want) << c.seconds;
    EXPECT_EQ(r.values.tickText, c.text) << c.seconds;
  }
}

TEST_F(EvaluateTariffTest, BadValuesFallBack) {
  WriteTariff(dir, "ESEMPIO.TRF",
              CrLf({"[Dati generali]", "Aliquota IVA=venti", "Addebito fisso=1.5",
                    "Addebito fisso espresso in=x", "[Tariffa feriale]", "Fasce=1",
                    "1=00.00 23.59 60 caro"}));
  const TariffResult r = Eval(At(2024, 4, 22, 10));
  ASSERT_TRUE(status);
  EXPECT_DOUBLE_EQ(r.values.vatRate, 0.2);
  EXPECT_EQ(r.values.fixedCharge, 0);
  EXPECT_EQ(r.values.fixedChargeUnit, 0);
  EXPECT_EQ(r.values.tickCost, 127);
}

TEST_F(EvaluateTariffTest, LongValuesAreCutTo128Characters) {
  // Cut to 128 characters the VAT text is a number; whole it would not be (and would read as
  // 20 %). As a number it is far beyond any VAT rate, so the tariff is refused.
  const std::string vat = "1" + std::string(127, '0') + "x";
  WriteTariff(dir, "ESEMPIO.TRF",
              CrLf({"[Dati generali]", ("Aliquota IVA=" + vat).c_str(), "[Tariffa feriale]",
                    "Fasce=1", "1=00.00 23.59 60 127"}));
  Eval(At(2024, 4, 22, 10));
  EXPECT_FALSE(status);
  EXPECT_NE(status.error.find("aliquota IVA"), std::string::npos) << status.error;
  // The same for a band line: its cost, cut, is a 113-digit number.
  WriteTariff(dir, "ESEMPIO.TRF",
              CrLf({"[Tariffa feriale]", "Fasce=1",
                    ("1=00.00 23.59 60 " + std::string(113, '1') + "x").c_str()}));
  Eval(At(2024, 4, 22, 10));
  EXPECT_FALSE(status);
  EXPECT_NE(status.error.find("costo scatto fuori dai limiti"), std::string::npos) << status.error;
}

TEST_F(EvaluateTariffTest, InvalidBandTimeIsAnErrorNamingFileAndLine) {
  WriteTariff(
      dir, "ESEMPIO.TRF",
      CrLf({"[Tariffa feriale]", "Fasce=2", "1=00.00 07.59 240 127", "2=08.00 25.99 60 127"}));
  Eval(At(2024, 4, 22, 10));
  ASSERT_FALSE(status);
  EXPECT_NE(status.error.find(path), std::string::npos) << status.error;
  EXPECT_NE(status.error.find("Tariffa feriale"), std::string::npos);
  EXPECT_NE(status.error.find("2 \"08.00 25.99 60 127\""), std::string::npos) << status.error;
  // The search stops at the first match: a bad line after it is not read.
  ASSERT_TRUE(Eval(At(2024, 4, 22, 7)).values.tickSeconds == 240);
  EXPECT_TRUE(status);
  // A count above the lines present gives an empty line: an error, not a crash.
  WriteTariff(dir, "ESEMPIO.TRF", CrLf({"[Tariffa feriale]", "Fasce=3", "1=00.00 07.59 240 127"}));
  Eval(At(2024, 4, 22, 10));
  EXPECT_FALSE(status);
  EXPECT_NE(status.error.find("fascia 2"), std::string::npos) << status.error;
}

TEST_F(EvaluateTariffTest, HugeBandCountEndsQuickly) {
  WriteTariff(dir, "ESEMPIO.TRF",
              CrLf({"[Tariffa feriale]", "Fasce=2000000000", "1=00.00 07.59 240 127"}));
  const auto begin = std::chrono::steady_clock::now();
  Eval(At(2024, 4, 22, 10));
  EXPECT_FALSE(status);
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(1));
}

TEST_F(EvaluateTariffTest, NoBandsForTheDayClassKeepsTickLength) {
  WriteTariff(dir, "ESEMPIO.TRF", CrLf({"[Tariffa feriale]", "Fasce=1", "1=00.00 23.59 30 5"}));
  TariffResult r = Eval(At(2024, 4, 22, 10));
  EXPECT_EQ(r.values.tickSeconds, 30);
  ASSERT_TRUE(EvaluateTariff(catalogue, 0, 0, 0, At(2024, 4, 28, 10), r, dialogs));
  EXPECT_EQ(r.values.tickSeconds, 30);
  EXPECT_EQ(r.values.tickCost, 127);
}

TEST_F(EvaluateTariffTest, FileIsReadAtEveryEvaluation) {
  EXPECT_EQ(Eval(At(2024, 4, 22, 10)).values.tickSeconds, 60);
  WriteTariff(dir, "ESEMPIO.TRF", CrLf({"[Tariffa feriale]", "Fasce=1", "1=00.00 23.59 45 9"}));
  EXPECT_EQ(Eval(At(2024, 4, 22, 10)).values.tickSeconds, 45);
}

TEST_F(EvaluateTariffTest, FileChangedInPlaceOrRemovedCountsAtTheNextEvaluation) {
  // A file last written long ago, then written over in place: the same inode and size.
  WriteTariff(dir, "ESEMPIO.TRF", CrLf({"[Tariffa feriale]", "Fasce=1", "1=00.00 23.59 45 9"}));
  const timespec longAgo[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), longAgo, 0), 0);
  EXPECT_EQ(Eval(At(2024, 4, 22, 10)).values.tickSeconds, 45);
  EXPECT_EQ(Eval(At(2024, 4, 22, 10)).values.tickSeconds, 45);
  for (const char* seconds : {"46", "47"}) {
    std::FILE* f = std::fopen(path.c_str(), "r+");
    ASSERT_NE(f, nullptr);
    std::fseek(f, -6, SEEK_END);  // "45 9" and CR LF end the file
    std::fputs(seconds, f);
    std::fclose(f);
    EXPECT_EQ(Eval(At(2024, 4, 22, 10)).values.tickSeconds, std::atoi(seconds));
  }
  std::remove(path.c_str());
  EXPECT_EQ(Eval(At(2024, 4, 22, 10)).values.tickCost, 127);
  EXPECT_FALSE(dialogs.shown.empty());
}

TEST_F(EvaluateTariffTest, MissingFileGivesDefaultBandAndReportsEachLoad) {
  TariffResult r;
  r.values.fixedChargeUnit = 1;
  r.values.discountActive = true;
  r.values.vatRate = 0.04;
  const std::string missing = dir.File("GONE.TRF");
  ASSERT_TRUE(EvaluateTariffFile(missing, 0, 0, At(2024, 4, 22, 10), r, dialogs));
  EXPECT_EQ(r.values.tickSeconds, 60);
  EXPECT_EQ(r.values.tickCost, 127);
  EXPECT_DOUBLE_EQ(r.values.vatRate, 0.2);
  EXPECT_EQ(r.values.fixedCharge, 0);
  // Unit and discount flag are set only by the load of an existing file.
  EXPECT_EQ(r.values.fixedChargeUnit, 1);
  EXPECT_TRUE(r.values.discountActive);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "File tariffe " + missing + " non trovato !");
  EXPECT_EQ(dialogs.shown[0].type, MsgType::Error);
  EXPECT_EQ(dialogs.shown[0].buttons, MsgButtons::Ok);

  dialogs.shown.clear();
  // A holiday on a Wednesday.
  EXPECT_TRUE(EvaluateTariffFile(missing, 0, 0, At(2018, 4, 25, 10), r, dialogs));
  EXPECT_EQ(dialogs.shown.size(), 2u);
  dialogs.shown.clear();
  EXPECT_TRUE(EvaluateTariffFile(missing, 0, 0, At(2024, 4, 28, 10), r, dialogs));  // Sunday
  EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST(EvaluateTariff, EmptyCatalogueGivesDefaultBandSilently) {
  test::ScriptedDialogs dialogs;
  TariffCatalogue empty;
  TariffResult r;
  r.values.tickSeconds = 5;
  r.values.vatRate = 0.1;
  r.values.fixedCharge = 9;
  ASSERT_TRUE(EvaluateTariff(empty, 3, 0, 0, At(2024, 4, 22, 10), r, dialogs));
  EXPECT_EQ(r.values.tickSeconds, 60);
  EXPECT_EQ(r.values.tickCost, 127);
  EXPECT_DOUBLE_EQ(r.values.vatRate, 0.2);
  EXPECT_EQ(r.values.fixedCharge, 0);
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(EvaluateTariffTest, RecalculationKeepsFourDecimalsInFixedPoint) {
  WriteTariff(dir, "ESEMPIO.TRF",
              CrLf({"[Tariffa feriale]", "Fasce=2", "1=00.00 11.59 60 127.12345",
                    "2=12.00 23.59 60 n.d."}));
  TariffResult r;
  ASSERT_TRUE(EvaluateTariffRecalc(catalogue, 0, 0, 0, At(2024, 4, 22, 10), r, dialogs));
  EXPECT_EQ(r.tickCostFixed, 1271235);
  ASSERT_TRUE(EvaluateTariffRecalc(catalogue, 0, 0, 0, At(2024, 4, 22, 13), r, dialogs));
  EXPECT_EQ(r.tickCostFixed, 1270000);
}

TEST(FindBand, EmptyListKeepsTickAndCosts127) {
  TariffResult r;
  r.values.tickSeconds = 12;
  r.values.tickCost = 3;
  ASSERT_TRUE(FindBand({}, 0.5, r));
  EXPECT_EQ(r.values.tickSeconds, 12);
  EXPECT_EQ(r.values.tickCost, 127);
}

}  // namespace
}  // namespace orva

namespace orva {
namespace {

// Files as they come from elsewhere: Windows code page and letter case, broken lines.
TEST(TariffFixtures, WindowsFileIsListedAndEvaluated) {
  TariffCatalogue c;
  ScanTariffFiles(c, test::TestDataDir() + "tariff/windows");
  ASSERT_EQ(c.Size(), 1);
  EXPECT_EQ(c.descriptions[0], "Tariffa più economica €");
  EXPECT_EQ(c.abbreviations[0], "ECO");
  test::ScriptedDialogs dialogs;
  TariffResult r;
  ASSERT_TRUE(EvaluateTariff(c, 0, 0, 0, test::At(2024, 4, 22, 9), r, dialogs));
  EXPECT_EQ(r.values.tickSeconds, 120);
  EXPECT_EQ(r.values.tickCost, 95.5);
}

TEST(TariffFixtures, BrokenFilesReportOrFallBack) {
  const std::string dir = test::TestDataDir() + "tariff/broken/";
  test::ScriptedDialogs dialogs;
  TariffResult r;
  Status s = EvaluateTariffFile(dir + "ORARIO.TRF", 0, 0, test::At(2024, 4, 22, 9), r, dialogs);
  ASSERT_FALSE(s);
  EXPECT_NE(s.error.find("ORARIO.TRF"), std::string::npos);
  EXPECT_NE(s.error.find("8.00-18.29 60 127"), std::string::npos) << s.error;
  // Before the bad line the first band still answers.
  EXPECT_TRUE(EvaluateTariffFile(dir + "ORARIO.TRF", 0, 0, test::At(2024, 4, 22, 7), r, dialogs));

  // LF line ends read the same; a tick length of 0 is taken as 60 s.
  ASSERT_TRUE(EvaluateTariffFile(dir + "NOFESTE.TRF", 0, 0, test::At(2024, 4, 22, 9), r, dialogs));
  EXPECT_EQ(r.values.tickSeconds, 60);
  // No holiday bands: the tick length stays, the cost is 127.
  r.values.tickSeconds = 45;
  ASSERT_TRUE(EvaluateTariffFile(dir + "NOFESTE.TRF", 0, 0, test::At(2024, 4, 28, 9), r, dialogs));
  EXPECT_EQ(r.values.tickSeconds, 45);

  // A file cut short in its second band line.
  s = EvaluateTariffFile(dir + "TRONCO.TRF", 0, 0, test::At(2024, 4, 22, 9), r, dialogs);
  EXPECT_FALSE(s);
  EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace orva

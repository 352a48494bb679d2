#include "core/Settings.h"

#include <gtest/gtest.h>

#include "TempDir.h"
#include "core/Currency.h"
#include "core/HowUtils.h"
#include "core/UCritto.h"
#include "platform/IniFile.h"
#include "platform/SafeFile.h"

namespace orva {

class SettingsTest : public ::testing::Test {
 protected:
  std::string Ini() const { return dir.File("ORVA32.INI"); }
  void WriteIni(std::string_view text) { test::WriteBytes(Ini(), text); }
  Settings Load() {
    Settings s;
    Registry reg(dir.path());
    LoadSettings(s, dir.path(), reg);
    return s;
  }
  test::TempDir dir;
};

TEST_F(SettingsTest, MissingFileGivesTableDefaults) {
  const Settings s = Load();
  EXPECT_EQ(s.soundsOn, 1);
  EXPECT_TRUE(s.showWizard);
  EXPECT_EQ(s.mainWidth, 450);
  EXPECT_EQ(s.leftSmall, 100);
  EXPECT_EQ(s.timerClockMs, 200);
  EXPECT_EQ(s.negotiationTime, "10000");
  EXPECT_EQ(s.labelColour, 255u);
  EXPECT_EQ(s.textColour, 0xFFFFFFu);
  EXPECT_EQ(s.hintColour, 0xFFFFu);
  EXPECT_EQ(s.sortIndex, -1);
  EXPECT_EQ(s.soundFiles[kSoundMail], "None");
  EXPECT_FALSE(s.soundEnabled[kSoundTick]);
  EXPECT_EQ(s.launched[2].provider, "qualunque");
  EXPECT_EQ(s.warnPeriodCost, "100000");
  EXPECT_EQ(s.mailHeaderWidths[1], 55);
  EXPECT_EQ(s.logFileName, dir.File("ORVA.LOG"));
  EXPECT_EQ(s.phoneBook, dir.File("rubrica.tel"));
  EXPECT_EQ(s.associationPath, dir.File("lista.ser"));
  EXPECT_FALSE(s.access.HasPassword());
}

TEST_F(SettingsTest, ReadsKeysWithoutRegardToCaseAndBadNumbersGiveDefaults) {
  WriteIni(
      "[impostazioni GENERALI]\r\nmain width=612\r\nDisplay=abc\r\nPannello 3=0\r\n"
      "[Avvio applicazioni]\r\nFinestra 1=1\r\nFinestra 3=2\r\nProvider 3=Tin\r\n"
      "[Messsaggi di avviso]\r\nA tempo=45\r\n[Viva voce]\r\nVolume altoparlante=3\r\n");
  const Settings s = Load();
  EXPECT_EQ(s.mainWidth, 612);
  EXPECT_EQ(s.display, 1);
  EXPECT_FALSE(s.panels[2]);
  EXPECT_TRUE(s.panels[1]);
  EXPECT_EQ(s.launched[0].window, 1);
  EXPECT_EQ(s.launched[1].window, 0);
  // The third program's window comes from its own key.
  EXPECT_EQ(s.launched[2].window, 2);
  EXPECT_EQ(s.launched[2].provider, "Tin");
  EXPECT_EQ(s.warnTimeMinutes, 45);
  EXPECT_EQ(s.speakerVolume, 3);
}

TEST(SettingsColour, DefaultNamesAndBadTextsGiveTheFallback) {
  EXPECT_EQ(ParseSettingsColour("clDefault", 255), 255u);
  EXPECT_EQ(ParseSettingsColour("clRed", 7), 7u);
  EXPECT_EQ(ParseSettingsColour("", 7), 7u);
  EXPECT_EQ(ParseSettingsColour("12.5", 7), 7u);
  EXPECT_EQ(ParseSettingsColour("-16777201", 7), 7u);
  EXPECT_EQ(ParseSettingsColour("16777216", 7), 7u);
  EXPECT_EQ(ParseSettingsColour("16711680", 7), 0xFF0000u);
  EXPECT_EQ(ParseSettingsColour(" 0 ", 7), 0u);
}

TEST_F(SettingsTest, SaveWritesDefaultColourAsNumberAndEveryKeyRoundTrips) {
  WriteIni("[Impostazioni generali]\r\nColore etichette=clDefault\r\n");
  Settings s = Load();
  s.decimals = 2;
  s.panels[5] = false;
  s.launched[2] = {"/usr/bin/fetchmail", 2, "Libero"};
  s.speakerVolume = 0;
  s.soundEnabled[kSoundMail] = true;
  s.mainLeft = 321;
  s.billStart = "01/10/99";
  ASSERT_TRUE(SaveSettings(s, dir.path()));

  const TIniFile ini(Ini());
  EXPECT_EQ(ini.ReadString("Impostazioni generali", "Colore etichette", ""), "255");
  EXPECT_EQ(ini.ReadString("Impostazioni generali", "Left coord.", ""), "321");
  EXPECT_EQ(ini.ReadString("Viva voce", "Volume altoparlante", ""), "0");
  EXPECT_EQ(ini.ReadString("ORVA32", "Versione", ""), "4.1  32 bit per Win95-98-NT4.0");
  EXPECT_EQ(ini.ReadString("ORVA32", "Data rilascio", ""), "del 28/10/99");
  EXPECT_FALSE(ini.ReadString("ORVA32", "Autore", "").empty());
  EXPECT_EQ(ini.ReadString("Messsaggi di avviso", "Costo giornaliero", ""), "1000");

  Settings back = Load();
  EXPECT_EQ(back.decimals, 2);
  EXPECT_FALSE(back.panels[5]);
  EXPECT_EQ(back.launched[2].program, "/usr/bin/fetchmail");
  EXPECT_EQ(back.launched[2].window, 2);
  EXPECT_EQ(back.speakerVolume, 0);
  EXPECT_TRUE(back.soundEnabled[kSoundMail]);
  EXPECT_EQ(back.billStart, "01/10/99");
}

TEST_F(SettingsTest, HiddenWindowLeftIsNotWritten) {
  Settings s = Load();
  s.mainLeft = kHiddenLeft;
  ASSERT_TRUE(SaveSettings(s, dir.path()));
  EXPECT_FALSE(TIniFile(Ini()).ValueExists("Impostazioni generali", "Left coord."));
}

TEST_F(SettingsTest, SaveOptionsZeroWritesNothing) {
  const std::string original = "[Impostazioni generali]\r\nSalva opzioni=0\r\nMain width=500\r\n";
  WriteIni(original);
  Settings s = Load();
  ASSERT_EQ(s.saveOptions, 0);
  s.mainWidth = 800;
  s.mainLeft = 10;
  s.leftLarge = 99;
  EXPECT_TRUE(SaveSettings(s, dir.path()));
  EXPECT_EQ(test::ReadBytes(Ini()), original);

  // Without a file none is created either.
  std::remove(Ini().c_str());
  EXPECT_TRUE(SaveSettings(s, dir.path()));
  EXPECT_FALSE(FileExists(Ini()));
}

TEST_F(SettingsTest, SaveKeepsLinesOwnedByOtherWindows) {
  WriteIni(
      "; kept\r\n[Log settings]\r\nHeader 3=120\r\nShow url=1\r\n"
      "[Impostazioni tariffe]\r\nPosizione=0 10 20 300 200\r\n");
  Settings s = Load();
  ASSERT_TRUE(SaveSettings(s, dir.path()));
  const TIniFile ini(Ini());
  EXPECT_EQ(ini.Lines().front(), "; kept");
  EXPECT_EQ(ini.ReadString("Log settings", "Header 3", ""), "120");
  EXPECT_EQ(ini.ReadString("Log settings", "Show url", ""), "1");
  EXPECT_EQ(ini.ReadString("Impostazioni tariffe", "Posizione", ""), "0 10 20 300 200");
}

TEST_F(SettingsTest, PositionStoredByAWindowMeanwhileSurvivesTheSave) {
  Settings s = Load();
  ASSERT_TRUE(SaveSettings(s, dir.path()));
  {
    // The bill view stores its place in the file while the program runs.
    TIniFile ini(Ini());
    ini.WriteString("Bolletta", "Posizione", "0 5 6 700 500");
    ASSERT_TRUE(ini.UpdateFile());
  }
  s.decimals = 0;
  ASSERT_TRUE(SaveSettings(s, dir.path()));
  const TIniFile ini(Ini());
  EXPECT_EQ(ini.ReadString("Bolletta", "Posizione", ""), "0 5 6 700 500");
  EXPECT_EQ(ini.ReadString("Impostazioni generali", "Cifre decimali", ""), "0");

  // A value changed in the record wins.
  s.billPosition = "2";
  ASSERT_TRUE(SaveSettings(s, dir.path()));
  EXPECT_EQ(TIniFile(Ini()).ReadString("Bolletta", "Posizione", ""), "2");
}

TEST_F(SettingsTest, LineEndsInsideValuesCannotMakeKeys) {
  Settings s = Load();
  s.defaultService = "Internet\r\n[Tariffa]\r\nClasse tariffa=9";
  ASSERT_TRUE(SaveSettings(s, dir.path()));
  const Settings back = Load();
  EXPECT_EQ(back.tariffIndex, 0);
  EXPECT_EQ(back.defaultService.find('\n'), std::string::npos);
}

TEST_F(SettingsTest, FailedWriteIsReported) {
  Settings s = Load();
  s.tariffIndex = 4;
  // A folder where the file should be: the rename over it fails.
  ASSERT_TRUE(MakeDirectories(Ini()));
  const Status st = SaveSettings(s, dir.path());
  EXPECT_FALSE(st);
  EXPECT_FALSE(st.error.empty());
}

TEST_F(SettingsTest, AccessValuesComeFromTheRegistry) {
  {
    Registry reg(dir.path());
    ASSERT_TRUE(reg.WriteString(kValdoSettingsKey, "Regkey", ScramblePassword("Segreto", 7)));
    ASSERT_TRUE(reg.WriteInteger(kValdoSettingsKey, "SaveOnExit", 1));
    ASSERT_TRUE(reg.WriteInteger(kValdoSettingsKey, "Undo", 8));
    ASSERT_TRUE(reg.WriteString(kRubrixKey, "Path", "/opt/rubrix/"));
  }
  const Settings s = Load();
  EXPECT_EQ(s.access.password, "Segreto");
  EXPECT_EQ(s.access.preventClose, 1);
  EXPECT_EQ(s.access.preventStop, 0);
  EXPECT_EQ(s.access.disconnectTick, 8);
  EXPECT_FALSE(s.access.disconnectMinutes.has_value());
  EXPECT_EQ(s.rubrixPath, "/opt/rubrix/");
}

TEST_F(SettingsTest, AccessSaveWritesSetFlagsAsOneAndDeletesTheRest) {
  Registry reg(dir.path());
  ASSERT_TRUE(reg.WriteInteger(kValdoSettingsKey, "Access", 1));
  AccessSettings a;
  a.preventStart = 1;
  a.disconnectMinutes = 30;
  ASSERT_TRUE(SaveAccessSettings(a, reg));
  EXPECT_FALSE(reg.ValueExists(kValdoSettingsKey, "Access"));
  EXPECT_EQ(reg.ReadInteger(kValdoSettingsKey, "Minimize"), 1);
  EXPECT_EQ(reg.ReadInteger(kValdoSettingsKey, "Position"), 30);
  EXPECT_FALSE(reg.ValueExists(kValdoSettingsKey, "Undo"));

  ASSERT_TRUE(WriteInstallRecord(reg, dir.path()));
  EXPECT_EQ(reg.ReadString(kOrvaInstallKey, "Path"), dir.path());
  EXPECT_EQ(reg.ReadString(kOrvaInstallKey, "Version"), "4.1");
}

}  // namespace orva

namespace orva {

TEST_F(SettingsTest, HandTypedNumbersAreBroughtIntoWorkableRanges) {
  WriteIni(
      "[Impostazioni generali]\r\nCifre decimali=99\r\nDisplay=-3\r\nMain width=2147483647\r\n"
      "Anticipo finestra lampeggiante=-2147483648\r\n"
      "[Opzioni avanzate]\r\nTimer clock ms.=0\r\n"
      "[Messsaggi di avviso]\r\nFrequenza=2147483647\r\nA tempo=-5\r\n"
      "[Avvio applicazioni]\r\nFinestra 2=7\r\n[Viva voce]\r\nVolume altoparlante=9\r\n"
      "[POP3]\r\nCheck mail every=0\r\n[Messaggi aiuto]\r\nAttesa suggerimenti=0\r\n");
  {
    Registry reg(dir.path());
    ASSERT_TRUE(reg.WriteInteger(kValdoSettingsKey, "Previous", 2147483647));
    ASSERT_TRUE(reg.WriteInteger(kValdoSettingsKey, "Undo", -2147483647 - 1));
    ASSERT_TRUE(reg.WriteInteger(kValdoSettingsKey, "Position", 2147483647));
  }
  const Settings s = Load();
  EXPECT_EQ(s.decimals, 5);
  EXPECT_EQ(s.display, 1);
  EXPECT_EQ(s.mainWidth, 32767);
  EXPECT_EQ(s.flashAdvance, 0);
  EXPECT_EQ(s.timerClockMs, 200);  // no interval: the default sample
  EXPECT_EQ(s.warnFrequency, 1000);
  EXPECT_EQ(s.warnTimeMinutes, 0);
  EXPECT_EQ(s.launched[1].window, 2);
  EXPECT_EQ(s.speakerVolume, 3);
  EXPECT_EQ(s.mailCheckMinutes, 1);
  EXPECT_EQ(s.hintPause, 100);
  EXPECT_EQ(s.access.disconnectTickAdvance, 86400);
  EXPECT_EQ(s.access.disconnectTick, 1);
  EXPECT_EQ(s.access.disconnectMinutes, 99999);
  // Values in range are kept as typed.
  WriteIni(
      "[Messsaggi di avviso]\r\nFrequenza=30\r\n[Opzioni avanzate]\r\nTimer clock ms.=150\r\n");
  const Settings t = Load();
  EXPECT_EQ(t.warnFrequency, 30);
  EXPECT_EQ(t.timerClockMs, 150);
}

// What the options dialog would not let the user choose, a file edited by hand cannot either:
// ten decimals would fill the log with "37.0350000000", a 10 ms sample would run the meter
// fifty times as often as the fastest the dialog offers.
TEST_F(SettingsTest, HandEditedValuesAreHeldToTheOptionsDialogsRanges) {
  WriteIni(
      "[Impostazioni generali]\r\nCifre decimali=10\r\n[Opzioni avanzate]\r\nTimer clock ms.=10\r\n"
      "[POP3]\r\nCheck mail every=1440\r\n[Messaggi aiuto]\r\nAttesa suggerimenti=60000\r\n");
  const Settings high = Load();
  EXPECT_EQ(high.decimals, 5);
  EXPECT_EQ(high.timerClockMs, 100);
  EXPECT_EQ(high.mailCheckMinutes, 59);
  EXPECT_EQ(high.hintPause, 2500);
  WriteIni(
      "[Opzioni avanzate]\r\nTimer clock ms.=10000\r\n[Impostazioni generali]\r\nCifre "
      "decimali=-1\r\n");
  const Settings low = Load();
  EXPECT_EQ(low.timerClockMs, 3000);
  EXPECT_EQ(low.decimals, 0);
}

TEST_F(SettingsTest, SavePositionZeroKeepsBuiltInWidthHeightAndTop) {
  const std::string keys =
      "Main width=700\r\nMain height=600\r\nTop coord. Z=300\r\nTop coord. S=310\r\n"
      "Left coord. Z=50\r\n";
  WriteIni("[Impostazioni generali]\r\nSalva posizione=0\r\n" + keys);
  Settings s = Load();
  EXPECT_EQ(s.mainWidth, 450);
  EXPECT_EQ(s.mainHeight, 450);
  EXPECT_EQ(s.topLarge, 0);
  EXPECT_EQ(s.topSmall, 0);
  EXPECT_EQ(s.leftLarge, 50);  // only width, height and top are left out

  WriteIni("[Impostazioni generali]\r\nSalva posizione=1\r\n" + keys);
  s = Load();
  EXPECT_EQ(s.mainWidth, 700);
  EXPECT_EQ(s.mainHeight, 600);
  EXPECT_EQ(s.topLarge, 300);
  EXPECT_EQ(s.topSmall, 310);
}

// The currency option: a new installation counts in euro, an existing one keeps its lire.
TEST_F(SettingsTest, NewInstallationIsEuroExistingOneStaysLire) {
  EXPECT_EQ(Load().currency, Currency::Euro);
  EXPECT_EQ(LoadCurrencySetting(dir.path()), Currency::Euro);
  test::WriteBytes(dir.File("ORVA32.INI"), "[Impostazioni generali]\r\nCifre decimali=1\r\n");
  EXPECT_EQ(Load().currency, Currency::Lire);
  EXPECT_EQ(LoadCurrencySetting(dir.path()), Currency::Lire);
}

TEST_F(SettingsTest, ChoiceIsSavedAndReadBack) {
  Settings s = Load();
  s.currency = Currency::Euro;
  ASSERT_TRUE(SaveSettings(s, dir.path()));
  EXPECT_EQ(TIniFile(dir.File("ORVA32.INI")).ReadString("Impostazioni generali", "Valuta", ""),
            "Euro");
  EXPECT_EQ(Load().currency, Currency::Euro);
  s.currency = Currency::Lire;
  ASSERT_TRUE(SaveSettings(s, dir.path()));
  EXPECT_EQ(Load().currency, Currency::Lire);
  EXPECT_EQ(LoadCurrencySetting(dir.path()), Currency::Lire);
  // An unknown word keeps the rule's default for an existing file.
  test::WriteBytes(dir.File("ORVA32.INI"), "[Impostazioni generali]\r\nValuta=Dollari\r\n");
  EXPECT_EQ(Load().currency, Currency::Lire);
}

}  // namespace orva

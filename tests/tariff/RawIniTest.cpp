// The evaluation's own INI reader must read what the INI routines read.
#include "tariff/RawIni.h"

#include <gtest/gtest.h>

#include "TempDir.h"
#include "platform/IniFile.h"
#include "platform/TextCodec.h"

namespace orva {
namespace {

TEST(RawIni, AgreesWithTheIniRoutines) {
  const std::string text =
      "Fasce=9\r\n"              // before any section: ignored
      "[ tariffa FERIALE ]\r\n"  // blanks and case in the header
      " FASCE = 2 \r\n"
      "fasce=7\r\n"  // a later duplicate key: ignored
      ";1=commented\r\n"
      "1=00.00 11.59 60 127\r"    // lone CR
      "2 = 12.00 23.59 60 1=2\n"  // value after the first "="
      "noequals\r\n"
      "=novalue\r\n"
      "[Tariffa feriale]\r\n"  // a second section of the same name: ignored
      "3=xx\r\n"
      "[Dati generali]\r\n"
      "Descrizione=pi\xf9\r\n"
      "Aliquota IVA=\t 4 \t\r\n"
      "[broken\r\n"
      "Addebito fisso=5\r\n";
  RawIni raw;
  raw.Index(text);
  const auto ini = TIniFile::FromText(Cp1252ToUtf8(text));
  const std::pair<const char*, const char*> keys[] = {
      {"Tariffa feriale", "Fasce"},      {"Tariffa feriale", "1"},
      {"Tariffa feriale", "2"},          {"Tariffa feriale", "3"},
      {"Tariffa feriale", ";1"},         {"Dati generali", "Descrizione"},
      {"Dati generali", "Aliquota IVA"}, {"Dati generali", "Addebito fisso"},
      {"Dati generali", "Fasce"},        {"Nessuna", "Fasce"}};
  for (const auto& [section, key] : keys) {
    const auto v = raw.Value(section, key);
    EXPECT_EQ(v.has_value(), ini.ValueExists(section, key)) << section << "/" << key;
    if (v) {
      EXPECT_EQ(Cp1252ToUtf8(*v), ini.ReadString(section, key, "")) << key;
    }
    EXPECT_EQ(raw.Integer(section, key, -3), ini.ReadInteger(section, key, -3)) << key;
  }
  EXPECT_EQ(raw.Integer("TARIFFA FERIALE", "fasce", 0), 2);
  EXPECT_EQ(raw.KeyCount("Tariffa feriale"), 4);
}

TEST(ReadWholeFile, FindsNameWithoutCaseAndFailsWhenMissing) {
  test::TempDir dir;
  test::WriteBytes(dir.File("esempio.trf"), "abc");
  std::string buffer = "old";
  ASSERT_TRUE(ReadWholeFile(dir.File("ESEMPIO.TRF"), buffer));
  EXPECT_EQ(buffer, "abc");
  EXPECT_FALSE(ReadWholeFile(dir.File("ALTRO.TRF"), buffer));
  EXPECT_FALSE(ReadWholeFile(dir.path(), buffer));  // a folder is no file
}

}  // namespace
}  // namespace orva

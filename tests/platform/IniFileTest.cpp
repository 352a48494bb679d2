#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "AsOtherUser.h"
#include "TempDir.h"

namespace orva {

TEST(TIniFile, NamesAreComparedWithoutCaseAndFirstOccurrenceWins) {
  auto ini = TIniFile::FromText(
      "[Dati generali]\r\nAliquota IVA = 20 \r\naliquota iva=99\r\n"
      "[DATI GENERALI]\r\nDescrizione=second\r\n");
  EXPECT_EQ(ini.ReadString("dati GENERALI", "ALIQUOTA iva", "x"), "20");
  // The second section of the same name is not seen.
  EXPECT_EQ(ini.ReadString("Dati generali", "Descrizione", "none"), "none");
}

TEST(TIniFile, ValueIsTextAfterFirstEqualsTrimmed) {
  auto ini = TIniFile::FromText("[S]\nK =  a=b c \n;K2=commented\nnoequals\n");
  EXPECT_EQ(ini.ReadString("S", "K", ""), "a=b c");
  EXPECT_FALSE(ini.ValueExists("S", "K2"));
  EXPECT_EQ(ini.ReadInteger("S", "K", 7), 7);
}

TEST(TIniFile, WriteChangesOnlyItsLineAndKeepsComments) {
  test::TempDir dir;
  const std::string path = dir.File("a.ini");
  test::WriteBytes(path, "; top comment\r\n[A]\r\nx=1\r\n; keep me\r\ny=2\r\n\r\n[B]\r\nz=3\r\n");
  {
    TIniFile ini(path);
    ini.WriteString("a", "Y", "20");
    ini.WriteString("A", "new", "n");
    ini.WriteString("C", "k", "v");
    ASSERT_TRUE(ini.UpdateFile());
  }
  EXPECT_EQ(test::ReadBytes(path),
            "; top comment\r\n[A]\r\nx=1\r\n; keep me\r\nY=20\r\nnew=n\r\n\r\n[B]\r\nz=3\r\n"
            "[C]\r\nk=v\r\n");
}

TEST(TIniFile, MissingFileReadsEmptyAndEraseSectionRemovesAllLines) {
  test::TempDir dir;
  TIniFile missing(dir.File("none.ini"));
  EXPECT_EQ(missing.ReadString("S", "K", "def"), "def");
  EXPECT_TRUE(missing.ReadSections().empty());

  auto ini = TIniFile::FromText("[A]\na=1\n[B]\nb=2\n[A]\nc=3\n");
  ini.EraseSection("a");
  EXPECT_EQ(ini.ReadSections(), std::vector<std::string>{"B"});
  EXPECT_EQ(ini.ReadSection("B"), std::vector<std::string>{"b"});
}

// The options dialog and the tool each hold the settings open: what one saved is not undone by
// the other's save of other keys, and a file that could not be read is never written over.
TEST(TIniFile, TwoWritersKeepEachOthersChangesAndAnUnreadableFileIsLeftAlone) {
  test::TempDir dir;
  const std::string path = dir.File("ORVA32.INI");
  test::WriteBytes(path, "[Opzioni]\r\nSuono=1\r\nVecchia=x\r\n[Posta]\r\nOgni=10\r\n");
  {
    TIniFile dialog(path);
    TIniFile tool(path);
    dialog.WriteString("Opzioni", "Suono", "0");
    dialog.DeleteKey("Opzioni", "Vecchia");
    ASSERT_TRUE(dialog.UpdateFile());
    tool.WriteString("Posta", "Ogni", "15");
    tool.WriteString("Nuova", "k", "v");
    ASSERT_TRUE(tool.UpdateFile());
    // The tool's view now holds the dialog's change too.
    EXPECT_EQ(tool.ReadString("Opzioni", "Suono", ""), "0");
  }
  EXPECT_EQ(test::ReadBytes(path),
            "[Opzioni]\r\nSuono=0\r\n[Posta]\r\nOgni=15\r\n[Nuova]\r\nk=v\r\n");

  ::chmod(dir.path().c_str(), 0777);
  ::chmod(path.c_str(), 0);
  EXPECT_TRUE(test::AsOtherUser([&] {
    bool refused = false;
    {
      TIniFile ini(path);
      ini.WriteString("Opzioni", "Suono", "1");
      refused = !ini.LoadError().empty() && !ini.UpdateFile();
    }  // nor on its way out
    return refused;
  }));
  ::chmod(path.c_str(), 0644);
  EXPECT_EQ(test::ReadBytes(path),
            "[Opzioni]\r\nSuono=0\r\n[Posta]\r\nOgni=15\r\n[Nuova]\r\nk=v\r\n");
}

TEST(TIniFile, FileNameFoundWithoutRegardToCase) {
  test::TempDir dir;
  test::WriteBytes(dir.File("orva32.ini"), "[S]\r\nk=v\r\n");
  TIniFile ini(dir.File("ORVA32.INI"));
  EXPECT_EQ(ini.ReadString("S", "k", ""), "v");
}

TEST(TIniFile, NonAsciiTextRoundTripsThroughWindows1252) {
  test::TempDir dir;
  const std::string path = dir.File("b.ini");
  {
    TIniFile ini(path);
    ini.WriteString("Messsaggi di avviso", "Testo", "Città è");
  }
  EXPECT_EQ(test::ReadBytes(path), "[Messsaggi di avviso]\r\nTesto=Citt\xE0 \xE8\r\n");
  EXPECT_EQ(TIniFile(path).ReadString("messsaggi di avviso", "testo", ""), "Città è");
}

}  // namespace orva

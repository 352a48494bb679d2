#include "bill/BigIni.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "AsOtherUser.h"
#include "TempDir.h"

namespace orva {
namespace {

std::vector<std::string> All(TBigIniFile& ini) {
  std::vector<std::string> lines;
  ini.ReadAll(lines);
  return lines;
}

}  // namespace

TEST(TBigIniFile, LoadingDropsRepeatedSectionsStrayLinesAndEndOfFileMark) {
  auto ini = TBigIniFile::FromBytes(
      "stray=1\r\n[A]\r\nx=1\r\n\r\n[a]\r\nx=2\r\ny=3\r\n[B]\r\nz=4\n\x1a\r\nw\r\n");
  EXPECT_EQ(All(ini), (std::vector<std::string>{"[A]", "x=1", "", "[B]", "z=4", "w", ""}));
  EXPECT_EQ(ini.ReadString("A", "y", "none"), "none");
  EXPECT_EQ(ini.ReadString("a", "x", "none"), "none") << "lookups match the name's case";
  EXPECT_FALSE(ini.Modified());
}

TEST(TBigIniFile, AHeaderWithBlanksAroundIsStillAHeader) {
  // The day's ticks stay on their day, and survive the next rewrite.
  auto ini = TBigIniFile::FromBytes(
      "[15/10/99]\r\n127.0=3\r\n[16/10/99] \r\n127.0=5\r\n"
      " \t[17/10/99]\t\r\n63.5=2\r\n");
  EXPECT_EQ(ini.ReadString("15/10/99", "127.0", "0"), "3");
  EXPECT_EQ(ini.ReadString("16/10/99", "127.0", "0"), "5");
  EXPECT_EQ(ini.ReadString("17/10/99", "63.5", "0"), "2");
  EXPECT_EQ(All(ini), (std::vector<std::string>{"[15/10/99]", "127.0=3", "", "[16/10/99]",
                                                "127.0=5", "", "[17/10/99]", "63.5=2", ""}));
}

TEST(TBigIniFile, ReadStringSearchesRoundFromLastSectionWithExactName) {
  auto ini = TBigIniFile::FromBytes("[1]\r\nk=a\r\n[2]\r\nk=b\r\n[3]\r\nk=c\r\nx=a=b\r\n");
  EXPECT_EQ(ini.ReadString("3", "x", "d"), "a=b");
  EXPECT_EQ(ini.ReadString("3", "missing", "d"), "d");
  EXPECT_EQ(ini.ReadString("3", "k", ""), "c");
  EXPECT_EQ(ini.ReadString("1", "k", ""), "a");  // wraps past the end
  EXPECT_EQ(ini.ReadString("2", "k", ""), "b");
  ini.WriteString("4", "k", "d");
  EXPECT_EQ(ini.ReadString("1", "k", ""), "a");
  EXPECT_EQ(ini.ReadString("4", "k", ""), "d");
}

TEST(TBigIniFile, WriteStringAddsReplacesAndFlagsOnlyRealChanges) {
  auto ini = TBigIniFile::FromBytes("[S]\r\na=1\r\n");
  ini.WriteString("S", "a", "1");
  EXPECT_FALSE(ini.Modified());
  ini.WriteString("S", "a", "2");
  EXPECT_TRUE(ini.Modified());
  ini.WriteString("S", "b", "3");
  ini.WriteString("T", "c", "line\r\nbreak");
  EXPECT_EQ(All(ini),
            (std::vector<std::string>{"[S]", "a=2", "b=3", "", "[T]", "c=line  break", ""}));
}

TEST(TBigIniFile, ReadIntegerDecimalAndHexadecimal) {
  auto ini = TBigIniFile::FromBytes(
      "[S]\r\nh1=0x1F\r\nh2=$1F\r\nh3=0X1f\r\nd=-42\r\nbad=12a\r\nbig=99999999999\r\n"
      "blank=\r\nneg=-$10\r\n");
  EXPECT_EQ(ini.ReadInteger("S", "h1", 0), 31);
  EXPECT_EQ(ini.ReadInteger("S", "h2", 0), 31);
  EXPECT_EQ(ini.ReadInteger("S", "h3", 0), 31);
  EXPECT_EQ(ini.ReadInteger("S", "d", 0), -42);
  EXPECT_EQ(ini.ReadInteger("S", "neg", 0), -16);
  EXPECT_EQ(ini.ReadInteger("S", "bad", 7), 7);
  EXPECT_EQ(ini.ReadInteger("S", "big", 7), 7);
  EXPECT_EQ(ini.ReadInteger("S", "blank", 7), 7);
  EXPECT_TRUE(ini.ReadBool("S", "h1", false));
  EXPECT_TRUE(ini.ReadBool("S", "missing", true));
  ini.WriteBool("S", "b", false);
  ini.WriteInteger("S", "i", -5);
  EXPECT_FALSE(ini.ReadBool("S", "b", true));
  EXPECT_EQ(ini.ReadInteger("S", "i", 0), -5);
}

TEST(TBigIniFile, SectionListsAndErase) {
  auto ini = TBigIniFile::FromBytes("[S]\r\na=1\r\nnote\r\nb=2\r\n[T]\r\nc=3\r\n");
  std::vector<std::string> keys{"old"};
  ini.ReadSection("S", keys);
  EXPECT_EQ(keys, (std::vector<std::string>{"old", "a", "b"}));
  std::vector<std::string> values;
  ini.ReadSectionValues("S", values);
  EXPECT_EQ(values, (std::vector<std::string>{"a=1", "note", "b=2"}));
  ini.EraseSection("S");
  EXPECT_TRUE(ini.Modified());
  EXPECT_EQ(All(ini), (std::vector<std::string>{"[T]", "c=3", ""}));
  // The emptied section keeps its place for later writes.
  ini.WriteString("S", "z", "9");
  EXPECT_EQ(All(ini), (std::vector<std::string>{"[S]", "z=9", "", "[T]", "c=3", ""}));
}

TEST(TBigIniFile, FileRoundTripAndRewrite) {
  test::TempDir dir;
  const std::string path = dir.File("x.BOL");
  test::WriteBytes(path, "[A]\r\nv=\xe8\r\n[a]\r\nv=lost\r\n[E]\r\nk=1\r\n");
  {
    TBigIniFile ini(path);
    EXPECT_EQ(ini.ReadString("A", "v", ""), "\xc3\xa8");  // Windows-1252 è read as UTF-8
    ini.EraseSection("E");
    ini.WriteString("A", "w", "2");
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_FALSE(ini.Modified());
  }
  EXPECT_EQ(test::ReadBytes(path), "[A]\r\nv=\xe8\r\nw=2\r\n\r\n");
  {
    TBigIniFile ini(path);  // unchanged: the destructor writes nothing
    ini.ReadString("A", "v", "");
  }
  EXPECT_EQ(test::ReadBytes(path), "[A]\r\nv=\xe8\r\nw=2\r\n\r\n");
  {
    TBigIniFile missing(dir.File("none.BOL"));
    EXPECT_TRUE(missing.LoadError().empty());
    EXPECT_EQ(missing.ReadString("A", "v", "d"), "d");
  }
  EXPECT_FALSE(FileExists(dir.File("none.BOL")));
}

TEST(TBigIniFile, UnreadableFileIsNeverOverwritten) {
  test::TempDir dir;
  ::chmod(dir.path().c_str(), 0777);  // the other user writes here
  const std::string path = dir.File("x.BOL");
  test::WriteBytes(path, "[A]\r\nv=1\r\n\r\n");
  ::chmod(path.c_str(), 0);
  EXPECT_TRUE(test::AsOtherUser([&] {
    TBigIniFile ini(path);
    ini.WriteString("A", "w", "2");
    return !ini.LoadError().empty() && !ini.UpdateFile();
  }));
  ::chmod(path.c_str(), 0644);
  EXPECT_EQ(test::ReadBytes(path), "[A]\r\nv=1\r\n\r\n");
}

}  // namespace orva

#include "core/Autostart.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "TempDir.h"
#include "core/HowUtils.h"
#include "core/Settings.h"
#include "platform/SafeFile.h"

namespace orva {

TEST(Autostart, EntryPathFollowsXdgConfigHome) {
  const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
  const std::string keep = oldXdg ? oldXdg : "";
  ::setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
  EXPECT_EQ(AutostartEntryPath(), "/tmp/cfg/autostart/orva32.desktop");
  ::setenv("XDG_CONFIG_HOME", "relative", 1);
  ::setenv("HOME", "/home/u", 1);
  EXPECT_EQ(AutostartEntryPath(), "/home/u/.config/autostart/orva32.desktop");
  if (oldXdg) {
    ::setenv("XDG_CONFIG_HOME", keep.c_str(), 1);
  } else {
    ::unsetenv("XDG_CONFIG_HOME");
  }
}

TEST(Autostart, ExecQuotesAndEscapesThePath) {
  auto text = AutostartEntryText("/opt/my apps/$orva\"32\\%x", "/data");
  ASSERT_TRUE(text);
  EXPECT_NE(text->find("\nExec=\"/opt/my apps/\\\\$orva\\\\\"32\\\\\\\\%%x\"\n"), std::string::npos)
      << *text;
  EXPECT_NE(text->find("\nPath=/data\n"), std::string::npos);
  EXPECT_EQ(text->rfind("[Desktop Entry]\n", 0), 0u);
  EXPECT_FALSE(AutostartEntryText("/bin/x\nExec=evil", "/data"));
  EXPECT_FALSE(AutostartEntryText("", "/data"));
}

class StartupAutostart : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::string entry = dir.File("config/autostart/orva32.desktop");
  std::string ini = dir.File("ORVA32.INI");
};

// Starting with the session is the user's choice: the start removes the old Run value but
// makes no entry, not even at the first run, and leaves one the user made as it is.
TEST_F(StartupAutostart, StartRemovesRunValueAndLeavesTheEntryToTheUser) {
  ::setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
  ASSERT_EQ(AutostartEntryPath(), entry);
  Registry reg(dir.path());
  ASSERT_TRUE(reg.WriteString(kRunKey, "ORVA32", "C:\\ORVA32\\ORVA32.EXE"));
  Settings s;
  LoadSettings(s, dir.path(), reg, true);
  EXPECT_FALSE(Registry(dir.path()).ValueExists(kRunKey, "ORVA32"));
  EXPECT_FALSE(FileExists(entry));
  EXPECT_FALSE(FileExists(ini));  // loading never writes the settings file

  MakeDirectories(DirectoryOf(entry));
  test::WriteBytes(entry, "[Desktop Entry]\nHidden=true\n");
  LoadSettings(s, dir.path(), reg, true);
  EXPECT_EQ(test::ReadBytes(entry), "[Desktop Entry]\nHidden=true\n");
  ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace orva

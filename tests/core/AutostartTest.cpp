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

TEST_F(StartupAutostart, FirstRunCreatesEntryAndRunValueIsDeleted) {
  Registry reg(dir.path());
  ASSERT_TRUE(reg.WriteString(kRunKey, "ORVA32", "C:\\ORVA32\\ORVA32.EXE"));
  ASSERT_TRUE(HandleStartupAutostart(reg, "/usr/bin/orva32", entry, ini, dir.path()));
  EXPECT_FALSE(Registry(dir.path()).ValueExists(kRunKey, "ORVA32"));
  ASSERT_TRUE(FileExists(entry));
  EXPECT_NE(test::ReadBytes(entry).find("Exec=\"/usr/bin/orva32\""), std::string::npos);
}

TEST_F(StartupAutostart, ExistingSettingsOrEntryMeansNotFirstRun) {
  Registry reg(dir.path());
  test::WriteBytes(ini, "[Tariffa]\r\n");
  ASSERT_TRUE(HandleStartupAutostart(reg, "/usr/bin/orva32", entry, ini, dir.path()));
  EXPECT_FALSE(FileExists(entry));

  // A user who edited the entry keeps it as it is.
  std::remove(ini.c_str());
  MakeDirectories(DirectoryOf(entry));
  test::WriteBytes(entry, "[Desktop Entry]\nHidden=true\n");
  ASSERT_TRUE(HandleStartupAutostart(reg, "/usr/bin/orva32", entry, ini, dir.path()));
  EXPECT_EQ(test::ReadBytes(entry), "[Desktop Entry]\nHidden=true\n");
}

TEST_F(StartupAutostart, LoadSettingsDoesItBeforeReadingTheFile) {
  Registry reg(dir.path());
  Settings s;
  const AutostartRequest req{"/usr/bin/orva32", entry};
  LoadSettings(s, dir.path(), reg, &req);
  EXPECT_TRUE(FileExists(entry));
  // Loading never writes the settings file; the next run is not a first run because the
  // entry exists.
  EXPECT_FALSE(FileExists(ini));
}

}  // namespace orva

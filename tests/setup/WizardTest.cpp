#include "setup/Wizard.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "TempDir.h"
#include "setup/SetupRules.h"
#include "setup/Shortcuts.h"

namespace orva {

TEST(Wizard, WithoutListaTheEntriesAreListedAndWrittenAtOnce) {
  test::TempDir dir;
  const std::string lista = dir.File("lista.ser");
  {
    WizardModel w(lista, {"Tiscali", "Libero"}, {"Urbana", "Interurbana"}, {}, false, false);
    ASSERT_TRUE(w.CreationStatus().ok);
    // Cancelled here: the file written at creation stays.
  }
  EXPECT_EQ(test::ReadBytes(lista), "Tiscali\t?\t10000\r\nLibero\t?\t10000\r\n");

  // With the file present, an entry it does not list is not offered.
  WizardModel again(lista, {"Tiscali", "Libero", "Nuovo"}, {}, {}, false, false);
  EXPECT_EQ(again.Providers().size(), 2u);
}

TEST(Wizard, NavigationAndTheTariffStep) {
  test::TempDir dir;
  WizardModel w(dir.File("lista.ser"), {"Tiscali", "Libero"}, {"Urbana", "Interurbana"}, {}, false,
                false);
  EXPECT_FALSE(w.NextEnabled());  // welcome still running
  w.WelcomeDone();
  EXPECT_EQ(w.CurrentStep(), WizardModel::General);
  EXPECT_FALSE(w.BackEnabled());
  EXPECT_FALSE(w.Next());
  EXPECT_EQ(w.CurrentStep(), WizardModel::Tariffs);
  EXPECT_TRUE(w.BackEnabled());
  EXPECT_FALSE(w.NextEnabled());  // providers still at "?"
  EXPECT_FALSE(w.SelectProvider(0));
  w.SelectTariff(1);
  EXPECT_EQ(w.SelectProvider(0), 1u);
  EXPECT_FALSE(w.NextEnabled());
  w.SelectProvider(1);
  w.SelectTariff(0);
  EXPECT_TRUE(w.NextEnabled());
  w.Next();
  w.Next();
  EXPECT_EQ(w.CurrentStep(), WizardModel::Time);
  EXPECT_EQ(w.NextCaption(), "Fine");
  w.network.tcpMonitoring = false;
  EXPECT_TRUE(w.Next());  // closes with OK
  const auto r = w.Result();
  EXPECT_FALSE(r.network.resolveAddresses);
  EXPECT_FALSE(r.network.recordIpList);
  EXPECT_EQ(r.providers[0].tariff, "Interurbana");
  ASSERT_TRUE(w.WriteProviders());
  EXPECT_EQ(test::ReadBytes(dir.File("lista.ser")),
            "Tiscali\tInterurbana\t10000\r\nLibero\tUrbana\t10000\r\n");
}

TEST(Wizard, NoProvidersLeavesAvantiEnabled) {
  test::TempDir dir;
  WizardModel w(dir.File("lista.ser"), {}, {}, {}, false, false);
  w.WelcomeDone();
  w.Next();
  EXPECT_EQ(w.CurrentStep(), WizardModel::Tariffs);
  EXPECT_TRUE(w.NextEnabled());
}

TEST(SetupRules, NetworkPageAndFields) {
  NetworkPageValues shown{false, true, true, true, false, true};
  EXPECT_EQ(StoredNetworkValues(shown),
            (NetworkPageValues{false, false, false, false, false, false}));
  EXPECT_TRUE(StoredNetworkValues({true, true, false, true, true, true}).setNetworkTime);
  EXPECT_EQ(ImmediateNumber("30"), 30);
  EXPECT_FALSE(ImmediateNumber("3a"));
  EXPECT_TRUE(LimitFieldAccepts('\r'));
  EXPECT_FALSE(LimitFieldAccepts('.'));
  EXPECT_EQ(SoundSlotCaption("None"), "Nessuno");
  EXPECT_EQ(SoundSlotCaption("/home/u/suoni/ding.wav"), "ding.wav");
  EXPECT_EQ(TimerLabel(200), "200ms.");
  EXPECT_EQ(MailPeriodLabel(15), "15 minuti");
}

TEST(Shortcuts, CreatedAndDeletedInTheXdgFolders) {
  test::TempDir dir;
  ::setenv("XDG_CONFIG_HOME", (dir.path() + "config").c_str(), 1);
  ::setenv("XDG_DESKTOP_DIR", (dir.path() + "Scrivania").c_str(), 1);
  EXPECT_EQ(ShortcutPath(ShortcutPlace::Autostart), dir.path() + "config/autostart/orva32.desktop");
  EXPECT_FALSE(ShortcutExists(ShortcutPlace::Desktop));
  ASSERT_TRUE(CreateShortcut(ShortcutPlace::Desktop, "/opt/orva 32/orva32"));
  EXPECT_TRUE(ShortcutExists(ShortcutPlace::Desktop));
  const std::string text = test::ReadBytes(ShortcutPath(ShortcutPlace::Desktop));
  EXPECT_NE(text.find("Exec=\"/opt/orva 32/orva32\"\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Name=Orva32 4.1\n"), std::string::npos);
  ASSERT_TRUE(DeleteShortcut(ShortcutPlace::Desktop));
  EXPECT_FALSE(ShortcutExists(ShortcutPlace::Desktop));
  EXPECT_TRUE(DeleteShortcut(ShortcutPlace::Desktop));  // already gone: fine
  ::unsetenv("XDG_CONFIG_HOME");
  ::unsetenv("XDG_DESKTOP_DIR");
}

}  // namespace orva

#include "core/Autostart.h"
#include "platform/DataDir.h"

namespace orva {

TEST(Shortcuts, ChosenDataDirectoryTravelsWithShortcutsAndAutostart) {
  test::TempDir dir;
  ::setenv("XDG_DESKTOP_DIR", (dir.path() + "Scrivania").c_str(), 1);
  // A data directory the program finds by itself adds nothing.
  SetChosenDataDirectory("");
  ASSERT_TRUE(CreateShortcut(ShortcutPlace::Desktop, "/usr/bin/orva32"));
  EXPECT_NE(test::ReadBytes(ShortcutPath(ShortcutPlace::Desktop)).find("Exec=/usr/bin/orva32\n"),
            std::string::npos);
  // One chosen with --data-dir or ORVA32_HOME is passed on, quoted.
  SetChosenDataDirectory("/home/u/conti 2026/");
  ASSERT_TRUE(CreateShortcut(ShortcutPlace::Desktop, "/usr/bin/orva32"));
  const std::string text = test::ReadBytes(ShortcutPath(ShortcutPlace::Desktop));
  EXPECT_NE(text.find("Exec=/usr/bin/orva32 \"--data-dir\" \"/home/u/conti 2026/\"\n"),
            std::string::npos)
      << text;
  const auto entry = AutostartEntryText("/usr/bin/orva32", "/home/u/conti 2026/");
  ASSERT_TRUE(entry);
  EXPECT_NE(entry->find("Exec=\"/usr/bin/orva32\" \"--data-dir\" \"/home/u/conti 2026/\"\n"),
            std::string::npos)
      << *entry;
  // A line end in the folder's name cannot add lines to the entry.
  SetChosenDataDirectory("/tmp/x\nExec=evil/");
  EXPECT_FALSE(AutostartEntryText("/usr/bin/orva32", "/tmp"));
  SetChosenDataDirectory("");
  ::unsetenv("XDG_DESKTOP_DIR");
}

}  // namespace orva

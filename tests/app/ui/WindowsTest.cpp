// The main window's commands that open the program's windows.
#include "app/ui/Windows.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <filesystem>

#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "core/HowUtils.h"
#include "phone/ui/vivavoce.h"

namespace orva {
namespace {

struct WindowsFixture : ::testing::Test {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  NoSound sound;
  Settings settings;
  std::unique_ptr<Registry> registry;
  void SetUp() override {
    SetProgramDirectory(dir.path());
    registry = std::make_unique<Registry>(dir.path());
    settings.phoneBook = dir.File("rubrica.tel");
    settings.associationPath = dir.File("lista.ser");
  }
  TProgramWindows Make() {
    return TProgramWindows(ProgramWindowsContext{
        settings, *registry, dialogs, sound, nullptr, "/usr/bin/orva32", {}, {}, {}, {}, {}, {}});
  }
  static bool PhoneBookShown() {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<TDialForm*>(w) && w->isVisible()) return true;
    return false;
  }
};

TEST_F(WindowsFixture, VoiceButtonOpensThePhoneBookOrStartsTheCompanionProgram) {
  {
    TProgramWindows windows = Make();
    EXPECT_TRUE(windows.Handle(QStringLiteral("VoiceBtn")));
    EXPECT_TRUE(PhoneBookShown());
    EXPECT_FALSE(windows.Handle(QStringLiteral("Informazioni1")));
  }
  EXPECT_FALSE(PhoneBookShown());

  // A companion program in its registered folder is started instead.
  const std::string folder = dir.path() + "rubrix";
  std::filesystem::create_directory(folder);
  const std::string marker = dir.File("started");
  test::WriteBytes(folder + "/Rubrix", "#!/bin/sh\ntouch '" + marker + "'\n");
  ::chmod((folder + "/Rubrix").c_str(), 0755);
  settings.rubrixPath = folder;
  TProgramWindows windows = Make();
  EXPECT_TRUE(windows.Handle(QStringLiteral("AVoce1")));
  QElapsedTimer t;
  t.start();
  while (!std::filesystem::exists(marker) && t.elapsed() < 10000)
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_TRUE(std::filesystem::exists(marker));
  EXPECT_FALSE(PhoneBookShown());
}

}  // namespace
}  // namespace orva

#include <QLabel>

#include "app/ui/Program.h"
#include "bill/DbsetINI.h"

namespace orva {

TEST_F(WindowsFixture, TheBillCounterShowsThePeriodCostReadAtTheFirstActivation) {
  test::WriteBytes(dir.File("ORVA32.INI"),
                   "[Impostazioni generali]\r\nDisplay=6\r\nMostra wizard=0\r\n");
  const DateParts today = DecodeDate(FromTimeT(std::time(nullptr)));
  BillOptions options;
  options.directory = dir.path();
  ASSERT_TRUE(TDataSetINI(today.month, today.year, options).AddTicks(today.day, 2, 127.0));
  ProgramSettings() = Settings();
  ProgramOptions o;
  o.dataDir = dir.path();
  o.arguments = {QStringLiteral("nosplash")};
  o.dialogs = &dialogs;
  o.autostart = false;
  TOrvaProgram program(o);
  program.Start();
  QElapsedTimer t;
  t.start();
  auto* l22 = program.Form().findChild<QLabel*>(QStringLiteral("L22"));
  ASSERT_NE(l22, nullptr);
  while (!l22->text().contains(QStringLiteral("304.8")) && t.elapsed() < 5000)
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_TRUE(l22->text().contains(QStringLiteral("304.8"))) << l22->text().toStdString();
  program.WMQueryEndSession();
}

}  // namespace orva

// The main window's commands that open the program's windows.
#include "app/ui/Windows.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <filesystem>

#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "TestProgram.h"
#include "core/HowUtils.h"
#include "phone/ui/vivavoce.h"

namespace orva {
namespace {

struct WindowsFixture : ::testing::Test {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  NoSound sound;
  Settings settings;
  TariffCatalogue catalogue;
  std::unique_ptr<Registry> registry;
  void SetUp() override {
    registry = std::make_unique<Registry>(dir.path());
    settings.phoneBook = dir.File("rubrica.tel");
    settings.associationPath = dir.File("lista.ser");
  }
  TProgramWindows Make() {
    ProgramWindowsContext context(settings, *registry, catalogue, dialogs, sound);
    context.dataDir = dir.path();
    context.systemHosts = dir.File("hosts");
    return TProgramWindows(std::move(context));
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
    CommandHandlers commands;
    windows.BindCommands(commands);
    EXPECT_TRUE(commands.Run(CommandId::Voice));
    EXPECT_TRUE(PhoneBookShown());
    EXPECT_FALSE(commands.Run(CommandId::Quit));
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
  CommandHandlers commands;
  windows.BindCommands(commands);
  EXPECT_TRUE(commands.Run(CommandId::Voice));
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
  ProgramOptions o = test::QuietProgram(dir.path(), dialogs);
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

#include <QTableView>
#include <QTimer>

#include "log/ui/Logform.h"
#include "net/Hosts.h"
#include "net/ui/Hosts.h"
#include "net/ui/Url.h"

namespace orva {

TEST_F(WindowsFixture, HostsCommandsOpenTheHostsDialogModally) {
  test::WriteBytes(dir.File("hosts"), "10.0.0.1 a.example #t\n");
  TProgramWindows windows = Make();
  CommandHandlers commands;
  windows.BindCommands(commands);
  for (int round = 0; round < 2; ++round) {
    int rows = -1;
    bool modal = false;
    // Closed from inside its own event loop, once it has loaded its lists.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
      auto* dlg = qobject_cast<THostsDlg*>(QApplication::activeModalWidget());
      if (!dlg) return;
      modal = dlg->isModal();
      rows = static_cast<int>(dlg->Model().List(1).size());
      dlg->reject();
    });
    poll.start(10);
    EXPECT_TRUE(commands.Run(CommandId::Servers));
    EXPECT_TRUE(modal) << round;
    EXPECT_EQ(rows, 1) << round;
  }
  EXPECT_NE(settings.hostPosition, "Default");  // the place is kept
}

TEST_F(WindowsFixture, DoubleClickOnALoggedCallShowsItsVisitedServers) {
  settings.logFileName = dir.File("ORVA.LOG");
  test::WriteBytes(
      settings.logFileName,
      "08/12/26\t09.00.00\t10.05.07\t01.05.07\tTI\t7\t889\t28800\t1536\t1034\tModem: A\t\r\n"
      "08/12/26\t11.00.00\t11.30.00\t00.30.00\tTI\t7\t889\t28800\t1536\t1034\tModem: A\t\r\n"
      "08/12/26\t23.50.00\t00.10.00\t00.20.00\tTI\t7\t889\t28800\t1536\t1034\tModem: A\t\r\n");
  MakeDirectories(dir.path() + "Urls");
  test::WriteBytes(dir.path() + "Urls/08-12-2026 10-05-07.mqm",
                   "10.0.0.2 www.example.com #08-12-2026 10.00.02\r\n"
                   "10.0.0.3 a.example.com #08-12-2026 10.00.03\r\n");
  // The call that crossed midnight ended on the next day.
  test::WriteBytes(dir.path() + "Urls/09-12-2026 00-10-00.mqm",
                   "10.0.0.4 night.example #08-12-2026 23.55.00\r\n");
  TProgramWindows windows = Make();
  windows.OpenLog();
  TLog* log = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* l = qobject_cast<TLog*>(w)) log = l;
  ASSERT_NE(log, nullptr);
  ASSERT_EQ(log->Model().Count(), 3u);
  auto shown = [] {
    std::vector<TURLDlg*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<TURLDlg*>(w); d && d->isVisible()) out.push_back(d);
    return out;
  };
  auto rowOf = [&](const char* start) {
    for (std::size_t i = 0; i < log->Model().Count(); ++i)
      if (log->Model().Records()[i].Start() == start) return i;
    return std::size_t{0};
  };

  log->SelectRows({rowOf("09.00.00")});
  log->ConnLBDblClick();
  auto visited = shown();
  ASSERT_EQ(visited.size(), 1u);
  EXPECT_EQ(visited[0]->windowTitle(),
            QStringLiteral("Elenco indirizzi server visitati il 08/12/26 alle ore 09.00.00"));
  ASSERT_EQ(visited[0]->Rows().size(), 2u);
  EXPECT_EQ(visited[0]->Rows()[0].hostName, "a.example.com");
  visited[0]->close();
  QApplication::processEvents();
  EXPECT_TRUE(shown().empty());

  // No file: nothing opens.
  log->SelectRows({rowOf("11.00.00")});
  log->ConnLBDblClick();
  EXPECT_TRUE(shown().empty());

  log->SelectRows({rowOf("23.50.00")});
  log->ConnLBDblClick();
  visited = shown();
  ASSERT_EQ(visited.size(), 1u);
  ASSERT_EQ(visited[0]->Rows().size(), 1u);
  EXPECT_EQ(visited[0]->Rows()[0].hostName, "night.example");
  visited[0]->close();
}

}  // namespace orva

namespace orva {

TEST_F(WindowsFixture, RowsCopiedInOneLogWindowPasteInTheNextNotInAnotherRun) {
  settings.logFileName = dir.File("ORVA.LOG");
  test::WriteBytes(
      settings.logFileName,
      "08/12/26\t09.00.00\t10.05.07\t01.05.07\tTI\t7\t889\t28800\t1536\t1034\tModem: A\t\r\n");
  auto openLog = [](TProgramWindows& windows) {
    windows.OpenLog();
    TLog* log = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* l = qobject_cast<TLog*>(w); l && l->isVisible()) log = l;
    return log;
  };
  auto pasteEnabled = [](TLog* log) {
    return log->findChild<QAction*>(QStringLiteral("PasteItem"))->isEnabled();
  };
  {
    TProgramWindows windows = Make();
    TLog* log = openLog(windows);
    ASSERT_NE(log, nullptr);
    EXPECT_FALSE(pasteEnabled(log));
    log->SelectRows({0});
    log->CopyClick();
    EXPECT_TRUE(pasteEnabled(log));
    windows.CloseAll();
    // A log window opened later in the same run still offers "Incolla".
    log = openLog(windows);
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(pasteEnabled(log));
    windows.CloseAll();
  }
  // The swap file is still there, but rows copied in an earlier run are not offered.
  ASSERT_TRUE(FileExists(dir.File("swap.tmp")));
  TProgramWindows next = Make();
  TLog* log = openLog(next);
  ASSERT_NE(log, nullptr);
  EXPECT_FALSE(pasteEnabled(log));
  next.CloseAll();
}

}  // namespace orva

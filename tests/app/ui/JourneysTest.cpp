// Journeys of the whole program as a person makes them, through the real main window, its
// menus and the windows they open: the first start with the wizard by keyboard alone, a call
// seen in the counters and then in the log and the bill, and a tariff made in the editor that
// the next start lists.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "TestProgram.h"
#include "app/ui/Program.h"
#include "bill/ui/Bolletta.h"
#include "core/HowUtils.h"
#include "log/ui/Logform.h"
#include "platform/DataDir.h"
#include "platform/IniFile.h"
#include "platform/SafeFile.h"
#include "simulation/ManualClock.h"
#include "simulation/Simulated.h"
#include "tariff/ui/Settar.h"

namespace orva {
namespace {

bool PumpUntil(const std::function<bool()>& done, int ms = 8000) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

QWidget* ShownWizard() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && qstrcmp(w->metaObject()->className(), "orva::TWizardDlg") == 0) return w;
  return nullptr;
}

template <class T>
T* Shown() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* t = qobject_cast<T*>(w); t && t->isVisible()) return t;
  return nullptr;
}

QAction* Command(TOrvaProgram& p, const char* name) {
  return p.Form().findChild<QAction*>(QString::fromLatin1(name));
}

struct Journey : ::testing::Test {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  NoSound sound;
  SimulatedDialup dialup;
  SimulatedStatistics stats;
  RecordingLauncher launcher;

  void SetUp() override { ASSERT_TRUE(SeedTariffs(dir.path())); }
  ProgramOptions Options() {
    ProgramOptions o = test::QuietProgram(dir.path(), dialogs);
    o.sound = &sound;
    o.dialup = &dialup;
    o.statistics = &stats;
    o.launcher = &launcher;
    return o;
  }
};

TEST_F(Journey, FirstStartWizardByKeyboardAlone) {
  // No settings yet: the wizard comes up at the first activation.
  ::setenv("XDG_DESKTOP_DIR", (dir.path() + "Scrivania").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (dir.path() + "config").c_str(), 1);
  dialup.Add("Provider", kRasConnected);
  dialup.RemoveAll();
  {
    TOrvaProgram program(Options());
    program.Start();
    ASSERT_TRUE(PumpUntil([] { return ShownWizard() != nullptr; }));
    QWidget* wizard = ShownWizard();
    auto* pages = wizard->findChild<QStackedWidget*>(QStringLiteral("Notebook"));
    // The welcome runs its course; then Return on every step, nothing else.
    ASSERT_TRUE(PumpUntil([&] { return pages->currentIndex() == 1; }));
    for (int step = 1; step <= 4 && ShownWizard(); ++step) {
      QWidget* focus = QApplication::focusWidget();
      QTest::keyClick(focus && focus->window() == wizard ? focus : wizard, Qt::Key_Return);
    }
    EXPECT_TRUE(PumpUntil([] { return ShownWizard() == nullptr; }));
    program.WMQueryEndSession();
  }
  const TIniFile ini(dir.File("ORVA32.INI"));
  EXPECT_EQ(ini.ReadString("Impostazioni generali", "Mostra wizard", ""), "0");
  // Both shortcuts were preset to "Sì" and made.
  EXPECT_TRUE(FileExists(dir.path() + "Scrivania/orva32.desktop"));
  EXPECT_TRUE(FileExists(dir.path() + "config/autostart/orva32.desktop"));
  ::unsetenv("XDG_DESKTOP_DIR");
  ::unsetenv("XDG_CONFIG_HOME");
}

// Starting with the session is the user's choice: a first start whose wizard is cancelled
// leaves no autostart entry, and never removes one the user made before.
TEST_F(Journey, CancelledFirstStartWizardLeavesAutostartAsItWas) {
  ::setenv("XDG_DESKTOP_DIR", (dir.path() + "Scrivania").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (dir.path() + "config").c_str(), 1);
  const std::string entry = dir.path() + "config/autostart/orva32.desktop";
  const auto cancelFirstStart = [&] {
    TOrvaProgram program(Options());
    program.Start();
    ASSERT_TRUE(PumpUntil([] { return ShownWizard() != nullptr; }));
    QTest::keyClick(ShownWizard(), Qt::Key_Escape);
    EXPECT_TRUE(PumpUntil([] { return ShownWizard() == nullptr; }));
    program.WMQueryEndSession();
  };
  cancelFirstStart();
  EXPECT_FALSE(FileExists(entry));
  EXPECT_FALSE(FileExists(dir.path() + "Scrivania/orva32.desktop"));

  std::remove(dir.File("ORVA32.INI").c_str());  // a first start again
  ASSERT_TRUE(MakeDirectories(dir.path() + "config/autostart"));
  test::WriteBytes(entry, "[Desktop Entry]\nType=Application\nExec=orva32 --mine\n");
  cancelFirstStart();
  EXPECT_EQ(test::ReadBytes(entry), "[Desktop Entry]\nType=Application\nExec=orva32 --mine\n");
  ::unsetenv("XDG_DESKTOP_DIR");
  ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(Journey, CallShownInTheCountersThenInTheLogAndTheBill) {
  test::WriteBytes(dir.File("ORVA32.INI"),
                   "[Impostazioni generali]\r\nMostra wizard=0\r\nDisplay=4\r\n[Setup]\r\n"
                   "Suggerimenti=0\r\n[TCPIP]\r\nGet network time=0\r\nTCP monitoring=0\r\n");
  ManualClock clock(EncodeDate(2026, 12, 8) + EncodeTime(21, 2, 0));
  ProgramOptions o = Options();
  o.clock = &clock;
  o.timers = &clock;
  TOrvaProgram program(o);
  program.Start();
  QApplication::processEvents();
  auto* l22 = program.Form().findChild<QLabel*>(QStringLiteral("L22"));
  ASSERT_NE(l22, nullptr);

  // The link comes up and stays ten minutes.
  dialup.Add("Provider");
  stats.Set("ppp0", kBytesReceivedCounter, 0);
  stats.Set("ppp0", kBytesSentCounter, 0);
  for (int step = 0; step < 10 * 60 * 4; ++step) clock.AdvanceMs(250);
  EXPECT_TRUE(program.Logic().Call().Metering());
  EXPECT_TRUE(l22->text().startsWith(QStringLiteral("Scatti : "))) << l22->text().toStdString();
  EXPECT_NE(l22->text(), QStringLiteral("Scatti : 0"));
  const QString counted = l22->text();
  dialup.RemoveAll();
  clock.AdvanceMs(500);
  ASSERT_FALSE(program.Logic().Call().Metering());

  // "Elenco connessioni" lists the call.
  Command(program, "ElencoConnessioni1")->trigger();
  TLog* log = Shown<TLog>();
  ASSERT_NE(log, nullptr);
  ASSERT_EQ(log->Model().Count(), 1u);
  EXPECT_EQ(log->Model().Records()[0].Date(), "08/12/26");
  EXPECT_EQ(QStringLiteral("Scatti : ") +
                QString::fromStdString(std::string(log->Model().Records()[0].Ticks())),
            counted);
  log->close();

  // "Bolletta" shows the same ticks on the day of the call.
  std::string dayTicks;
  QTimer::singleShot(50, [&] {
    if (auto* bill = Shown<TBollettaDLG>()) {
      if (auto* l = bill->findChild<QLabel*>(QStringLiteral("DScl")))
        dayTicks = l->text().toStdString();
      bill->reject();
    }
  });
  Command(program, "Bolletta1")->trigger();
  // The day's ticks in the bill (which also holds the answer's charge) are there.
  ASSERT_FALSE(dayTicks.empty());
  EXPECT_GE(std::stod(dayTicks), std::stod(counted.mid(9).toStdString())) << dayTicks;
  program.WMQueryEndSession();
}

TEST_F(Journey, TariffMadeInTheEditorIsListedAtTheNextStart) {
  test::WriteBytes(dir.File("ORVA32.INI"),
                   "[Impostazioni generali]\r\nMostra wizard=0\r\n[Setup]\r\nSuggerimenti=0\r\n");
  const std::string saved = dir.File("SERALE.TRF");
  {
    TOrvaProgram program(Options());
    program.Start();
    QApplication::processEvents();
    bool done = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
      auto* editor = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!editor || qstrcmp(editor->metaObject()->className(), "orva::TSetTar") != 0) return;
      poll.stop();
      auto type = [editor](const char* name, const char* text, bool masked = false) {
        auto* e = editor->findChild<QLineEdit*>(QString::fromLatin1(name));
        if (!e) return;
        e->setFocus();
        e->selectAll();
        if (masked) e->setCursorPosition(0);
        QTest::keyClicks(e, QString::fromLatin1(text));
      };
      type("DESedit", "Serale di prova");
      type("IDEdit", "SER");
      // One band over the whole day for "Feriale", "Prefestiva/Sabato" and "Festiva".
      auto* dayClass = editor->findChild<QComboBox*>(QStringLiteral("TarCB0"));
      for (int c = 0; c < 3; ++c) {
        if (c > 0) QTest::keyClick(dayClass, Qt::Key_Down);
        type("TimeEdit2", "2359", true);
        type("TimeEd", "60");
        type("ScattoED", "127");
      }
      dialogs.NextFile(saved);
      if (QAction* save = editor->findChild<QAction*>(QStringLiteral("SaveBtn"))) save->trigger();
      done = FileExists(saved);
      // Whatever happened, the editor closes without a question.
      dialogs.NextAnswer(MsgAnswer::Yes);
      editor->done(QDialog::Accepted);
    });
    poll.start(20);
    Command(program, "ImpostazioniTariffe1")->trigger();
    std::string messages;
    for (const auto& m : dialogs.shown) messages += m.text + " | ";
    ASSERT_TRUE(done) << messages;
    // The list of this run is not rebuilt.
    EXPECT_EQ(program.Form()
                  .findChild<QComboBox*>(QStringLiteral("FeeCB"))
                  ->findText(QStringLiteral("Serale di prova")),
              -1);
    program.WMQueryEndSession();
  }
  TOrvaProgram next(Options());
  next.Start();
  EXPECT_GE(next.Form()
                .findChild<QComboBox*>(QStringLiteral("FeeCB"))
                ->findText(QStringLiteral("Serale di prova")),
            0);
  next.WMQueryEndSession();
}

}  // namespace
}  // namespace orva

// The main window's places and size as a person at the desktop meets them, read back from the
// X server (not from Qt): each mode comes back where it was left however often the user
// switches, a tray click does not move it, a place the window manager gave it is the one saved
// and restored at the next start, the first-start wizard opens over its owner, and a window
// kept out of sight at the start comes up whole. The place tests are skipped off an X server.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <string>

#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "TestProgram.h"
#include "XServerPlaces.h"
#include "app/ui/MainForm.h"
#include "app/ui/Program.h"
#include "platform/DataDir.h"
#include "platform/IniFile.h"

namespace orva {
namespace {

using test::XPlace;

// The frame's top-left, from the X server.
std::string Frame(const std::optional<XPlace>& p) {
  return p ? std::to_string(p->frame.x()) + "," + std::to_string(p->frame.y()) : "nowhere";
}

struct WindowPlaces : ::testing::Test {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<TOrvaProgram> program;

  void SetUp() override {
    if (const QString why = test::NoXServerReason(); !why.isEmpty())
      GTEST_SKIP() << why.toStdString();
    ASSERT_TRUE(SeedTariffs(dir.path()));
    test::WriteBytes(dir.File("hosts"), "127.0.0.1 localhost\n");
    test::WriteBytes(dir.File("Time Servers.txt"), "127.0.0.1\r\n");
  }
  void TearDown() override { Stop(); }

  // The settings file: the two places and the mode; no wizard unless asked.
  void WriteSettings(const std::string& general, bool wizard = false) {
    test::WriteBytes(dir.File("ORVA32.INI"),
                     "[Impostazioni generali]\r\nMostra wizard=" + std::string(wizard ? "1" : "0") +
                         "\r\n" + general +
                         "[Suggerimenti]\r\nHelp Tips=1\r\n[Setup]\r\nSuggerimenti=0\r\n"
                         "[TCPIP]\r\nGet network time=0\r\nResolve IP addresses=0\r\n");
  }
  void Start() {
    program = std::make_unique<TOrvaProgram>(test::QuietProgram(dir.path(), dialogs));
    program->Start();
    program->Form().TrayAvailable = [] { return true; };
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&program->Form()));
  }
  // Ends the program as the session's end does: the settings are saved.
  void Stop() {
    if (!program) return;
    program->WMQueryEndSession();
    program->Form().QuitNow();
    program.reset();
  }
  TMainForm& Form() { return program->Form(); }
  std::optional<XPlace> Place() { return test::SettledXServerPlace(Form()); }
  void Click(const char* button) {
    Form().findChild<QToolButton*>(QString::fromLatin1(button))->click();
  }
};

// Riduci and Ingrandisci, again and again: the large window and the small bar each open at
// their own place, frame and all, never a title bar higher or lower than the time before.
TEST_F(WindowPlaces, EachModeComesBackToItsOwnPlaceHoweverOftenTheUserSwitches) {
  WriteSettings(
      "Left coord. Z=600\r\nTop coord. Z=250\r\nLeft coord. S=101\r\nTop coord. S=20\r\n");
  Start();
  const std::optional<XPlace> large = Place();
  ASSERT_TRUE(large) << "the large window is not on the X server";
  EXPECT_EQ(Frame(large), "600,250");
  for (int round = 1; round <= 5; ++round) {
    Click("ShrinkBtn");
    const std::optional<XPlace> small = Place();
    ASSERT_TRUE(small);
    EXPECT_EQ(Frame(small), "101,20") << "round " << round;
    EXPECT_EQ(small->client, small->frame) << "the bar has no border";
    Click("ZoomBtn");
    EXPECT_EQ(Place(), large) << "round " << round;
  }
}

// The user drags each mode somewhere else: a tray click away and back leaves it there, and the
// place saved at the end is the one the next start opens at, in both modes.
TEST_F(WindowPlaces, APlaceTheUserGaveIsKeptThroughTheTrayAndTheNextStart) {
  WriteSettings("Left coord. Z=40\r\nTop coord. Z=30\r\n");
  Start();
  ASSERT_TRUE(Place());
  ASSERT_TRUE(test::MoveFrameOnXServer(Form(), QPoint(356, 188)))
      << "the window manager did not move the window";
  const std::optional<XPlace> large = Place();
  ASSERT_TRUE(large);
  for (int click = 0; click < 2; ++click) {
    Form().HideShowWin();  // away to the tray
    QTest::qWait(100);
    Form().HideShowWin();  // and back
    EXPECT_EQ(Place(), large) << "tray click " << click;
  }
  Click("ShrinkBtn");
  ASSERT_TRUE(Place());
  ASSERT_TRUE(test::MoveFrameOnXServer(Form(), QPoint(700, 45)))
      << "the window manager did not move the bar";
  const std::optional<XPlace> small = Place();
  ASSERT_TRUE(small);
  Form().HideShowWin();
  QTest::qWait(100);
  Form().HideShowWin();
  EXPECT_EQ(Place(), small);
  Click("ZoomBtn");
  EXPECT_EQ(Place(), large);

  Stop();
  TIniFile saved(dir.File("ORVA32.INI"));
  const char* general = "Impostazioni generali";
  EXPECT_EQ(saved.ReadInteger(general, "Left coord. Z", -1), 356);
  EXPECT_EQ(saved.ReadInteger(general, "Top coord. Z", -1), 188);
  EXPECT_EQ(saved.ReadInteger(general, "Left coord. S", -1), 700);
  EXPECT_EQ(saved.ReadInteger(general, "Top coord. S", -1), 45);
  Start();
  EXPECT_EQ(Place(), large) << "next start";
  Click("ShrinkBtn");
  EXPECT_EQ(Place(), small) << "next start";
}

// The first start's wizard opens over the main window, centre on centre, or in the middle of
// the screen when the main window sits in the screen's corner (where the first start puts it)
// and a wizard over it would not be whole on the screen.
TEST_F(WindowPlaces, FirstStartWizardOpensOverTheMainWindowOrMidScreen) {
  const auto centreOf = [](const XPlace& p, QWidget& w) {
    const QSize frame = w.windowHandle()->frameGeometry().size();
    return QRect(p.frame, frame).center();
  };
  for (const char* place : {"Left coord. Z=400\r\nTop coord. Z=300\r\n", ""}) {
    SCOPED_TRACE(*place ? "main window at 400,300" : "main window in the corner");
    WriteSettings(place, true);
    Start();
    QWidget* wizard = nullptr;
    QElapsedTimer t;
    t.start();
    while (!wizard && t.elapsed() < 5000) {
      QTest::qWait(20);
      for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == QStringLiteral("WizardDlg")) wizard = w;
    }
    ASSERT_TRUE(wizard) << "no wizard at the first start";
    const std::optional<XPlace> main = Place(), shown = test::SettledXServerPlace(*wizard);
    ASSERT_TRUE(main && shown);
    const QPoint centre = centreOf(*shown, *wizard);
    const QRect area = Form().screen()->availableGeometry();
    const QPoint expected = *place ? centreOf(*main, Form()) : area.center();
    EXPECT_LE((centre - expected).manhattanLength(), 2)
        << "wizard at " << test::Describe(shown).toStdString() << ", centre " << centre.x() << ","
        << centre.y() << " instead of " << expected.x() << "," << expected.y();
    static_cast<QDialog*>(wizard)->reject();
    Stop();
  }
}

// With "Help Tips" off the window starts out of sight; the tray click that brings it up shows
// it as high as with the tips on, every line of the status panel whole ("Posta", "Hosts"
// the last). On the offscreen platform as on an X server.
TEST(HiddenStart, TheWindowBroughtUpFromTheTrayShowsEveryPanelWhole) {
  int heightWithTips = 0;
  for (const bool tips : {true, false}) {
    SCOPED_TRACE(tips ? "tips on" : "tips off");
    test::TempDir dir;
    test::ScriptedDialogs dialogs;
    ASSERT_TRUE(SeedTariffs(dir.path()));
    test::WriteBytes(dir.File("hosts"), "127.0.0.1 localhost\n");
    test::WriteBytes(dir.File("Time Servers.txt"), "127.0.0.1\r\n");
    test::WriteBytes(dir.File("ORVA32.INI"),
                     std::string("[Impostazioni generali]\r\nMostra wizard=0\r\n[Suggerimenti]\r\n"
                                 "Help Tips=") +
                         (tips ? "1" : "0") +
                         "\r\n[Setup]\r\nSuggerimenti=0\r\n[TCPIP]\r\nGet network time=0\r\n"
                         "Resolve IP addresses=0\r\n");
    TOrvaProgram program(test::QuietProgram(dir.path(), dialogs));
    program.Start();
    TMainForm& form = program.Form();
    form.TrayAvailable = [] { return true; };
    QTest::qWait(100);
    EXPECT_EQ(form.isVisible(), tips);
    if (!tips) form.HideShowWin();  // the tray click
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::qWait(100);
    if (tips)
      heightWithTips = form.height();
    else
      EXPECT_EQ(form.height(), heightWithTips);
    auto* body = form.findChild<QWidget*>(QStringLiteral("MPanel4Body"));
    ASSERT_NE(body, nullptr);
    for (auto* label : body->findChildren<QLabel*>()) {
      const QRect inForm(label->mapTo(&form, QPoint(0, 0)), label->size());
      EXPECT_TRUE(form.rect().contains(inForm)) << label->text().toStdString() << " cut";
      EXPECT_LE(label->geometry().bottom(), body->height() - 1) << label->text().toStdString();
    }
    program.WMQueryEndSession();
    form.QuitNow();
  }
}

}  // namespace
}  // namespace orva

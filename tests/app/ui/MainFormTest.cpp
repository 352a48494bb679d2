// The main window by its component names: counters, the counter cycle, the window modes,
// the close box and the close with the password.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QSystemTrayIcon>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "TestProgram.h"
#include "app/ui/MainForm.h"
#include "app/ui/Program.h"
#include "core/HowUtils.h"

namespace orva {
namespace {

QString Text(const QWidget& root, const char* name) {
  auto* l = root.findChild<QLabel*>(QString::fromLatin1(name));
  return l ? l->text() : QStringLiteral("<missing %1>").arg(QString::fromLatin1(name));
}

struct Form {
  TMainForm form;
  CounterInput call;
  Form() {
    call.tariff.tickSeconds = 60;
    call.tariff.tickCost = 127;
    call.tariff.tickText = "00.01.00";
    form.CounterSource = [this] { return call; };
    form.TrayAvailable = [] { return true; };
    form.FormCreate();
    QApplication::processEvents();
  }
};

TEST(MainForm, HasTheComponentsByTheirNames) {
  Form f;
  for (const char* name :
       {"Panel01",       "L22",      "MenuBtn",    "Panel02",   "StartBtn",
        "ProgBar",       "StopBtn",  "FeeCB1",     "Panel03",   "ZoomBtn",
        "PanelManager1", "MPanel1",  "MPanel2",    "MPanel3",   "MPanel4",
        "MPanel5",       "MPanel6",  "ConnectBtn", "HangupBtn", "TransparentButton1",
        "VoiceBtn",      "SetupBtn", "HostsBtn",   "ShrinkBtn", "ClockBtn",
        "ServiceLb",     "FeeCB",    "L2",         "ProgBar1",  "StatusLb",
        "RasLb",         "DevName",  "DevType",    "TickLb",    "HCostLb",
        "IPLb",          "SyncroL",  "BytesRecv",  "BytesSend", "POP3L",
        "PB00"})
    EXPECT_NE(f.form.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
  EXPECT_EQ(f.form.MainMenu()->objectName(), QStringLiteral("Mainmenu"));
  EXPECT_EQ(f.form.TrayIcon()->objectName(), QStringLiteral("RxTrayIcon1"));
  EXPECT_EQ(f.form.findChild<QWidget*>(QStringLiteral("MenuBtn"))->toolTip(),
            QStringLiteral("Menu principale"));
}

TEST(MainForm, RedrawPutsTheCounterTextsIntoTheLabelsAndTheTitle) {
  Form f;
  f.call.metering = true;
  f.call.now = EncodeDate(2026, 1, 5) + EncodeTime(9, 0, 0);
  f.call.tickStart = f.call.now - 15 * kOneSecond;
  f.call.elapsed = EncodeTime(0, 3, 15);
  f.call.ticks = 4;
  f.call.cost = 508;
  f.call.bytesReceived = "20480";
  f.form.RedrawCounters();
  EXPECT_EQ(Text(f.form, "L2"), QStringLiteral("00.03.15 - 508.0"));
  EXPECT_EQ(Text(f.form, "L22"), Text(f.form, "L2"));
  EXPECT_EQ(Text(f.form, "HCostLb"), QStringLiteral("L. 7.620"));
  EXPECT_EQ(Text(f.form, "TickLb"), QStringLiteral("00.01.00"));
  EXPECT_EQ(Text(f.form, "BytesRecv"), QStringLiteral("20.480"));
  EXPECT_TRUE(f.form.TaskbarTitle().startsWith(QStringLiteral("00.03.15 - 508.0")));
  // A late sample with no time left to the tick keeps the last counter text.
  f.form.SelectCounterItem(5);
  const QString before = Text(f.form, "L22");
  f.call.tickStart = f.call.now - 75 * kOneSecond;
  f.form.RedrawCounters();
  EXPECT_EQ(Text(f.form, "L22"), before);
}

TEST(MainForm, ClickingTheCounterCyclesAndSkipsTickItemsForContinuousCharging) {
  Form f;
  f.call.tariff.tickSeconds = 1;
  f.form.RedrawCounters();
  auto* l22 = f.form.findChild<QLabel*>(QStringLiteral("L22"));
  std::vector<int> seen;
  for (int i = 0; i < 4; ++i) {
    QTest::mouseClick(l22, Qt::LeftButton);
    seen.push_back(f.form.DisplayItem());
  }
  EXPECT_EQ(seen, (std::vector<int>{2, 3, 6, 1}));
  // The tick items of the counter menu are greyed, the checked item follows.
  auto menuItem = [&](int i) {
    return f.form.findChild<QAction*>(QStringLiteral("Counter%1").arg(i));
  };
  EXPECT_FALSE(menuItem(4)->isEnabled());
  EXPECT_FALSE(menuItem(5)->isEnabled());
  EXPECT_FALSE(menuItem(7)->isEnabled());
  EXPECT_TRUE(menuItem(6)->isEnabled());
  EXPECT_TRUE(menuItem(1)->isChecked());
  // A right click does nothing.
  QTest::mouseClick(l22, Qt::RightButton);
  EXPECT_EQ(f.form.DisplayItem(), 1);
}

TEST(MainForm, SmallBarIsAlwaysOnTopAndTheLargeWindowIsNot) {
  Form f;
  EXPECT_EQ(f.form.Mode(), WindowMode::Large);
  EXPECT_FALSE(f.form.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(f.form.findChild<QWidget*>(QStringLiteral("PanelManager1"))->isVisible());
  EXPECT_FALSE(f.form.findChild<QWidget*>(QStringLiteral("FeeCB1"))->isVisible());

  f.form.findChild<QToolButton*>(QStringLiteral("ShrinkBtn"))->click();
  EXPECT_EQ(f.form.Mode(), WindowMode::Small);
  EXPECT_TRUE(f.form.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(f.form.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(f.form.isVisible());
  EXPECT_FALSE(f.form.findChild<QWidget*>(QStringLiteral("PanelManager1"))->isVisible());
  EXPECT_TRUE(f.form.findChild<QWidget*>(QStringLiteral("FeeCB1"))->isVisible());
  EXPECT_EQ(f.form.height(), f.form.findChild<QWidget*>(QStringLiteral("Panel02"))->height());
  EXPECT_TRUE(f.form.findChild<QAction*>(QStringLiteral("Ridotta1"))->isChecked());

  f.form.findChild<QToolButton*>(QStringLiteral("ZoomBtn"))->click();
  EXPECT_EQ(f.form.Mode(), WindowMode::Large);
  EXPECT_FALSE(f.form.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(f.form.findChild<QAction*>(QStringLiteral("Ingrandita1"))->isChecked());
}

// Whatever the font, and however low the user makes the window, every row of the status
// panel shows whole: the panel grows to its rows, and the window keeps room for its panels.
TEST(MainForm, EveryStatusRowShowsWholeInsideItsPanel) {
  // A desktop with a larger font than the test platform's.
  struct RestoreFont {
    QFont font = QApplication::font();
    ~RestoreFont() { QApplication::setFont(font); }
  } restore;
  QFont large = restore.font;
  large.setPixelSize(16);
  QApplication::setFont(large);
  Form f;
  f.form.show();
  QApplication::processEvents();
  auto* body = f.form.findChild<QWidget*>(QStringLiteral("MPanel4Body"));
  ASSERT_NE(body, nullptr);
  for (int height : {f.form.height(), 200}) {
    f.form.resize(f.form.width(), height);
    QApplication::processEvents();
    int labels = 0;
    for (auto* label : body->findChildren<QLabel*>()) {
      const QRect r = label->geometry();
      EXPECT_GE(r.top(), 0) << label->text().toStdString() << " at " << height;
      EXPECT_LE(r.bottom(), body->height() - 1) << label->text().toStdString() << " at " << height;
      EXPECT_GE(r.height(), label->fontMetrics().height()) << label->text().toStdString();
      ++labels;
    }
    EXPECT_EQ(labels, 24);  // twelve captions and their values, "Hosts :" the last
  }
}

TEST(MainForm, CloseBoxHidesToTheTrayAndTheTrayClickBringsItBack) {
  Form f;
  ASSERT_TRUE(f.form.isVisible());
  EXPECT_FALSE(f.form.close());  // the close box does not close
  EXPECT_FALSE(f.form.isVisible());
  EXPECT_TRUE(f.form.IsHidden());
  EXPECT_FALSE(f.form.WindowShown());
  f.form.HideShowWin();
  EXPECT_TRUE(f.form.isVisible());
  EXPECT_TRUE(f.form.WindowShown());
  f.form.HideShowWin();
  EXPECT_FALSE(f.form.isVisible());
  // Brought up by the meter, the next tray click hides it again.
  f.form.ShowORVAWin();
  EXPECT_TRUE(f.form.isVisible());
  f.form.HideShowWin();
  EXPECT_FALSE(f.form.isVisible());
}

TEST(MainForm, WithoutATrayTheCloseBoxMinimisesInstead) {
  Form f;
  f.form.TrayAvailable = [] { return false; };
  EXPECT_FALSE(f.form.close());
  EXPECT_FALSE(f.form.IsHidden());
}

TEST(MainForm, FlashingInvertsTheCounterAndStopRestoresIt) {
  Form f;
  auto* l22 = f.form.findChild<QLabel*>(QStringLiteral("L22"));
  const QColor normal = l22->palette().color(QPalette::Window);
  f.form.Flash();
  EXPECT_TRUE(f.form.FlashPhase());
  EXPECT_NE(l22->palette().color(QPalette::Window), normal);
  f.form.StopFlashing();
  EXPECT_FALSE(f.form.FlashPhase());
  EXPECT_EQ(l22->palette().color(QPalette::Window), normal);
}

// The program around the window, on a temporary data directory.
struct ProgramFixture : ::testing::Test {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<TOrvaProgram> program;
  void Make() {
    ProgramOptions o = test::QuietProgram(dir.path(), dialogs);
    program = std::make_unique<TOrvaProgram>(o);
    program->Start();
    program->Form().TrayAvailable = [] { return true; };
  }
};

TEST_F(ProgramFixture, PasswordAskedAtCloseWhenSaveOnExitIsSet) {
  Make();
  program->ProgramSettingsRecord().access.password = "Segreto";
  program->ProgramSettingsRecord().access.preventClose = 1;
  // Cancel: keeps running, silently.
  dialogs.NextPassword(std::nullopt);
  program->Form().Quit1Click();
  EXPECT_EQ(dialogs.prompts.size(), 1u);
  EXPECT_EQ(dialogs.prompts[0], "Inserire la password corrente");
  EXPECT_TRUE(dialogs.shown.empty());
  // Wrong (case differs): a beep and the error.
  dialogs.NextPassword("segreto");
  program->Form().Quit1Click();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "Password scorretta !");
  EXPECT_EQ(dialogs.beeps, 1);
  EXPECT_FALSE(dialogs.shown.empty());
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "ORVA32.INI"));
  // Right: closes and saves the settings.
  dialogs.NextPassword("Segreto");
  program->Form().Quit1Click();
  EXPECT_TRUE(std::filesystem::exists(dir.path() + "ORVA32.INI"));
}

TEST_F(ProgramFixture, NoPasswordAskedWhenTheSessionEnds) {
  Make();
  program->ProgramSettingsRecord().access.password = "Segreto";
  program->ProgramSettingsRecord().access.preventClose = 1;
  program->WMQueryEndSession();
  program->Form().Quit1Click();
  EXPECT_TRUE(dialogs.prompts.empty());
  EXPECT_TRUE(std::filesystem::exists(dir.path() + "ORVA32.INI"));
}

TEST(ShowSplash, OnlyWhenSetAndNotRefusedByTheFirstArgument) {
  EXPECT_TRUE(ShowSplash(true, {}));
  EXPECT_FALSE(ShowSplash(false, {}));
  EXPECT_FALSE(ShowSplash(true, {QStringLiteral("NoSplash")}));
  EXPECT_TRUE(ShowSplash(true, {QStringLiteral("x"), QStringLiteral("nosplash")}));
}

}  // namespace
}  // namespace orva

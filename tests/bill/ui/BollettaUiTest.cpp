#include "bill/ui/Bolletta.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>

#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "bill/ui/Bolman.h"
#include "core/HowUtils.h"

namespace orva {
namespace {

struct BillFixture : ::testing::Test {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  Settings settings;
  void SetUp() override { settings.decimals = 1; }
  BillOptions Options() const {
    BillOptions o;
    o.directory = dir.path();
    o.decimals = 1;
    return o;
  }
  std::unique_ptr<TBollettaDLG> Open(DateParts today) {
    return std::make_unique<TBollettaDLG>(
        BillViewContext{settings, dialogs, today, 0.2, {}, dir.path()});
  }
  template <class T>
  static T* Find(QWidget* w, const char* name) {
    return w->findChild<T*>(QString::fromUtf8(name));
  }
  static std::string Text(QWidget* w, const char* name) {
    return Find<QLabel>(w, name)->text().toStdString();
  }
};

TEST_F(BillFixture, DayFiguresInBothModes) {
  TDataSetINI set(10, 1999, Options());
  ASSERT_TRUE(set.AddTicks(15, 3, 127.0));
  ASSERT_TRUE(set.AddTicks(15, 2, 63.5));
  auto view = Open({1999, 10, 15});
  EXPECT_EQ(Text(view.get(), "LG"), "Scatti nel giorno :");
  EXPECT_EQ(Text(view.get(), "DScl"), "4.00");
  EXPECT_EQ(Text(view.get(), "DATLb"), "10_1999.BOL");
  Find<QRadioButton>(view.get(), "A1")->click();
  EXPECT_EQ(Text(view.get(), "LG"), "Costo nel giorno :");
  EXPECT_EQ(Text(view.get(), "DScl"), "508.0");
  EXPECT_EQ(settings.billShowData, 1);
}

TEST_F(BillFixture, PeriodWithFixedCostsAndSupplementaryTicks) {
  auto view = Open({1999, 10, 10});
  view->SetPeriod({1999, 9, 20}, {1999, 10, 10});
  EXPECT_EQ(Text(view.get(), "FromLb"), "20/09/99");
  EXPECT_EQ(Text(view.get(), "ToLb"), "10/10/99");
  Find<QLineEdit>(view.get(), "FixCost")->setText(QStringLiteral("1000"));
  Find<QLineEdit>(view.get(), "Suppl")->setText(QStringLiteral("10"));
  EXPECT_EQ(Text(view.get(), "ScattiLb"), "10.0");
  EXPECT_EQ(Text(view.get(), "NettoLb"), "2270.0");
  EXPECT_EQ(Text(view.get(), "IVALb"), "454.0");
  EXPECT_EQ(Text(view.get(), "TotalLb"), "2724.0");
  EXPECT_EQ(settings.billFixedCosts, "1000");
  EXPECT_EQ(settings.billExtraTicks, "10");
}

TEST_F(BillFixture, MonthStepFromTheLastOfJanuary) {
  auto view = Open({2023, 1, 31});
  view->UpDown1Click(1);
  EXPECT_EQ(view->CalendarDate().day, 28);
  view->SetCalendarDate({2024, 1, 31});
  Find<QSpinBox>(view.get(), "UpDown1")->stepUp();
  EXPECT_EQ(view->CalendarDate().month, 2);
  EXPECT_EQ(view->CalendarDate().day, 29);
  EXPECT_EQ(Text(view.get(), "MonthLb"), "Febbraio 2024");
}

TEST_F(BillFixture, DayEditorOkWithAnEmptyListRemovesTheDay) {
  TDataSetINI set(10, 1999, Options());
  ASSERT_TRUE(set.AddTicks(15, 3, 127.0));
  ASSERT_TRUE(set.AddTicks(16, 1, 127.0));
  TBolManDlg editor(15, 10, 1999, Options());
  auto* list = Find<QTreeWidget>(&editor, "LB");
  ASSERT_EQ(list->topLevelItemCount(), 1);
  EXPECT_FALSE(Find<QPushButton>(&editor, "DelBtn")->isEnabled());
  list->setCurrentItem(list->topLevelItem(0));
  EXPECT_EQ(Find<QLineEdit>(&editor, "ED0")->text(), QStringLiteral("3"));
  Find<QPushButton>(&editor, "DelBtn")->click();
  EXPECT_EQ(list->topLevelItemCount(), 0);
  ASSERT_TRUE(editor.Model().WriteBack());
  const std::string file = test::ReadBytes(dir.File("10_1999.BOL"));
  EXPECT_EQ(file.find("[15/10/99]"), std::string::npos) << file;
  EXPECT_NE(file.find("[16/10/99]"), std::string::npos) << file;
}

TEST_F(BillFixture, DayEditorStoresADecimalCommaAsAPoint) {
  TBolManDlg editor(15, 10, 1999, Options());
  Find<QLineEdit>(&editor, "ED0")->setText(QStringLiteral("2"));
  Find<QLineEdit>(&editor, "ED1")->setText(QStringLiteral("63,5"));
  Find<QPushButton>(&editor, "AddBtn")->click();
  ASSERT_TRUE(editor.Model().WriteBack());
  EXPECT_EQ(TDataSetINI(10, 1999, Options()).CostSum(15, 15), "127.0");
}

// The user corrects a day of 36 ticks at 127 lire: Enter on the day in the calendar opens the
// day tick editor, 4 more at 127.0 are added and confirmed with OK. The day then holds 40
// ticks (5080 lire), not the 4 of the last entry.
TEST_F(BillFixture, TicksAddedAtAPriceTheDayHasJoinItsCount) {
  ASSERT_TRUE(TDataSetINI(10, 1999, Options()).AddTicks(15, 36, 127.0));
  auto view = Open({1999, 10, 15});
  view->show();
  ASSERT_EQ(Text(view.get(), "DScl"), "36.00");
  bool edited = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
    QWidget* editor = QApplication::activeModalWidget();
    if (!editor || editor->objectName() != QStringLiteral("BolManDlg")) return;
    poll.stop();
    auto* count = Find<QLineEdit>(editor, "ED0");
    auto* price = Find<QLineEdit>(editor, "ED1");
    // The edits may hold the day's entry already: typed over, as a user does.
    count->setFocus();
    count->selectAll();
    QTest::keyClicks(count, QStringLiteral("4"));
    price->setFocus();
    price->selectAll();
    QTest::keyClicks(price, QStringLiteral("127.0"));
    Find<QPushButton>(editor, "AddBtn")->click();
    edited = Find<QTreeWidget>(editor, "LB")->topLevelItemCount() == 2;
    Find<QPushButton>(editor, "OKBtn")->click();
  });
  poll.start(10);
  auto* calendar = Find<QCalendarWidget>(view.get(), "Calendar1");
  auto* grid = calendar->findChild<QAbstractItemView*>(QStringLiteral("qt_calendar_calendarview"));
  ASSERT_NE(grid, nullptr);
  grid->setFocus();
  QTest::keyClick(grid, Qt::Key_Return);
  ASSERT_TRUE(edited);
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(Text(view.get(), "DScl"), "40.00");
  Find<QRadioButton>(view.get(), "A1")->click();
  EXPECT_EQ(Text(view.get(), "DScl"), "5080.0");
}

// "Lire" and "Scatti" follow the choice however it is made: a screen reader toggles the
// button through its accessible action, which is no mouse click, and the figures follow.
TEST_F(BillFixture, DisplayModeFollowsAScreenReadersToggle) {
  TDataSetINI set(10, 1999, Options());
  ASSERT_TRUE(set.AddTicks(15, 3, 127.0));
  auto view = Open({1999, 10, 15});
  view->show();
  auto toggle = [&](const char* name) {
    QAccessibleInterface* button =
        QAccessible::queryAccessibleInterface(Find<QRadioButton>(view.get(), name));
    ASSERT_NE(button, nullptr);
    ASSERT_NE(button->actionInterface(), nullptr);
    button->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  };
  toggle("A1");
  ASSERT_TRUE(Find<QRadioButton>(view.get(), "A1")->isChecked());
  EXPECT_EQ(Text(view.get(), "LG"), "Costo nel giorno :");
  EXPECT_EQ(Text(view.get(), "DScl"), "381.0");
  EXPECT_EQ(settings.billShowData, 1);
  toggle("A0");
  EXPECT_EQ(Text(view.get(), "LG"), "Scatti nel giorno :");
  EXPECT_EQ(Text(view.get(), "DScl"), "3.00");
  EXPECT_EQ(settings.billShowData, 0);
}

TEST_F(BillFixture, Screenshots) {
  const char* out = std::getenv("ORVA_SCREENSHOTS");
  if (!out || !*out) GTEST_SKIP() << "ORVA_SCREENSHOTS not set";
  TDataSetINI set(10, 1999, Options());
  for (int d = 1; d <= 31; ++d) {
    if (d % 7 == 3) continue;
    ASSERT_TRUE(set.AddTicks(d, (d * 37) % 23 + 2, 127.0));
    if (d % 3 == 0) {
      ASSERT_TRUE(set.AddTicks(d, d % 5 + 1, 63.5));
    }
  }
  settings.billStart = "20/09/99";
  settings.billFixedCosts = "12000";
  settings.currency = Currency::Euro;  // the pictures show today's money
  auto view = Open({1999, 10, 15});
  view->show();
  QApplication::processEvents();
  const QString folder = QString::fromUtf8(out);
  view->grab().save(folder + QStringLiteral("/bill-ticks.png"));
  Find<QRadioButton>(view.get(), "A1")->click();
  QApplication::processEvents();
  view->grab().save(folder + QStringLiteral("/bill-lire.png"));
  BillOptions euro = Options();
  euro.currency = Currency::Euro;
  TBolManDlg editor(15, 10, 1999, euro);
  editor.show();
  QApplication::processEvents();
  editor.grab().save(folder + QStringLiteral("/bill-day-editor.png"));
}

}  // namespace
}  // namespace orva

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QWheelEvent>

namespace orva {

TEST_F(BillFixture, WheelOverTheCalendarTurnsTheMonthItsLabelAndFigures) {
  TDataSetINI set(11, 1999, Options());
  ASSERT_TRUE(set.AddTicks(30, 3, 127.0));
  auto view = Open({1999, 10, 31});
  const std::string october = Text(view.get(), "MonthLb");
  auto* calendar = Find<QCalendarWidget>(view.get(), "Calendar1");
  ASSERT_NE(calendar, nullptr);
  view->show();
  // The wheel turned down over the grid: the next month's page.
  auto* grid = calendar->findChild<QAbstractItemView*>(QStringLiteral("qt_calendar_calendarview"));
  ASSERT_NE(grid, nullptr);
  QWheelEvent wheel(QPointF(20, 20), grid->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(grid->viewport(), &wheel);
  ASSERT_EQ(calendar->monthShown(), 11);
  // The 31st has no November twin: the last day of the month is taken.
  EXPECT_EQ(calendar->selectedDate(), QDate(1999, 11, 30));
  EXPECT_NE(Text(view.get(), "MonthLb"), october);
  EXPECT_EQ(Text(view.get(), "DATLb"), "11_1999.BOL");
  EXPECT_EQ(Text(view.get(), "DScl"), "3.00");
}

}  // namespace orva

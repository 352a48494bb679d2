// The bill view's month forecast on the bill files of tests/data/bill/forecast (December 1999
// up to the 15th, November 1999).
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "bill/ui/Bolletta.h"

namespace orva {
namespace {

struct ForecastView : ::testing::Test {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  Settings settings;
  void SetUp() override {
    for (const char* name : {"11_1999.BOL", "12_1999.BOL"})
      std::filesystem::copy_file(test::TestDataDir() + "bill/forecast/" + name, dir.File(name));
    settings.decimals = 1;
    settings.billStart = "20/11/99";
    settings.warnPeriodCostOn = 1;
    settings.warnPeriodCost = "60000";
  }
  std::unique_ptr<TBollettaDLG> Open(DateParts today) {
    return std::make_unique<TBollettaDLG>(
        BillViewContext{settings, dialogs, today, 0.2, {}, dir.path()});
  }
  static QLabel* Label(QWidget* w, const char* name) {
    return w->findChild<QLabel*>(QString::fromUtf8(name));
  }
  static std::string Text(QWidget* w, const char* name) {
    return Label(w, name)->text().toStdString();
  }
};

TEST_F(ForecastView, ShowsTheProjectionBesideTheLimitAndWarnsInWords) {
  settings.warnPeriodCostWithVat = 1;
  auto view = Open({1999, 12, 15});
  // 410 unit ticks by the month's end, 52070 lire: 62484 with VAT, over 60000.
  EXPECT_EQ(Text(view.get(), "ForecastLb"), "L. 62.484 (IVA inclusa)");
  EXPECT_EQ(Text(view.get(), "LimitLb"), "L. 60.000 (IVA inclusa)");
  QLabel* warning = Label(view.get(), "ForecastWarnLb");
  EXPECT_FALSE(warning->isHidden());
  EXPECT_EQ(warning->text().toStdString(), "La previsione supera il costo massimo del periodo");
  EXPECT_EQ(warning->accessibleDescription(), warning->text());
  EXPECT_TRUE(Label(view.get(), "ForecastLb")->accessibleName().contains(QStringLiteral("supera")));
  // The figures are reached with the keyboard.
  EXPECT_TRUE(Label(view.get(), "ForecastLb")->focusPolicy() & Qt::TabFocus);

  // Without VAT the same projection stays under the limit.
  settings.warnPeriodCostWithVat = 0;
  view = Open({1999, 12, 15});
  EXPECT_EQ(Text(view.get(), "ForecastLb"), "L. 52.070 (IVA esclusa)");
  EXPECT_TRUE(Label(view.get(), "ForecastWarnLb")->isHidden());

  // A period that starts today leaves November out: (4 + 161) unit ticks.
  view->SetPeriod({1999, 12, 15}, {1999, 12, 15});
  EXPECT_EQ(Text(view.get(), "ForecastLb"), "L. 20.955 (IVA esclusa)");
}

TEST_F(ForecastView, FirstOfTheMonthAndWarningOffShowNoForecastAndNoLimit) {
  settings.warnPeriodCostOn = 0;
  auto view = Open({1999, 12, 1});
  EXPECT_EQ(Text(view.get(), "ForecastLb"), "—");
  EXPECT_TRUE(Label(view.get(), "ForecastLb")->toolTip().contains(QStringLiteral("Nessun")));
  EXPECT_TRUE(Label(view.get(), "LimitLb")->isHidden());
  EXPECT_TRUE(Label(view.get(), "ForecastWarnLb")->isHidden());
}

// The user adds 100 ticks at 127 lire to today through the day tick editor: today now costs
// more than a weekday's average, the projection grows by 94 unit ticks and crosses the limit.
TEST_F(ForecastView, EditingTodayRedoesTheProjectionAndItsWarning) {
  settings.warnPeriodCostWithVat = 0;
  auto view = Open({1999, 12, 15});
  view->show();
  ASSERT_TRUE(Label(view.get(), "ForecastWarnLb")->isHidden());
  bool edited = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
    QWidget* editor = QApplication::activeModalWidget();
    if (!editor || editor->objectName() != QStringLiteral("BolManDlg")) return;
    poll.stop();
    auto* count = editor->findChild<QLineEdit*>(QStringLiteral("ED0"));
    auto* price = editor->findChild<QLineEdit*>(QStringLiteral("ED1"));
    count->setFocus();
    count->selectAll();
    QTest::keyClicks(count, QStringLiteral("100"));
    price->setFocus();
    price->selectAll();
    QTest::keyClicks(price, QStringLiteral("127.0"));
    editor->findChild<QPushButton*>(QStringLiteral("AddBtn"))->click();
    edited = true;
    editor->findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
  });
  poll.start(10);
  auto* calendar = view->findChild<QCalendarWidget*>(QStringLiteral("Calendar1"));
  auto* grid = calendar->findChild<QAbstractItemView*>(QStringLiteral("qt_calendar_calendarview"));
  ASSERT_NE(grid, nullptr);
  grid->setFocus();
  QTest::keyClick(grid, Qt::Key_Return);
  ASSERT_TRUE(edited);
  // 349 unit ticks so far, today above its average, 155 for the days left: 64008 lire.
  EXPECT_EQ(Text(view.get(), "ForecastLb"), "L. 64.008 (IVA esclusa)");
  EXPECT_FALSE(Label(view.get(), "ForecastWarnLb")->isHidden());
}

}  // namespace
}  // namespace orva

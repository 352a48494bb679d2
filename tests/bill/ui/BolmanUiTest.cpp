// The day tick editor as a euro user meets it: opened from the bill view's calendar, prices
// read and typed in euro, the bill file still in lire.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "bill/ui/Bolletta.h"
#include "bill/ui/Bolman.h"

namespace orva {
namespace {

template <class T>
T* Find(QWidget* w, const char* name) {
  return w->findChild<T*>(QString::fromUtf8(name));
}

void TypeOver(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, text);
}

// A day of 36 ticks at 127 lire. Enter on the day opens the editor: the price reads "0,07"
// under "a Euro". The user picks the entry and makes it 40 ticks without touching the price,
// then adds 10 ticks at "0,05" and tries "0,0,5", which is refused. After OK the day costs
// 40 x 127 + 10 x 96.8135 lire, shown as euro in the bill view.
TEST(DayTickEditor, EuroUserCorrectsADayThroughTheBillView) {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  Settings settings;
  settings.decimals = 1;
  settings.currency = Currency::Euro;
  BillOptions options;
  options.directory = dir.path();
  options.decimals = 1;
  ASSERT_TRUE(TDataSetINI(10, 1999, options).AddTicks(15, 36, 127.0));
  TBollettaDLG view(BillViewContext{settings, dialogs, {1999, 10, 15}, 0.2, {}, dir.path()});
  view.show();

  QStringList shown, afterAdd;
  bool refused = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
    QWidget* editor = QApplication::activeModalWidget();
    if (!editor || editor->objectName() != QStringLiteral("BolManDlg") || !editor->isVisible())
      return;
    poll.stop();
    auto* list = Find<QTreeWidget>(editor, "LB");
    shown = {list->headerItem()->text(1), list->topLevelItem(0)->text(1)};
    // The entry picked by keyboard: Down onto the first item.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    TypeOver(Find<QLineEdit>(editor, "ED0"), QStringLiteral("40"));
    Find<QPushButton>(editor, "ModBtn")->click();
    TypeOver(Find<QLineEdit>(editor, "ED0"), QStringLiteral("10"));
    TypeOver(Find<QLineEdit>(editor, "ED1"), QStringLiteral("0,0,5"));
    Find<QPushButton>(editor, "AddBtn")->click();
    // Nothing added; the faulty price is selected for typing over.
    refused = list->topLevelItemCount() == 1 &&
              Find<QLineEdit>(editor, "ED1")->selectedText() == QStringLiteral("0,0,5");
    TypeOver(Find<QLineEdit>(editor, "ED1"), QStringLiteral("0,05"));
    Find<QPushButton>(editor, "AddBtn")->click();
    for (int i = 0; i < list->topLevelItemCount(); ++i)
      afterAdd << list->topLevelItem(i)->text(0) + QStringLiteral(" ") +
                      list->topLevelItem(i)->text(1);
    Find<QPushButton>(editor, "OKBtn")->click();
  });
  poll.start(10);
  auto* grid = Find<QCalendarWidget>(&view, "Calendar1")
                   ->findChild<QAbstractItemView*>(QStringLiteral("qt_calendar_calendarview"));
  ASSERT_NE(grid, nullptr);
  grid->setFocus();
  QTest::keyClick(grid, Qt::Key_Return);

  EXPECT_EQ(shown, (QStringList{QStringLiteral("a Euro"), QStringLiteral("0,07")}));
  EXPECT_TRUE(refused);
  EXPECT_EQ(afterAdd, (QStringList{QStringLiteral("40 0,07"), QStringLiteral("10 0,05")}));
  const std::string file = test::ReadBytes(dir.File("10_1999.BOL"));
  EXPECT_NE(file.find("127.0=40\r\n"), std::string::npos) << file;
  EXPECT_NE(file.find("96.8135=10\r\n"), std::string::npos) << file;
  // 5080 + 968.135 lire = 6048.135 lire, 3.1236 euro.
  Find<QRadioButton>(&view, "A1")->click();
  EXPECT_EQ(Find<QLabel>(&view, "DScl")->text(), QStringLiteral("3,12"));
}

}  // namespace
}  // namespace orva

// The mailbox window on the offscreen platform.
#include "net/ui/MailDlg.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTabBar>
#include <QTreeWidget>

namespace orva {
namespace {

TEST(TMailDlg, ShowsTabsRowsSortsAndStoresWidths) {
  TPOP3Object a;
  a.user = "anna";
  a.server = "pop.example.org";
  a.messages = {{"zed", "primo", "07/12/99", "10:11", "1.50"},
                {"Alba", "secondo", "01/01/25", "08:00", "0.10"}};
  TPOP3Object b;
  b.user = "bob";
  b.server = "mail.example.org";
  MailDlgSettings settings;
  settings.headerWidths = {100, 40, 60, 45, 120};
  int closed = 0;
  TMailDlg dlg({a, b}, settings, [&] { ++closed; });
  auto* tabs = dlg.findChild<QTabBar*>(QStringLiteral("TabControl1"));
  auto* lv = dlg.findChild<QTreeWidget*>(QStringLiteral("LV"));
  ASSERT_TRUE(tabs && lv);
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Caselle di posta"));
  ASSERT_EQ(tabs->count(), 2);
  EXPECT_EQ(tabs->tabText(0), QStringLiteral("anna@pop.example.org (2)"));
  EXPECT_EQ(lv->headerItem()->text(1), QStringLiteral("Dim (Kb)"));
  EXPECT_EQ(lv->columnWidth(0), 100);
  ASSERT_EQ(lv->topLevelItemCount(), 2);
  EXPECT_EQ(lv->topLevelItem(0)->text(0), QStringLiteral("zed"));

  emit lv->header()->sectionClicked(0);
  EXPECT_EQ(lv->topLevelItem(0)->text(0), QStringLiteral("Alba"));
  emit lv->header()->sectionClicked(0);
  EXPECT_EQ(lv->topLevelItem(0)->text(0), QStringLiteral("zed"));

  tabs->setCurrentIndex(1);
  ASSERT_EQ(lv->topLevelItemCount(), 1);
  EXPECT_EQ(lv->topLevelItem(0)->text(0), QStringLiteral("Nessun messaggio"));

  lv->setColumnWidth(4, 210);
  dlg.reject();
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(settings.headerWidths[4], 210);
  EXPECT_EQ(settings.headerWidths[0], 100);
  EXPECT_NE(settings.position, "Default");
}

}  // namespace
}  // namespace orva

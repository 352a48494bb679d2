#include "setup/ui/Wizard.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "TempDir.h"

namespace orva {
namespace {

template <class T>
T* Find(QWidget* w, const char* name) {
  return w->findChild<T*>(QString::fromUtf8(name));
}

std::unique_ptr<WizardModel> Model(const std::string& lista) {
  return std::make_unique<WizardModel>(lista, std::vector<std::string>{"Tiscali", "Libero"},
                                       std::vector<std::string>{"Urbana", "Interurbana"},
                                       WizardNetworkOptions{}, false, false);
}

TEST(TWizardDlg, AvantiWaitsForEveryProviderTariff) {
  test::TempDir dir;
  TWizardDlg dlg(Model(dir.File("lista.ser")), true, nullptr);
  auto* next = Find<QPushButton>(&dlg, "B1");
  auto* back = Find<QPushButton>(&dlg, "B0");
  EXPECT_FALSE(next->isEnabled());
  dlg.FinishWelcome();
  EXPECT_TRUE(next->isEnabled());
  EXPECT_FALSE(back->isEnabled());
  EXPECT_TRUE(Find<QRadioButton>(&dlg, "DeskYesRB")->isChecked());  // preset to "Sì"
  next->click();
  EXPECT_FALSE(next->isEnabled());  // both providers at "?"
  auto* providers = Find<QListWidget>(&dlg, "LB00");
  auto* tariffs = Find<QListWidget>(&dlg, "LB01");
  providers->setCurrentRow(0);
  tariffs->setCurrentRow(1);
  emit tariffs->itemClicked(tariffs->currentItem());
  EXPECT_FALSE(next->isEnabled());
  providers->setCurrentRow(1);
  EXPECT_EQ(tariffs->currentRow(), -1);
  tariffs->setCurrentRow(0);
  emit tariffs->itemClicked(tariffs->currentItem());
  EXPECT_TRUE(next->isEnabled());
  next->click();
  Find<QCheckBox>(&dlg, "CheckTCPCB")->setChecked(false);
  EXPECT_FALSE(Find<QCheckBox>(&dlg, "MemoIPCB")->isEnabled());
  next->click();
  EXPECT_EQ(next->text(), QStringLiteral("Fine"));
  next->click();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_FALSE(dlg.Model().Result().network.recordIpList);
  EXPECT_EQ(dlg.Model().Providers()[0].tariff, "Interurbana");
}

TEST(TWizardDlg, CancelWithoutListaStillLeavesOneListingEveryEntry) {
  test::TempDir dir;
  {
    TWizardDlg dlg(Model(dir.File("lista.ser")), false, nullptr);
    dlg.FinishWelcome();
    Find<QPushButton>(&dlg, "B2")->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
  }
  EXPECT_EQ(test::ReadBytes(dir.File("lista.ser")), "Tiscali\t?\t10000\r\nLibero\t?\t10000\r\n");
}

}  // namespace
}  // namespace orva

#include <QApplication>
#include <QTest>

namespace orva {

// A keyboard user: Return never cancels, the tariff list answers the arrows and Enter.
TEST(TWizardDlg, KeyboardAloneWalksThroughTheSetup) {
  test::TempDir dir;
  TWizardDlg dlg(Model(dir.File("lista.ser")), true, nullptr);
  dlg.show();
  auto* cancel = Find<QPushButton>(&dlg, "B2");
  // Return during the welcome (only "Annulla" enabled) and on step 1 with the focus on
  // "Annulla" does not cancel.
  cancel->setFocus();
  QTest::keyClick(cancel, Qt::Key_Return);
  EXPECT_TRUE(dlg.isVisible());
  dlg.FinishWelcome();
  cancel->setFocus();
  QTest::keyClick(cancel, Qt::Key_Return);
  ASSERT_TRUE(dlg.isVisible());
  ASSERT_EQ(dlg.Model().CurrentStep(), WizardModel::Tariffs);

  // Step 2 starts on the first provider; Down in the tariff list chooses a tariff.
  auto* providers = Find<QListWidget>(&dlg, "LB00");
  auto* tariffs = Find<QListWidget>(&dlg, "LB01");
  EXPECT_EQ(providers->currentRow(), 0);
  QTest::keyClick(tariffs, Qt::Key_Down);
  EXPECT_EQ(dlg.Model().Providers()[0].tariff, "Urbana");
  QTest::keyClick(tariffs, Qt::Key_Down);
  EXPECT_EQ(dlg.Model().Providers()[0].tariff, "Interurbana");
  QTest::keyClick(providers, Qt::Key_Down);
  EXPECT_EQ(tariffs->currentRow(), -1);  // Libero is still at "?"
  QTest::keyClick(tariffs, Qt::Key_Return);
  EXPECT_EQ(dlg.Model().CurrentStep(), WizardModel::Tariffs);  // "Avanti" still disabled
  QTest::keyClick(tariffs, Qt::Key_Down);
  EXPECT_EQ(dlg.Model().Providers()[1].tariff, "Urbana");
  // Enter on the chosen tariff: "Avanti" is enabled now and answers it.
  QTest::keyClick(tariffs, Qt::Key_Return);
  EXPECT_EQ(dlg.Model().CurrentStep(), WizardModel::NetworkStep);
  QTest::keyClick(&dlg, Qt::Key_Return);
  QTest::keyClick(&dlg, Qt::Key_Return);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  // Escape still cancels, as the close box does.
  TWizardDlg other(Model(dir.File("lista2.ser")), false, nullptr);
  other.show();
  QTest::keyClick(&other, Qt::Key_Escape);
  EXPECT_EQ(other.result(), QDialog::Rejected);
  EXPECT_FALSE(other.isVisible());
}

// Tabbing from the providers into the tariffs puts the focus on the first tariff without
// choosing it: the provider stays at "?" and "Avanti" waits until a tariff is picked.
TEST(TWizardDlg, TabbingIntoTheTariffsChoosesNothing) {
  test::TempDir dir;
  TWizardDlg dlg(Model(dir.File("lista.ser")), true, nullptr);
  dlg.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
  dlg.FinishWelcome();
  Find<QPushButton>(&dlg, "B1")->click();
  ASSERT_EQ(dlg.Model().CurrentStep(), WizardModel::Tariffs);
  auto* providers = Find<QListWidget>(&dlg, "LB00");
  auto* tariffs = Find<QListWidget>(&dlg, "LB01");
  ASSERT_EQ(QApplication::focusWidget(), providers);
  QTest::keyClick(providers, Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), tariffs);
  EXPECT_EQ(dlg.Model().Providers()[0].tariff, "?");
  EXPECT_FALSE(Find<QPushButton>(&dlg, "B1")->isEnabled());
  // Back and forth between the lists chooses nothing either.
  QTest::keyClick(tariffs, Qt::Key_Backtab);
  QTest::keyClick(providers, Qt::Key_Tab);
  EXPECT_EQ(dlg.Model().Providers()[0].tariff, "?");
  // Space picks the tariff under the focus.
  QTest::keyClick(tariffs, Qt::Key_Space);
  EXPECT_EQ(dlg.Model().Providers()[0].tariff, "Urbana");
}

}  // namespace orva

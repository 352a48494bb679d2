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

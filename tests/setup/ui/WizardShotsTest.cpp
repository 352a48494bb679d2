// Pictures of the wizard's pages for the documentation, written only when ORVA_SCREENSHOTS
// names a folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <cstdlib>

#include "TempDir.h"
#include "setup/ui/Wizard.h"

namespace orva {

TEST(WizardScreenshots, EveryStep) {
  const char* out = std::getenv("ORVA_SCREENSHOTS");
  if (!out || !*out) GTEST_SKIP() << "ORVA_SCREENSHOTS not set";
  test::TempDir dir;
  auto model = std::make_unique<WizardModel>(
      dir.File("lista.ser"),
      std::vector<std::string>{"Tiscali", "Libero", "Telecom Italia Net Business Ufficio"},
      std::vector<std::string>{"Telecom urbana", "Telecom interurbana", "Tariffa di esempio"},
      WizardNetworkOptions{}, false, false);
  TWizardDlg dlg(std::move(model), true, nullptr);
  dlg.show();
  dlg.FinishWelcome();
  auto* next = dlg.findChild<QPushButton*>(QStringLiteral("B1"));
  auto* providers = dlg.findChild<QListWidget*>(QStringLiteral("LB00"));
  auto* tariffs = dlg.findChild<QListWidget*>(QStringLiteral("LB01"));
  const QString folder = QString::fromUtf8(out);
  for (int step = 1; step <= 4; ++step) {
    if (step == 2) {
      providers->setCurrentRow(0);
      tariffs->setCurrentRow(0);
      emit tariffs->itemClicked(tariffs->currentItem());
      providers->setCurrentRow(2);
      tariffs->setCurrentRow(2);
      emit tariffs->itemClicked(tariffs->currentItem());
      providers->setCurrentRow(1);
    }
    QApplication::processEvents();
    dlg.grab().save(folder + QStringLiteral("/wizard-step%1.png").arg(step));
    if (step == 2) {
      tariffs->setCurrentRow(1);
      emit tariffs->itemClicked(tariffs->currentItem());
    }
    next->click();
  }
}

}  // namespace orva

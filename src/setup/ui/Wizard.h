// TWizardDlg, "ORVA32 Wizard": the guided first setup. The steps, their rules and what is
// stored come from WizardModel; this window shows them.
#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "setup/Wizard.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTimer;

namespace orva {

class WelcomeAnimation;

class TWizardDlg final : public QDialog {
  Q_OBJECT
 public:
  // presetShortcuts: both shortcut questions start at "Sì" (the first activation).
  TWizardDlg(std::unique_ptr<WizardModel> model, bool presetShortcuts, QWidget* parent = nullptr);
  ~TWizardDlg() override;

  WizardModel& Model() { return *m_model; }
  // Skips the welcome pause (tests).
  void FinishWelcome();

  void B0Click();  // "Indietro"
  void B1Click();  // "Avanti" / "Fine"
  void B2Click();  // "Annulla"
  void LB00Click();
  void LB01Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildWelcomePage();
  void BuildGeneralPage();
  void BuildTariffPage();
  void BuildNetworkPages();
  void BuildButtons();
  void ShowModelValues();
  void ConnectWidgets();
  void ShowStep();
  void CopyFromWidgets();

  std::unique_ptr<WizardModel> m_model;
  QStackedWidget* m_pages;
  WelcomeAnimation* m_animation;
  QLabel* m_wait;
  QRadioButton* m_desktopYes;
  QRadioButton* m_desktopNo;
  QRadioButton* m_autostartYes;
  QRadioButton* m_autostartNo;
  QListWidget* LB00;
  QListWidget* LB01;
  QCheckBox* CheckTCPCB;
  QCheckBox* ResolveIPCB;
  QCheckBox* HostsCB;
  QCheckBox* MemoIPCB;
  QCheckBox* NetTimeCB;
  QPushButton* B0;
  QPushButton* B1;
  QPushButton* B2;
  bool m_started = false;
};

}  // namespace orva

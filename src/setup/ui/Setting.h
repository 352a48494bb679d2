// TSetupForm, "ORVA32 - Impostazioni": the options dialog. A tree of categories selects one
// of fourteen pages; each control edits a setting, the association table, the mailboxes or
// the access values. The page rules live in setup/*.h; this window moves values. The shell is
// Setting.cpp, each page is in its Setting*Page(s).cpp.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "setup/Associations.h"
#include "setup/Setting.h"
#include "setup/ui/SetupContext.h"

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;

namespace orva {

class TSetupForm final : public QDialog {
  Q_OBJECT
 public:
  explicit TSetupForm(SetupContext context, QWidget* parent = nullptr);
  ~TSetupForm() override;

  // The help context of each page, in notebook order.
  static int HelpContext(int page);
  void ShowPage(int page);
  int CurrentPage() const;

  // Handlers, named after their components.
  void OKBtnClick();
  void RASBtnClick();
  void AddAscBtnClick();
  void DelAscBtnClick();
  void ModAscBtnClick();
  void ListView1Select();
  void PswBtnClick();
  void DelPswBtnClick();
  void PswEdChange();
  void CheckTCPCBClick();
  void NetTimeCBClick();
  void NewMailBtnClick();
  void AddMailBtnClick();
  void DelMailBtnClick();
  void ModMailBtnClick();
  void ListView2Select();

  const AssociationTable& Associations() const { return m_associations; }
  const MailboxTable& Mailboxes() const { return m_mailboxes; }
  // Whether the mailbox password field refused text past its limit (and said so).
  bool PasswordWasCut() const { return m_passwordCut; }

 protected:
  void done(int result) override;

 private:
  // The shell (Setting.cpp).
  void LoadTables();
  void BuildTree();
  void BuildPages();
  void BuildButtons();
  void RestorePlace();
  void ImmediateNumberChanged(QLineEdit* edit, const std::function<void(std::optional<int>)>& set,
                              bool emptyAllowed);

  // The pages, each in its own file: built from the settings, and stored into them at "OK".
  QWidget* BuildMainPage();
  void StoreMainPage();
  QWidget* BuildAssociationPage();
  void ShowAssociations();
  QWidget* BuildDialupPage();
  QWidget* BuildNetworkPage();
  void StoreNetworkPage();
  QWidget* BuildProgramsPage();
  QWidget* BuildProgramPage(int n);
  void StoreProgramPages();
  QWidget* BuildInterfacePage();
  void StoreInterfacePage();
  QWidget* BuildWarningsPage();
  void StoreWarningsPage();
  QWidget* BuildSoundsPage();
  void ShowSoundCaption(int slot);
  void StoreSoundsPage();
  QWidget* BuildSecurityPage();
  void ShowAccessSettings();
  void LayOutSecurityPage(QWidget* page, QVBoxLayout* l);
  void ConnectSecurityPage();
  void ApplySecurityState(const SecurityPageState& s);
  void StoreAccessAtOnce();
  QWidget* BuildMailPage();
  void LimitMailboxPassword();
  QHBoxLayout* BuildMailButtons(QWidget* page);
  QHBoxLayout* BuildMailCycle(QWidget* page);
  void ShowMailboxes();
  void ShowSelectedMailbox();
  void StoreMailPage();
  QWidget* BuildColoursPage();
  void ShowColours();
  void StoreColoursPage();

  SetupContext m_ctx;
  AssociationTable m_associations;
  MailboxTable m_mailboxes;
  SecurityPageState m_security;
  // The currency the warnings page's limits are shown and typed in.
  Currency m_limitCurrency = Currency::Lire;

  QTreeWidget* m_tree;
  QStackedWidget* Notebook;
  std::vector<QTreeWidgetItem*> m_nodes;

  // Principale
  QCheckBox* AutoLoadCB;
  QCheckBox* DeskIconCB;
  QCheckBox* HintsCB;
  QSlider* TrackBar1;
  QSpinBox* DecSE;
  QLabel* m_decimalsHint;
  QComboBox* ValutaCB;
  QSlider* TrackBar;
  QLabel* m_trackLabel;
  QCheckBox* ReqCB;
  // Corrispondenze
  QTreeWidget* ListView1;
  QLineEdit* NameEdit;
  QComboBox* TariffeCB;
  QLineEdit* Negotime1;
  // Accesso Remoto
  QTreeWidget* lstEntries;
  QLineEdit* txtUserName;
  QLineEdit* txtPassword;
  // Rete
  QCheckBox* CheckTCPCB;
  QCheckBox* ResolveIPCB;
  QCheckBox* HostsCB;
  QCheckBox* MemoIPCB;
  QCheckBox* NetTimeCB;
  QCheckBox* SetNetTimeCB;
  // Applicazione 1-3
  std::array<QLineEdit*, 3> m_programEdits{};
  std::array<std::array<QRadioButton*, 3>, 3> m_programWindows{};
  std::array<QComboBox*, 3> m_programProviders{};
  // Interfaccia
  std::array<QCheckBox*, 7> m_interface{};
  QLineEdit* ED0;
  // Messaggi di avviso
  QCheckBox* WTCh;
  QLineEdit* WTEdit;
  QCheckBox* WCSCh;
  QLineEdit* WCSEdit;
  QCheckBox* IVASCB;
  QCheckBox* WCLCh;
  QLineEdit* WCLEdit;
  QCheckBox* IVALCB;
  QCheckBox* NotifyWarnCB;     // the warnings as desktop notifications
  QCheckBox* NotifyCallEndCB;  // a notification at the end of each call
  QSpinBox* FreqEdit;
  // Suoni
  QCheckBox* BeepCB;
  std::array<QCheckBox*, kSoundEvents> m_soundChecks{};
  // Sicurezza
  QLineEdit* PswEd;
  QPushButton* PswBtn;
  QPushButton* DelPswBtn;
  QCheckBox* CB1;
  QCheckBox* CB11;
  QCheckBox* CB2;
  QCheckBox* CB3;
  QLineEdit* Ed3;
  QCheckBox* CB4;
  QLineEdit* Ed4;
  QLineEdit* ED40;
  QCheckBox* CB5;
  // Caselle di posta
  QTreeWidget* ListView2;
  QLineEdit* POP3HostED;
  QLineEdit* POP3PortED;
  QLineEdit* POP3UserED;
  QLineEdit* POP3PassED;
  QCheckBox* CheckMailCB;
  QCheckBox* RequireTlsCB;  // "Richiedi connessione cifrata"
  QCheckBox* NotifyMailCB;  // new mail as a desktop notification
  QSlider* RxSlider1;
  QLabel* m_mailLabel;
  // Colori
  QLabel* m_colourSample;
  SettingsColour m_textColour = 0;
  SettingsColour m_backgroundColour = 0;
  SettingsColour m_labelColour = 0;
  bool m_loading = true;
  bool m_passwordCut = false;
};

}  // namespace orva

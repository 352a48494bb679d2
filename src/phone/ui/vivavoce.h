// TDialForm, "ORVA32 - Connessione telefonica": the phone book window of the voice dialer.
// It moves values between its widgets and a PhoneBook; dialling and the tariff hand-over go
// to the callbacks the main window gives.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "phone/vivavoce.h"
#include "platform/Dialogs.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTreeWidget;

namespace orva {

class Registry;

struct DialFormSettings {
  std::string phoneBookPath;  // "Rubrica telefonica"
  int speakerLevel = 2;       // "Volume altoparlante"
  std::string position = "Default";
};

struct DialFormHooks {
  // Message 1028 with the tariff's index in the catalogue.
  std::function<void(int tariffIndex)> handOverTariff;
  // The voice call request; false with a text when it cannot be placed.
  std::function<bool(const DialRequest& request, std::string& error)> dial;
  // The telephony line configuration; false when there is none.
  std::function<bool()> configureLine;
};

class TDialForm final : public QDialog {
  Q_OBJECT
 public:
  TDialForm(std::vector<std::string> tariffDescriptions, DialFormSettings& settings,
            Registry& registry, Dialogs& dialogs, DialFormHooks hooks, QWidget* parent = nullptr);
  ~TDialForm() override;

  // Handlers, named after their components.
  void ListView1SelectItem();
  void ComponiBtnClick();
  void AggiungiBtnClick();
  void ModificaBtnClick();
  void EliminaBtnClick();
  void AnnullaBtnClick();
  void RicercaBtnClick(const QString& text);
  void ApriBtnClick();
  void SalvaBtnClick();
  void NuovoBtnClick();
  void UpDown1Click(int level);
  void EsciBtnClick();

  const PhoneBook& Book() const { return m_book; }
  // Stores the window's place into its settings (also done at close).
  void StorePlace();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void ShowRows(std::optional<std::size_t> select);
  void ShowFileName();
  void LoadCurrentFile();
  void SaveCurrentFile();
  void ClearFields();
  void RefreshButtons();
  std::optional<int> SelectedTariff() const;
  std::optional<std::size_t> SelectedRow() const;
  void RestoreSpeaker();
  void ApplySpeakerLevel(int level);

  std::vector<std::string> m_tariffs;
  DialFormSettings& m_settings;
  Registry& m_registry;
  Dialogs& m_dialogs;
  DialFormHooks m_hooks;
  PhoneBook m_book;
  std::string m_baseInit;
  bool m_closed = false;

  QTreeWidget* ListView1;
  QLineEdit* NameEdit;
  QLineEdit* NumberEdit;
  QComboBox* TariffeCB;
  QLabel* NameLb;
  QSpinBox* UpDown1;
  QProgressBar* ProgressBar1;
  QPushButton* ComponiBtn;
  QPushButton* AggiungiBtn;
  QPushButton* ModificaBtn;
  QPushButton* EliminaBtn;
};

// The registry key of the first modem and its extra initialisation value.
inline constexpr std::string_view kModemKey =
    "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Modem\\0000";

}  // namespace orva

// TLogEntryDlg: the manual entry of a call, new or changed. LogEntryModel holds the rules.
#pragma once

#include <QDialog>

#include "log/Logentry.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orva {

class WindowPlaces;

class TLogEntryDlg final : public QDialog {
  Q_OBJECT
 public:
  TLogEntryDlg(const TariffCatalogue& catalogue, const std::vector<std::string>& services,
               TConnObj record, bool isNew, TDateTime today, int decimals, Dialogs& dialogs,
               QWidget* parent = nullptr, Currency currency = Currency::Lire);
  const LogEntryModel& Model() const { return m_model; }

  void CalcolaBtnClick();
  void OKBtnClick();

 private:
  // False (after a beep, with the text selected) when the text is no valid date or time.
  bool LeaveEdit(QLineEdit* edit, bool (LogEntryModel::*set)(std::string_view),
                 std::string (LogEntryModel::*shown)() const);
  bool TakeEdits();
  void BuildWidgets(const TariffCatalogue& catalogue, const std::vector<std::string>& services);
  void LayOut();
  void ShowRecord();
  void ConnectWidgets();
  void ShowState();

  LogEntryModel m_model;
  Dialogs& m_dialogs;
  QLineEdit* STED;
  QLineEdit* ST;
  QLineEdit* ET;
  QLineEdit* ENED;
  QComboBox* TariffeCB;
  QComboBox* ServCB;
  QLabel* DurataPn;
  QLabel* CostoPn;
  QLabel* ScattiPn;
  QPushButton* CalcolaBtn;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* STEDBtn;  // the calendars of the two dates
  QPushButton* ENEDBtn;
};

// Opens the dialog for the record; true (and the record changed) on OK. `places` keeps the
// dialog's place; without it the dialog opens as built. The cost shows in `currency`; the
// record keeps lire.
bool EditLogRecord(QWidget* parent, const TariffCatalogue& catalogue,
                   const std::vector<std::string>& services, TConnObj& record, bool isNew,
                   TDateTime today, int decimals, Dialogs& dialogs, WindowPlaces* places = nullptr,
                   Currency currency = Currency::Lire);

}  // namespace orva

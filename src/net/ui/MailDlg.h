// TMailDlg, "Caselle di posta": the headers of the mailboxes' waiting messages, a tab per
// mailbox. Widgets and wiring only; rows and order come from MailModel.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "net/MailDlg.h"

class QTabBar;
class QTreeWidget;
class QLabel;

namespace orva {

struct MailDlgSettings {
  std::array<int, MailModel::kColumns> headerWidths =
      MailModel::kDefaultWidths;     // [Mail dialog] "Header width 0".."4"
  std::string position = "Default";  // [Mail dialog] "Mail pos"
};

class TMailDlg final : public QDialog {
  Q_OBJECT
 public:
  // The settings are read at once and written back when the window closes; onClosed runs
  // then too (the mail check's busy flag is the main window's to clear).
  TMailDlg(std::vector<TPOP3Object> boxes, MailDlgSettings& settings,
           std::function<void()> onClosed = {}, QWidget* parent = nullptr);
  ~TMailDlg() override;

  void TabControl1Change(int tab);
  void LVColumnClick(int column);

  const MailModel& Model() const { return m_model; }

 protected:
  void done(int result) override;

 private:
  void ShowRows();
  void StoreSettings();

  MailModel m_model;
  MailDlgSettings& m_settings;
  std::function<void()> m_onClosed;
  QTabBar* m_tabs = nullptr;
  QTreeWidget* m_lv = nullptr;
  QLabel* m_notice = nullptr;  // why the last check failed, or that the list is cut
  bool m_stored = false;
};

}  // namespace orva

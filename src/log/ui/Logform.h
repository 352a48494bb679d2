// TLog: the connection log window. A twelve-column list of the loaded records with the totals
// of the selection under it, menus and a tool bar for every operation. The operations are
// LogModel's; this window draws the rows and forwards its events.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>

#include "core/Settings.h"
#include "log/Logform.h"
#include "platform/Dialogs.h"

class QAction;
class QComboBox;
class QHeaderView;
class QStandardItemModel;
class QTableView;

namespace orva {

class LogTableModel;

// What the log window asks of the rest of the program.
struct LogWindowHooks {
  // Visited servers of a logged call: whether a file exists, show it, delete it.
  std::function<bool(const TConnObj&)> hasVisitedServers;
  std::function<void(const TConnObj&)> showVisitedServers;
  std::function<void(const TConnObj&)> clearVisitedServers;
  // The manual entry: a record to fill (new or a copy of the edited one); true on OK.
  std::function<bool(TConnObj& record, bool isNew)> editRecord;
  // The report of the selected rows, and the printer set-up.
  std::function<void(const std::vector<const TConnObj*>& rows)> print;
  std::function<void()> printerSetup;
  // The charts of the selected rows (kind 0 cost, 1 traffic, 2 speed).
  std::function<void(int kind, const std::vector<const TConnObj*>& rows)> chart;
};

class TLog final : public QMainWindow {
  Q_OBJECT
 public:
  TLog(Settings& settings, Dialogs& dialogs, LogWindowHooks hooks, QWidget* parent = nullptr);
  ~TLog() override;

  LogModel& Model() { return *m_model; }
  QTableView* List() const { return ConnLB; }
  // The rows selected in the list, in list order.
  std::vector<std::size_t> SelectedRows() const;
  void SelectRows(const std::vector<std::size_t>& rows);

  // Operations, named after the commands.
  void FileOpenBtnClick();
  void FileNewBtnClick();
  void BackupBtnClick();
  void ExportCsvClick();
  void DelBtnClick();
  // Delete as with the Ctrl key held (no question) or not.
  void DeleteSelected(bool ctrlHeld);
  void ApplyFilter(const LogFilter& filter);
  // The question asked at the first duplicate of an import or a paste (tests answer it).
  void SetDuplicateQuestion(DupQuestion ask) { m_askDuplicates = std::move(ask); }
  void SelectAllBtnClick();
  void FilterBtnClick();
  void CopyClick();
  void PasteClick();
  void ImportClick();
  void NewEntryClick();
  void EditEntryClick();
  void SelectEditorBtnClick();
  void StartBtnClick();
  void FontClick();
  void ColourClick();
  void HeaderTopSectionClick(int column);
  void ServCBChange(int index);
  void ConnLBDblClick();

  // The bottom header's texts.
  QString BottomText(int section) const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildActions();
  void Reload();
  void RedrawTotals();
  void RefreshCommands();
  void RebuildServiceCombo();
  void SetCaption();
  void PushSelectionToView();
  void PullSelectionFromView();
  void ApplyAppearance();
  void RestoreState();
  void StoreState();
  std::vector<const TConnObj*> SelectedRecords() const;

  Settings& m_settings;
  Dialogs& m_dialogs;
  LogWindowHooks m_hooks;
  std::unique_ptr<LogModel> m_model;
  LogTableModel* m_table = nullptr;
  QTableView* ConnLB = nullptr;
  QHeaderView* HeaderBottom = nullptr;
  QStandardItemModel* m_bottomModel = nullptr;
  QComboBox* ServCB = nullptr;
  QAction* m_copy = nullptr;
  QAction* m_paste = nullptr;
  QAction* m_edit = nullptr;
  LogFilter m_filter;
  DupQuestion m_askDuplicates;
  bool m_syncing = false;
};

}  // namespace orva

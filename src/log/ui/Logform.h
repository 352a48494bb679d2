// TLog: the connection log window. A twelve-column list of the loaded records with the totals
// of the selection under it, menus and a tool bar for every operation. The operations are
// LogModel's; this window draws the rows and forwards its events. The window's parts are
// spread over Logform*.cpp and LogTable.cpp, one purpose each.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "core/Settings.h"
#include "log/Logform.h"
#include "log/ui/LogChartView.h"
#include "log/ui/LogWindowHooks.h"
#include "platform/Dialogs.h"

class QAction;
class QPrinter;
class QStackedWidget;
class QComboBox;
class QHeaderView;
class QPoint;
class QStandardItemModel;
class QTableView;

namespace orva {

class LogTableModel;
class TTariffCompareDlg;
class WindowPlaces;

class TLog final : public QMainWindow {
  Q_OBJECT
 public:
  // `places` keeps the window's place and column widths; without it the window opens as built.
  // `dataDir` holds "swap.tmp", "ORVA.SRV" and the default "ORVA.LOG".
  TLog(Settings& settings, Dialogs& dialogs, std::string dataDir, LogWindowHooks hooks,
       WindowPlaces* places = nullptr, QWidget* parent = nullptr);
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

  // "Stampa": the report of all or the selected rows, or the chart when it shows. The
  // printer is given by tests (a PDF file); otherwise the system's.
  void PrintBtnClick();
  Status PrintReport(QPrinter& printer, bool onlySelected);
  void PrinterSetupClick();
  // The charts: kind 1 cost, 2 bytes, 3 speed; style 1 points and lines, 2 bars, 3 points.
  void ChartKindClick(int kind);
  void ChartStyleClick(int style);
  void Chart3DClick(bool on);
  void RitornaClick();
  bool ChartShowing() const;
  LogChartView* ChartView() const { return m_chartView; }

  // "Confronta tariffe": the rows the window shows (the selected ones, as the filter or the
  // user left them, else all) re-priced under every tariff; the dialog while it is open.
  void CompareTariffsClick();
  TTariffCompareDlg* CompareDialog() const;

  // The bottom header's texts.
  QString BottomText(int section) const;

  // The meter appended calls to a log: the current one's new calls are shown.
  void LogAppended();
  void LogRecordRewritten(const std::string& oldLine, const std::string& newLine);
  // Quitting the program: the question about unsaved changes, as at close (false when the
  // user cancels); without anyone to ask, unsaved changes are saved as "Sì" would.
  bool QueryClose();
  void SaveUnattended();
  // Stores the place, widths and sort state into the settings, and closes without asking
  // again (the quit already had the answer).
  void StoreValues();
  void CloseAgreed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  struct Commands;
  // Logform.cpp: the window's parts and the loading of the log.
  void BuildListPage();
  void ConnectList();
  void SetCaption();
  void Reload();
  // LogformCommands.cpp: actions, menus, tool bar, the list's pop-up menu.
  void BuildActions();
  Commands CreateCommands();
  void BuildMenus(const Commands& c);
  void BuildChartMenu();
  void BuildToolBar(const Commands& c);
  void ShowListMenu(const QPoint& at);
  void RefreshCommands();
  void SetListCommandsEnabled(bool enabled);
  // LogformList.cpp: the list after its rows changed (added, removed, another log), or after
  // they were only put in another order; the selection and the totals.
  void RedrawList();
  void ReorderList();
  void RedrawTotals();
  void PushSelectionToView();
  void PullSelectionFromView();
  // LogformEdit.cpp, LogformFiles.cpp.
  void RebuildServiceCombo();
  void ShowNewLog();
  // LogformAppearance.cpp.
  void ApplyAppearance();
  void RestoreState();
  void StoreState();
  // LogformChart.cpp, LogformReports.cpp.
  void DrawChart();
  void ChooseChart(const std::array<QAction*, 3>& items, int& current, int chosen);
  QPrinter& Printer();
  // The report's printer, turned to a PDF file the user names when no printer is installed;
  // none when the user gave up.
  QPrinter* PrinterForOutput();

  Settings& m_settings;
  Dialogs& m_dialogs;
  LogWindowHooks m_hooks;
  WindowPlaces* m_places;
  std::unique_ptr<LogModel> m_model;
  LogTableModel* m_table = nullptr;
  QTableView* ConnLB = nullptr;
  QHeaderView* HeaderBottom = nullptr;
  QStandardItemModel* m_bottomModel = nullptr;
  QComboBox* ServCB = nullptr;
  QAction* m_copy = nullptr;
  QAction* m_paste = nullptr;
  QAction* m_edit = nullptr;
  QAction* m_compareAction = nullptr;
  QPointer<TTariffCompareDlg> m_compare;
  QStackedWidget* m_pages = nullptr;
  LogChartView* m_chartView = nullptr;
  std::unique_ptr<QPrinter> m_printer;
  std::vector<QAction*> m_listCommands;
  QAction* m_ritorna = nullptr;
  std::array<QAction*, 3> m_kindItems{}, m_styleItems{};
  int m_chartKind = 1, m_chartStyle = 1;
  bool m_chart3D = false;
  bool m_closeAgreed = false;
  LogFilter m_filter;
  DupQuestion m_askDuplicates;
  bool m_syncing = false;
};

}  // namespace orva

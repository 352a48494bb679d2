// TTariffCompareDlg, "ORVA32 - Confronto tariffe": what the calls the log window shows would
// have cost under each tariff of the catalogue, against what was paid, data and voice calls on
// a tab each; narrowed to the days "Dal".."Al", printable and exported to CSV. The figures are
// computed on a worker thread, so a long log does not stop the window.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "core/Currency.h"
#include "log/TariffComparison.h"
#include "log/TariffComparisonCsv.h"
#include "platform/Dialogs.h"

class QDateEdit;
class QLabel;
class QPrinter;
class QPushButton;
class QTabWidget;

namespace orva {

struct TariffCompareInput {
  std::shared_ptr<const std::vector<TConnObj>> records;  // the calls to compare
  TariffCatalogue catalogue;                             // its files are read by the worker
  Currency currency = Currency::Lire;
  int lireDecimals = 0;
  TDateTime from = 0, to = 0;  // the days first shown
  // Where a print goes (the log report's printer, or a PDF file); none when the user gave up.
  std::function<QPrinter*()> choosePrinter;
  std::string directory;  // proposed for the CSV file
};

class TTariffCompareDlg final : public QDialog {
  Q_OBJECT
 public:
  TTariffCompareDlg(TariffCompareInput input, Dialogs& dialogs, QWidget* parent = nullptr);
  ~TTariffCompareDlg() override;

  // The figures shown; none while they are being computed or when the days are reversed.
  const TariffComparison* Comparison() const { return m_result.get(); }
  ComparisonPeriod Period() const;
  void SetPeriod(TDateTime from, TDateTime to);
  void PrintClick();
  void ExportCsvClick();

 signals:
  // The figures of the period now shown are ready.
  void Computed();

 private:
  void BuildWidgets();
  void Recompute();
  void StopWorker();
  void Finished(unsigned generation, std::shared_ptr<const TariffComparison> result);
  void ShowResult();

  TariffCompareInput m_input;
  Dialogs& m_dialogs;
  QDateEdit* FromEd = nullptr;
  QDateEdit* ToEd = nullptr;
  QLabel* StatusLb = nullptr;
  QTabWidget* m_tabs = nullptr;
  QPushButton* PrintBtn = nullptr;
  QPushButton* CsvBtn = nullptr;
  std::shared_ptr<const TariffComparison> m_result;
  unsigned m_generation = 0;
  std::jthread m_worker;
};

}  // namespace orva

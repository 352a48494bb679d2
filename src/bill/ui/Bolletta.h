// TBollettaDLG, "ORVA32 - Bolletta": the calendar with the day and month figures, the month's
// bar chart and the billing period's ticks, net, VAT and total. The figures come from the
// bill arithmetic; this window shows them and moves the five settings.
#pragma once

#include <QDialog>
#include <functional>

#include "bill/Bolletta.h"
#include "core/Settings.h"
#include "core/TariffValues.h"
#include "platform/Dialogs.h"

class QCalendarWidget;
class QChart;
class QChartView;
class QGridLayout;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace orva {

struct BillViewContext {
  Settings& settings;
  Dialogs& dialogs;
  DateParts today;
  double vatRate = kDefaultVatRate;  // of the current tariff
  std::function<void(int context)> openHelp;
  std::string directory;  // where the bill files are: the data directory
};

class TBollettaDLG final : public QDialog {
  Q_OBJECT
 public:
  explicit TBollettaDLG(BillViewContext context, QWidget* parent = nullptr);
  ~TBollettaDLG() override;

  // The calendar's date and the period, for tests.
  DateParts CalendarDate() const;
  void SetCalendarDate(const DateParts& date);
  void SetPeriod(const DateParts& from, const DateParts& to);

  // Handlers.
  void A0Click();
  void A1Click();
  void UpDown1Click(int step);
  void StartBtnClick();
  void EndBtnClick();
  void FixCostChange();
  void SupplChange();
  // Opens the day tick editor for the calendar date; OK rewrites the day.
  void EditDay();

  BillOptions Options() const { return m_model.Options(); }

 protected:
  void done(int result) override;

 private:
  void RedoDayMonth();
  void RedoPeriod();
  void RedoForecast();
  void RedoChart();
  void BuildForecast(QGridLayout* grid, int row);

  BillViewContext m_ctx;
  BollettaModel m_model;
  int m_spin = 0;
  QCalendarWidget* Calendar1;
  QRadioButton* A0;
  QRadioButton* A1;
  QLabel* LM;
  QLabel* MScl;
  QLabel* LG;
  QLabel* DScl;
  QLabel* MonthLb;
  QLabel* DATLb;
  QSpinBox* UpDown1;
  QLabel* FromLb;
  QLabel* ToLb;
  QLineEdit* FixCost;
  QLineEdit* Suppl;
  QLabel* ScattiLb;
  QLabel* NettoLb;
  QLabel* IVALb;
  QLabel* TotalLb;
  // The period projected to the month's end, the limit "Costo periodo" and the warning.
  QLabel* ForecastLb;
  QLabel* LimitCaption;
  QLabel* LimitLb;
  QLabel* ForecastWarnLb;
  QChartView* Chart1;
};

}  // namespace orva

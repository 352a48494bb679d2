// The bill view's arithmetic: the day and month figures of the calendar, the month chart, the
// month step of "Cambia mese", and the billing period's ticks, net, VAT and total, all drawn
// from the monthly bill data sets. The window only shows what these compute.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "bill/Bolman.h"
#include "bill/DbsetINI.h"
#include "bill/MonthForecast.h"
#include "core/Settings.h"
#include "platform/DateTime.h"

namespace orva {

// "Visualizza dati": 0 ticks ("Scatti"), 1 money ("Lire").
enum class BillDisplayMode { Scatti = 0, Lire = 1 };
// Any stored value other than 1 shows ticks.
BillDisplayMode BillDisplayModeFrom(int stored);

struct BillDayMonthFigures {
  std::string monthCaption;  // LM: "Scatti nel mese :" or "Costo nel mese :"
  std::string dayCaption;    // LG: "Scatti nel giorno :" or "Costo nel giorno :"
  std::string monthFigure;   // MScl
  std::string dayFigure;     // DScl
  std::string monthTitle;    // MonthLb: "Ottobre 1999"
  std::string fileName;      // DATLb: "10_1999.BOL", in capitals
  // Why the month's file could not be read; the figures are then "?".
  std::string error;
};
BillDayMonthFigures DayMonthFigures(const DateParts& calendar, BillDisplayMode mode,
                                    const BillOptions& options);

// One bar per day of the calendar month and the line of their average.
struct BillChart {
  std::vector<double> values;  // values[d - 1] is day d
  double average = 0;
  std::string leftAxisTitle;  // "Scatti giornalieri" or "Costo giornaliero connessione senza IVA"
};
BillChart MonthChart(const DateParts& calendar, BillDisplayMode mode, const BillOptions& options);

// The left axis of the chart: from 0 to `top` in `intervals` equal whole steps of 1, 2 or 5
// times a power of ten, so every label is a whole number standing on its grid line and the
// tallest bar stays below the top.
struct ChartScale {
  double top = 1;
  int intervals = 1;
};
ChartScale NiceChartScale(double maximum);

// "Cambia mese": step +1 (up) or -1 (down) months; a day the new month lacks becomes its last.
DateParts ChangeMonth(const DateParts& date, int step);

// Whether every bill file of the period can be read (see TDataSetINI::Readable).
Status PeriodReadable(const DateParts& from, const DateParts& to, const BillOptions& options);

// The sum of UnitTicks over the period, month by month; 0 when the end lies before the start.
double PeriodUnitTicks(const DateParts& from, const DateParts& to, const BillOptions& options);

struct BillPeriodFigures {
  double ticks = 0, net = 0, vat = 0, total = 0;
  // The net, VAT and total are lire; their texts are in the options' currency ("Cifre
  // decimali" decimals in lire, cents in euro).
  std::string ticksText, netText, vatText, totalText;
  // Why a month file of the period could not be read; the texts are then "?".
  std::string error;
};
// fixedCosts: "Costi fissi" (not a number counts 0); supplementaryTicks: "Scatti supplementari"
// (counted when an integer); vatRate a fraction (0.2 for 20 %).
BillPeriodFigures PeriodFigures(const DateParts& from, const DateParts& to,
                                std::string_view fixedCosts, std::string_view supplementaryTicks,
                                double vatRate, const BillOptions& options);

// The period's start from "Inizio conteggio" ("dd/mm/yy"): today when empty or unreadable.
DateParts PeriodStart(std::string_view startText, const DateParts& today);
// "dd/mm/yy", the form "Inizio conteggio" is stored in.
std::string FormatPeriodDate(const DateParts& date);

// The cost of the bill period, "Inizio conteggio" to today, without fixed costs, supplement or
// VAT: the main window's "costo in bolletta".
double PeriodCost(std::string_view startText, const DateParts& today, const BillOptions& options);

// The bill view's state and what its controls do to it: the window copies these texts into
// its labels and forwards its events here. Changes of the stored values ("Visualizza dati",
// "Inizio conteggio", "Costi fissi", "Scatti supplementari") go to the settings at once.
class BollettaModel {
 public:
  // Opening: calendar and period end at today, the rest from the settings. vatRate is the
  // current tariff's, as a fraction; `directory` holds the bill files.
  BollettaModel(Settings& settings, const DateParts& today, double vatRate, std::string directory);

  BillOptions Options() const;

  BillDisplayMode Mode() const { return m_mode; }
  void SetMode(BillDisplayMode mode);

  const DateParts& Calendar() const { return m_calendar; }
  void SetCalendar(const DateParts& date) { m_calendar = date; }
  // "Cambia mese" up (+1) or down (-1).
  void ChangeMonth(int step);

  const DateParts& PeriodStartDate() const { return m_from; }
  const DateParts& PeriodEndDate() const { return m_to; }
  // The start is stored in "Inizio conteggio"; the end only lasts while the view is open.
  void SetPeriodStart(const DateParts& date);
  void SetPeriodEnd(const DateParts& date) { m_to = date; }
  std::string FromText() const { return FormatPeriodDate(m_from); }
  std::string ToText() const { return FormatPeriodDate(m_to); }

  // The edits' texts as typed, cut to their lengths (9 and 8 characters). The fixed costs are
  // typed in the chosen currency and stored in lire.
  void SetFixedCosts(std::string_view text);
  // "Costi fissi" as the edit shows it: the stored lire, or their euro.
  std::string FixedCostsShown() const;
  void SetSupplementaryTicks(std::string_view text);
  const std::string& FixedCosts() const { return m_settings.billFixedCosts; }
  const std::string& SupplementaryTicks() const { return m_settings.billExtraTicks; }

  BillDayMonthFigures Figures() const;
  BillPeriodFigures Period() const;
  // The period projected to the end of today's month, beside the limit "Costo periodo".
  BillForecastTexts Forecast() const;
  BillChart Chart() const;

  // The day tick editor on the calendar date, already filled; its WriteBack on OK.
  BolManModel OpenDayEditor() const;

 private:
  Settings& m_settings;
  double m_vatRate;
  std::string m_directory;
  BillDisplayMode m_mode;
  DateParts m_today, m_calendar, m_from, m_to;
};

}  // namespace orva

// The bill view's figures.
#include "bill/Bolletta.h"

#include <algorithm>
#include <cmath>

#include "platform/IniFile.h"
#include "platform/Numbers.h"
#include "platform/TextCodec.h"
#include "platform/Trim.h"

namespace orva {
namespace {

// Months numbered as year x 12 + month.
long long MonthNumber(int month, int year) {
  return static_cast<long long>(year) * 12 + month;
}

double NumberOr0(const std::string& text) {
  return ParseDecimal(text).value_or(0.0);
}

}  // namespace

BillDisplayMode BillDisplayModeFrom(int stored) {
  return stored == 1 ? BillDisplayMode::Lire : BillDisplayMode::Scatti;
}

BillDayMonthFigures DayMonthFigures(const DateParts& calendar, BillDisplayMode mode,
                                    const BillOptions& options) {
  const TDataSetINI ds(calendar.month, calendar.year, options);
  BillDayMonthFigures f;
  if (mode == BillDisplayMode::Scatti) {
    f.monthCaption = "Scatti nel mese :";
    f.dayCaption = "Scatti nel giorno :";
    f.dayFigure = ds.UnitTicks(calendar.day, calendar.day);
    f.monthFigure = ds.UnitTicks(1, 31);
  } else {
    f.monthCaption = "Costo nel mese :";
    f.dayCaption = "Costo nel giorno :";
    f.dayFigure = ShownLireText(ds.CostSum(calendar.day, calendar.day), options.currency);
    f.monthFigure = ShownLireText(ds.CostSum(1, 31), options.currency);
  }
  if (const Status readable = ds.Readable(); !readable) {
    f.error = readable.error;
    f.dayFigure = f.monthFigure = "?";
  }
  f.monthTitle = BillMonthTitle(calendar.month, calendar.year);
  f.fileName = ds.FileName();
  std::transform(f.fileName.begin(), f.fileName.end(), f.fileName.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return f;
}

BillChart MonthChart(const DateParts& calendar, BillDisplayMode mode, const BillOptions& options) {
  const TDataSetINI ds(calendar.month, calendar.year, options);
  BillChart chart;
  chart.leftAxisTitle = mode == BillDisplayMode::Scatti ? "Scatti giornalieri"
                        : options.currency == Currency::Euro
                            ? "Costo giornaliero connessione senza IVA (euro)"
                            : "Costo giornaliero connessione senza IVA";
  const int days = ds.DaysInMonth();
  double sum = 0;
  for (int day = 1; day <= days; ++day) {
    const double v = mode == BillDisplayMode::Scatti
                         ? NumberOr0(ds.UnitTicks(day, day))
                         : FromLire(NumberOr0(ds.CostSum(day, day)), options.currency);
    chart.values.push_back(v);
    sum += v;
  }
  if (days > 0) chart.average = sum / days;
  return chart;
}

DateParts ChangeMonth(const DateParts& date, int step) {
  DateParts d = date;
  const long long n = MonthNumber(d.month, d.year) - 1 + step;  // 0-based month count
  d.year = static_cast<int>(n >= 0 ? n / 12 : (n - 11) / 12);
  d.month = static_cast<int>(n - static_cast<long long>(d.year) * 12) + 1;
  d.day = std::clamp(d.day, 1, DaysInMonth(d.year, d.month));
  return d;
}

namespace {

// Calls f(data set, first day, last day) for every month of the period, while f returns true.
template <class F>
void ForEachPeriodMonth(const DateParts& from, const DateParts& to, const BillOptions& options,
                        F&& f) {
  // Outside years 1..9999 no bill file can exist.
  const long long first = std::max(MonthNumber(from.month, from.year), MonthNumber(1, 1));
  const long long last = std::min(MonthNumber(to.month, to.year), MonthNumber(12, 9999));
  // An end before the start holds no day, also within one month.
  if (MonthNumber(to.month, to.year) * 32 + to.day <
      MonthNumber(from.month, from.year) * 32 + from.day)
    return;
  for (long long n = first; n <= last; ++n) {
    const int year = static_cast<int>((n - 1) / 12);
    const int month = static_cast<int>((n - 1) % 12) + 1;
    const int startDay = n == MonthNumber(from.month, from.year) ? from.day : 1;
    const int endDay = n == MonthNumber(to.month, to.year) ? to.day : 31;
    if (!f(TDataSetINI(month, year, options), startDay, endDay)) return;
  }
}

}  // namespace

Status PeriodReadable(const DateParts& from, const DateParts& to, const BillOptions& options) {
  Status out = Status::Ok();
  ForEachPeriodMonth(from, to, options, [&](const TDataSetINI& ds, int, int) {
    out = ds.Readable();
    return out.ok;
  });
  return out;
}

double PeriodUnitTicks(const DateParts& from, const DateParts& to, const BillOptions& options) {
  double sum = 0;
  ForEachPeriodMonth(from, to, options, [&](const TDataSetINI& ds, int startDay, int endDay) {
    if (const auto v = ParseDecimal(ds.UnitTicks(startDay, endDay))) sum += *v;
    return true;
  });
  return sum;
}

BillPeriodFigures PeriodFigures(const DateParts& from, const DateParts& to,
                                std::string_view fixedCosts, std::string_view supplementaryTicks,
                                double vatRate, const BillOptions& options) {
  BillPeriodFigures f;
  if (const Status readable = PeriodReadable(from, to, options); !readable) {
    f.error = readable.error;
    f.ticksText = f.netText = f.vatText = f.totalText = "?";
    return f;
  }
  f.ticks = PeriodUnitTicks(from, to, options);
  if (const auto suppl = ParseInteger(supplementaryTicks)) f.ticks += *suppl;
  f.net = ParseDecimal(fixedCosts).value_or(0.0) + f.ticks * kUnitTickPrice;
  f.vat = f.net * vatRate;
  f.total = f.net + f.vat;
  f.ticksText = FormatFixed(f.ticks, options.decimals);
  // The amounts stay lire; their texts are in the chosen currency.
  const auto shown = [&options](double lire) {
    return options.currency == Currency::Lire ? FormatFixed(lire, options.decimals)
                                              : FormatAmountNumber(lire, options.currency);
  };
  f.netText = shown(f.net);
  f.vatText = shown(f.vat);
  f.totalText = shown(f.total);
  return f;
}

DateParts PeriodStart(std::string_view startText, const DateParts& today) {
  if (TrimBlanks(startText).empty()) return today;
  const auto date = StrToDate(TrimBlanks(startText));
  if (!date) return today;
  return DecodeDate(*date);
}

std::string FormatPeriodDate(const DateParts& date) {
  return BillDaySection(date.day, date.month, date.year);
}

double PeriodCost(std::string_view startText, const DateParts& today, const BillOptions& options) {
  return PeriodUnitTicks(PeriodStart(startText, today), today, options) * kUnitTickPrice;
}

BollettaModel::BollettaModel(Settings& settings, const DateParts& today, double vatRate,
                             std::string directory)
    : m_settings(settings),
      m_vatRate(vatRate),
      m_directory(std::move(directory)),
      m_mode(BillDisplayModeFrom(settings.billShowData)),
      m_today(today),
      m_calendar(today),
      m_from(PeriodStart(settings.billStart, today)),
      m_to(today) {}

BillOptions BollettaModel::Options() const {
  BillOptions o;
  o.directory = m_directory;
  o.decimals = std::clamp(m_settings.decimals, 0, 15);
  o.currency = m_settings.currency;
  return o;
}

void BollettaModel::SetMode(BillDisplayMode mode) {
  m_mode = mode;
  m_settings.billShowData = static_cast<int>(mode);
}

void BollettaModel::ChangeMonth(int step) {
  m_calendar = orva::ChangeMonth(m_calendar, step);
}

void BollettaModel::SetPeriodStart(const DateParts& date) {
  m_from = date;
  m_settings.billStart = FormatPeriodDate(date);
}

void BollettaModel::SetFixedCosts(std::string_view text) {
  const std::string typed = Utf8Left(text, 9);
  if (m_settings.currency == Currency::Lire) {
    m_settings.billFixedCosts = typed;
    return;
  }
  // Euro typed are kept as lire to the hundredth: an amount read as nothing counts 0, as before.
  const auto lire = ParseAmount(typed, Currency::Euro);
  m_settings.billFixedCosts = lire ? FormatShortest(std::round(*lire * 100) / 100) : "0";
}

std::string BollettaModel::FixedCostsShown() const {
  if (m_settings.currency == Currency::Lire) return m_settings.billFixedCosts;
  const auto lire = ParseDecimal(m_settings.billFixedCosts);
  return lire ? FormatItalian(FromLire(*lire, Currency::Euro), 2) : m_settings.billFixedCosts;
}

void BollettaModel::SetSupplementaryTicks(std::string_view text) {
  m_settings.billExtraTicks = Utf8Left(text, 8);
}

BillDayMonthFigures BollettaModel::Figures() const {
  return DayMonthFigures(m_calendar, m_mode, Options());
}

BillPeriodFigures BollettaModel::Period() const {
  return PeriodFigures(m_from, m_to, m_settings.billFixedCosts, m_settings.billExtraTicks,
                       m_vatRate, Options());
}

BillForecastTexts BollettaModel::Forecast() const {
  const BillPeriodForecast f = ForecastPeriod(m_from, m_today, Options());
  return ForecastTexts(f, m_vatRate, PeriodLimitOf(m_settings), m_settings.currency);
}

BillChart BollettaModel::Chart() const {
  return MonthChart(m_calendar, m_mode, Options());
}

BolManModel BollettaModel::OpenDayEditor() const {
  BolManModel editor;
  editor.Open(m_calendar.day, m_calendar.month, m_calendar.year, Options());
  return editor;
}

ChartScale NiceChartScale(double maximum) {
  if (!(maximum > 0)) return {};  // an empty month: 0 and 1
  // Room above the tallest bar, then the smallest whole step that covers it in five steps.
  const double wanted = maximum * 1.05;
  double step = 1;
  for (double power = 1;; power *= 10) {
    bool found = false;
    for (double m : {1.0, 2.0, 5.0}) {
      if (m * power * 5 >= wanted) {
        step = m * power;
        found = true;
        break;
      }
    }
    if (found || power > 1e15) break;
  }
  ChartScale scale;
  scale.intervals = static_cast<int>(std::ceil(wanted / step));
  scale.top = step * scale.intervals;
  return scale;
}

}  // namespace orva

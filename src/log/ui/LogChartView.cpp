// The chart page of the log window.
#include "log/ui/LogChartView.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QFontMetrics>
#include <QLineSeries>
#include <QLocale>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "core/HowUtils.h"

namespace orva {
namespace {

constexpr std::size_t kMaxValueMarks = 300;

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

// 1, 2, 5, 10, 20, 50… the first at least `wanted`.
int RoundStep(int wanted) {
  for (int decade = 1;; decade *= 10)
    for (int m : {1, 2, 5})
      if (m * decade >= wanted) return m * decade;
}

// The chart with its two axes: every series is drawn against both.
struct Plot {
  QChart* chart;
  QCategoryAxis* x;
  QValueAxis* y;
  void Attach(QAbstractSeries* s) const {
    chart->addSeries(s);
    s->attachAxis(x);
    s->attachAxis(y);
  }
};

// The first series red, the second blue.
QColor SeriesColour(int i) {
  return i == 0 ? QColor(Qt::red) : QColor(Qt::blue);
}

QCategoryAxis* NewBottomAxis(int count) {
  auto* x = new QCategoryAxis;
  x->setTitleText(QStringLiteral("Connessione"));
  x->setLabelsAngle(-90);
  x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  x->setRange(-0.5, std::max(1, count) - 0.5);
  return x;
}

// Every point's name on the bottom axis and its place: the call's number, with its date before
// it when `dateLabels`.
std::vector<std::pair<QString, double>> PointNames(const LogChart& chartData, bool dateLabels) {
  std::vector<std::pair<QString, double>> names;
  for (const auto& p : chartData.first) {
    const QString number = QString::number(static_cast<int>(p.x));
    names.emplace_back(!dateLabels || p.label.empty()
                           ? number
                           : Q(p.label) + QStringLiteral(" (") + number + QStringLiteral(")"),
                       p.x - 1);
  }
  return names;
}

QValueAxis* NewLeftAxis(const LogChart& chartData) {
  auto* y = new QValueAxis;
  y->setTitleText(Q(chartData.leftAxisTitle));
  double top = 0;
  for (const auto* pts : {&chartData.first, &chartData.second})
    for (const auto& p : *pts) top = std::max(top, p.y);
  y->setRange(0, top > 0 ? top * 1.15 : 1);
  y->applyNiceNumbers();  // round steps on the value axis
  // Euro costs are cents: whole numbers would name the steps of 0,50 "0", "1", "1", "2".
  y->setLabelFormat(chartData.currency == Currency::Euro ? QStringLiteral("%.2f")
                                                         : QStringLiteral("%.0f"));
  return y;
}

void AddBars(const Plot& plot, const std::vector<LogChartPoint>* const series[2], int count) {
  auto* bars = new QBarSeries;
  bars->setBarWidth(0.5);
  for (int i = 0; i < 2; ++i) {
    if (series[i]->empty()) continue;
    auto* set = new QBarSet(QStringLiteral("Bar%1").arg(i + 1));
    set->setColor(SeriesColour(i));
    std::vector<double> values(static_cast<std::size_t>(std::max(1, count)), 0.0);
    for (const auto& p : *series[i]) values[static_cast<std::size_t>(p.x - 1)] = p.y;
    for (double v : values) *set << v;
    bars->append(set);
  }
  plot.Attach(bars);
}

void AddLine(const Plot& plot, const std::vector<LogChartPoint>& pts, int i, Currency currency) {
  auto* line = new QLineSeries;
  line->setName(QStringLiteral("Line%1").arg(i + 1));
  line->setColor(SeriesColour(i));
  for (const auto& p : pts) line->append(p.x - 1, p.y);
  plot.Attach(line);
  // The value marks: the series' own marks print large numbers as "2.34568e+06", so each
  // point gets an invisible mark of its own that carries its text. Past a few hundred
  // points the marks would only cover each other.
  if (pts.size() > kMaxValueMarks) return;
  for (const auto& p : pts) {
    auto* mark = new QScatterSeries;
    mark->setName(QStringLiteral("Mark%1").arg(i + 1));
    mark->setMarkerSize(1);
    mark->setColor(Qt::transparent);
    mark->setBorderColor(Qt::transparent);
    mark->append(p.x - 1, p.y);
    mark->setPointLabelsVisible(true);
    mark->setPointLabelsColor(SeriesColour(i));
    mark->setPointLabelsFormat(Q(ChartValueMark(p.y, currency)));
    plot.Attach(mark);
  }
}

void AddPoints(const Plot& plot, const std::vector<LogChartPoint>& pts, int i, int style) {
  auto* points = new QScatterSeries;
  points->setName(QStringLiteral("Points%1").arg(i + 1));
  points->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
  points->setMarkerSize(style == 1 ? 6 : 9);
  points->setColor(style == 1 ? QColor(Qt::yellow) : SeriesColour(i));
  points->setBorderColor(SeriesColour(i));
  for (const auto& p : pts) points->append(p.x - 1, p.y);
  plot.Attach(points);
}

void AddAverage(const Plot& plot, double avg, int i, int count, Currency currency) {
  auto* average = new QLineSeries;
  average->setName(QStringLiteral("Average%1").arg(i + 1));
  average->setColor(i == 0 ? QColor(0, 200, 0) : QColor(255, 0, 255));
  // Its value mark once, in the middle: marks at the two ends would be cut by the plot.
  const double right = std::max(1, count) - 0.5;
  average->append(-0.5, avg);
  average->append(right / 2 - 0.25, avg);
  average->append(right, avg);
  average->setPointLabelsVisible(true);
  average->setPointLabelsFormat(Q(currency == Currency::Euro
                                      ? ChartValueMark(avg, currency)
                                      : GroupInteger(static_cast<long long>(std::llround(avg)))));
  for (int end : {0, 2})
    average->setPointConfiguration(end, QXYSeries::PointConfiguration::LabelVisibility, false);
  plot.Attach(average);
}

}  // namespace

LogChartView::LogChartView(QWidget* parent) : QChartView(parent) {
  setObjectName(QStringLiteral("Graph"));
  setRenderHint(QPainter::Antialiasing);
}

void LogChartView::Draw(const LogChart& chartData, int style, bool threeD) {
  auto* chart = new QChart;
  chart->legend()->hide();
  // The euro axis reads Italian style, "0,50".
  if (chartData.currency == Currency::Euro) {
    chart->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
    chart->setLocalizeNumbers(true);
  }
  chart->setDropShadowEnabled(threeD);
  // Points stand at x - 1 (bars need their index), named by the call's number.
  int count = 0;
  for (const auto& p : chartData.first) count = std::max(count, static_cast<int>(p.x));
  auto* x = NewBottomAxis(count);
  // The cost in points and lines names each point by the call's date; the other charts by
  // the call's number.
  m_labels = PointNames(chartData, style == 1);
  auto* y = NewLeftAxis(chartData);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  const Plot plot{chart, x, y};
  const std::vector<LogChartPoint>* series[2] = {&chartData.first, &chartData.second};
  if (style == 2) AddBars(plot, series, count);
  for (int i = 0; i < 2; ++i) {
    const auto& pts = *series[i];
    if (pts.empty()) continue;
    if (style == 1) AddLine(plot, pts, i, chartData.currency);
    if (style != 2) AddPoints(plot, pts, i, style);
    AddAverage(plot, i == 0 ? chartData.firstAverage : chartData.secondAverage, i, count,
               chartData.currency);
  }
  QChart* old = this->chart();
  setChart(chart);
  delete old;
  m_bottom = x;
  m_labelStep = 0;
  LabelBottomAxis();
}

void LogChartView::resizeEvent(QResizeEvent* event) {
  QChartView::resizeEvent(event);
  LabelBottomAxis();
}

void LogChartView::LabelBottomAxis() {
  if (!m_bottom) return;
  // The names stand on end: each needs about two lines of room across. The plot leaves out
  // the left axis with its title and the chart's margins; a view never laid out (a hidden
  // window) is taken at its window's width.
  const int width = testAttribute(Qt::WA_WState_Visible) ? this->width() : window()->width();
  const int room = std::max(100, width - 150);
  const int perName = 2 * QFontMetrics(m_bottom->labelsFont()).height();
  const int names = std::max(1, room / perName);
  const int step =
      RoundStep(static_cast<int>((m_labels.size() + static_cast<std::size_t>(names) - 1) / names));
  if (step == m_labelStep) return;
  m_labelStep = step;
  for (const QString& label : m_bottom->categoriesLabels()) m_bottom->remove(label);
  for (std::size_t i = 0; i < m_labels.size(); i += static_cast<std::size_t>(step))
    m_bottom->append(m_labels[i].first, m_labels[i].second);
}

}  // namespace orva

// The bill view's window.
#include "bill/ui/Bolletta.h"

#include <algorithm>

#include <QBarSeries>
#include <QBarSet>
#include <QCalendarWidget>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

#include "bill/ui/Bolman.h"
#include "bill/ui/DateForm.h"
#include "core/HowUtils.h"
#include "platform/qt/ClientPlace.h"

namespace orva {
namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

QLabel* Label(const char* name, QWidget* parent, const QString& text = QString()) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(QString::fromUtf8(name));
  return l;
}

QDate ToQDate(const DateParts& d) {
  return QDate(d.year, d.month, d.day);
}

}  // namespace

TBollettaDLG::TBollettaDLG(BillViewContext context, QWidget* parent)
    : QDialog(parent),
      m_ctx(std::move(context)),
      m_model(m_ctx.settings, m_ctx.today, m_ctx.vatRate, m_ctx.directory) {
  setObjectName(QStringLiteral("BollettaDLG"));
  setWindowTitle(QStringLiteral("ORVA32 - Bolletta"));
  Settings& s = m_ctx.settings;

  Calendar1 = new QCalendarWidget(this);
  Calendar1->setObjectName(QStringLiteral("Calendar1"));
  Calendar1->setAccessibleName(QStringLiteral("Calendario della bolletta"));
  Calendar1->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
  Calendar1->setFirstDayOfWeek(Qt::Monday);
  Calendar1->setNavigationBarVisible(false);
  Calendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
  A0 = new QRadioButton(QStringLiteral("Scatti"), this);
  A0->setObjectName(QStringLiteral("A0"));
  // The money view reads in the chosen currency.
  A1 = new QRadioButton(QString::fromUtf8(CurrencyName(s.currency)), this);
  A1->setObjectName(QStringLiteral("A1"));
  (m_model.Mode() == BillDisplayMode::Lire ? A1 : A0)->setChecked(true);
  LM = Label("LM", this);
  MScl = Label("MScl", this);
  LG = Label("LG", this);
  DScl = Label("DScl", this);
  MonthLb = Label("MonthLb", this);
  DATLb = Label("DATLb", this);
  UpDown1 = new QSpinBox(this);
  UpDown1->setObjectName(QStringLiteral("UpDown1"));
  UpDown1->setRange(-100000, 100000);
  UpDown1->setFixedWidth(22);
  UpDown1->setToolTip(QStringLiteral("Cambia mese"));
  UpDown1->setStyleSheet(QStringLiteral("QSpinBox { color: transparent; }"));
  for (QLabel* l : {MScl, DScl}) {
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setMinimumWidth(80);
  }
  QFont bold = MonthLb->font();
  bold.setBold(true);
  MonthLb->setFont(bold);

  FromLb = Label("FromLb", this);
  ToLb = Label("ToLb", this);
  auto* startBtn = new QPushButton(QStringLiteral("Scelta data inizio periodo"), this);
  startBtn->setObjectName(QStringLiteral("StartBtn"));
  auto* endBtn = new QPushButton(QStringLiteral("Scelta data fine periodo"), this);
  endBtn->setObjectName(QStringLiteral("EndBtn"));
  FixCost = new QLineEdit(Q(m_model.FixedCostsShown()), this);
  FixCost->setObjectName(QStringLiteral("FixCost"));
  FixCost->setMaxLength(9);
  FixCost->setToolTip(QStringLiteral("Spese fisse (canone, etc.)"));
  Suppl = new QLineEdit(Q(s.billExtraTicks), this);
  Suppl->setObjectName(QStringLiteral("Suppl"));
  Suppl->setMaxLength(8);
  Suppl->setToolTip(QStringLiteral("Aggiunta scatti non registrati in archivio"));
  ScattiLb = Label("ScattiLb", this);
  NettoLb = Label("NettoLb", this);
  IVALb = Label("IVALb", this);
  TotalLb = Label("TotalLb", this);
  for (QLabel* l : {ScattiLb, NettoLb, IVALb, TotalLb}) l->setAlignment(Qt::AlignRight);
  TotalLb->setFont(bold);

  Chart1 = new QChartView(this);
  Chart1->setObjectName(QStringLiteral("Chart1"));
  Chart1->setRenderHint(QPainter::Antialiasing);
  Chart1->setMinimumSize(420, 300);

  auto* help = new QPushButton(QStringLiteral("Aiuto"), this);
  help->setObjectName(QStringLiteral("HelpBtn"));
  auto* close = new QPushButton(QStringLiteral("Chiudi"), this);
  close->setObjectName(QStringLiteral("CloseBtn"));

  // Calendar side.
  auto* monthRow = new QHBoxLayout;
  monthRow->addWidget(MonthLb, 1);
  monthRow->addWidget(UpDown1);
  auto* figures = new QGridLayout;
  figures->addWidget(LM, 0, 0);
  figures->addWidget(MScl, 0, 1);
  figures->addWidget(LG, 1, 0);
  figures->addWidget(DScl, 1, 1);
  auto* modes = new QGroupBox(QStringLiteral("Visualizza"), this);
  auto* ml = new QHBoxLayout(modes);
  ml->addWidget(A0);
  ml->addWidget(A1);
  auto* left = new QVBoxLayout;
  left->addLayout(monthRow);
  left->addWidget(Calendar1);
  left->addWidget(DATLb);
  left->addLayout(figures);
  left->addWidget(modes);

  // Period side.
  auto* period = new QGroupBox(QStringLiteral("Periodo di bolletta"), this);
  auto* pg = new QGridLayout(period);
  pg->addWidget(new QLabel(QStringLiteral("dal : "), period), 0, 0);
  pg->addWidget(FromLb, 0, 1);
  pg->addWidget(startBtn, 0, 2);
  pg->addWidget(new QLabel(QStringLiteral("al : "), period), 1, 0);
  pg->addWidget(ToLb, 1, 1);
  pg->addWidget(endBtn, 1, 2);
  pg->addWidget(new QLabel(QStringLiteral("Costi fissi"), period), 2, 0);
  pg->addWidget(FixCost, 2, 1, 1, 2);
  pg->addWidget(new QLabel(QStringLiteral("Scatti supplementari"), period), 3, 0);
  pg->addWidget(Suppl, 3, 1, 1, 2);
  const char* captions[4] = {
      "Scatti :", "Netto :", "IVA :",
      m_ctx.settings.currency == Currency::Euro ? "Bolletta € :" : "Bolletta L :"};
  QLabel* values[4] = {ScattiLb, NettoLb, IVALb, TotalLb};
  for (int i = 0; i < 4; ++i) {
    pg->addWidget(new QLabel(QString::fromUtf8(captions[i]), period), 4 + i, 0);
    pg->addWidget(values[i], 4 + i, 1, 1, 2);
  }
  BuildForecast(pg, 8);
  auto* right = new QVBoxLayout;
  right->addWidget(period);
  right->addWidget(Chart1, 1);

  auto* body = new QHBoxLayout;
  body->addLayout(left);
  body->addLayout(right, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(help);
  buttons->addWidget(close);
  auto* top = new QVBoxLayout(this);
  top->addLayout(body, 1);
  top->addLayout(buttons);
  resize(840, 600);

  // The state change, not the click: a screen reader toggles the buttons without a click,
  // and the mode must follow whatever way it was chosen.
  connect(A0, &QRadioButton::toggled, this, [this](bool on) {
    if (on) A0Click();
  });
  connect(A1, &QRadioButton::toggled, this, [this](bool on) {
    if (on) A1Click();
  });
  connect(Calendar1, &QCalendarWidget::selectionChanged, this, [this] {
    m_model.SetCalendar(CalendarDate());
    RedoDayMonth();
    RedoChart();
  });
  // The mouse wheel turns the calendar's page: the selected day follows it to the same day of
  // the new month, so the month, its label and its figures follow the grid.
  connect(Calendar1, &QCalendarWidget::currentPageChanged, this, [this](int year, int month) {
    const QDate selected = Calendar1->selectedDate();
    if (selected.year() == year && selected.month() == month) return;
    const int last = QDate(year, month, 1).daysInMonth();
    Calendar1->setSelectedDate(QDate(year, month, std::min(selected.day(), last)));
  });
  // A double click or Enter on a day opens the day tick editor.
  connect(Calendar1, &QCalendarWidget::activated, this, [this] { EditDay(); });
  connect(UpDown1, &QSpinBox::valueChanged, this, [this](int v) {
    const int step = v > m_spin ? 1 : -1;
    m_spin = v;
    UpDown1Click(step);
  });
  connect(startBtn, &QPushButton::clicked, this, &TBollettaDLG::StartBtnClick);
  connect(endBtn, &QPushButton::clicked, this, &TBollettaDLG::EndBtnClick);
  connect(FixCost, &QLineEdit::textChanged, this, &TBollettaDLG::FixCostChange);
  connect(Suppl, &QLineEdit::textChanged, this, &TBollettaDLG::SupplChange);
  connect(help, &QPushButton::clicked, this, [this] {
    if (m_ctx.openHelp) m_ctx.openHelp(160);
  });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  // Position "Posizione" of section "Bolletta".
  if (s.billPosition != "Default") {
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->geometry()
                             : QRect(0, 0, 1024, 768);
    const FormGeometry g = ApplyFormPosition(s.billPosition, {0, y(), x(), width(), height()},
                                             screen.width(), screen.height(), false);
    // The client area's place, as stored at close: put back exactly under a window manager.
    PlaceClientArea(*this, g.left, g.top, width(), height());
  }

  Calendar1->setSelectedDate(ToQDate(m_ctx.today));
  Calendar1->setCurrentPage(m_ctx.today.year, m_ctx.today.month);
  RedoDayMonth();
  RedoChart();
  RedoPeriod();
}

TBollettaDLG::~TBollettaDLG() = default;

DateParts TBollettaDLG::CalendarDate() const {
  const QDate d = Calendar1->selectedDate();
  return {d.year(), d.month(), d.day()};
}

void TBollettaDLG::SetCalendarDate(const DateParts& date) {
  m_model.SetCalendar(date);
  Calendar1->blockSignals(true);
  Calendar1->setSelectedDate(ToQDate(date));
  Calendar1->blockSignals(false);
  Calendar1->setCurrentPage(date.year, date.month);
  RedoDayMonth();
  RedoChart();
}

void TBollettaDLG::SetPeriod(const DateParts& from, const DateParts& to) {
  m_model.SetPeriodStart(from);
  m_model.SetPeriodEnd(to);
  RedoPeriod();
}

void TBollettaDLG::RedoDayMonth() {
  const BillDayMonthFigures f = m_model.Figures();
  LM->setText(Q(f.monthCaption));
  LG->setText(Q(f.dayCaption));
  MScl->setText(Q(f.monthFigure));
  DScl->setText(Q(f.dayFigure));
  MonthLb->setText(Q(f.monthTitle));
  DATLb->setText(Q(f.error.empty() ? f.fileName : f.fileName + " (illeggibile)"));
  DATLb->setToolTip(Q(f.error));
}

void TBollettaDLG::RedoPeriod() {
  FromLb->setText(Q(m_model.FromText()));
  ToLb->setText(Q(m_model.ToText()));
  const BillPeriodFigures p = m_model.Period();
  ScattiLb->setText(Q(p.ticksText));
  NettoLb->setText(Q(p.netText));
  IVALb->setText(Q(p.vatText));
  TotalLb->setText(Q(p.totalText));
  TotalLb->setToolTip(Q(p.error));
  RedoForecast();
}

// Rows from `row` on: "Previsione fine mese :", "Costo massimo periodo :" (while the period
// warning is on) and the warning when the projection reaches it. The values take the
// keyboard focus, so a screen reader reads them in the tab order.
void TBollettaDLG::BuildForecast(QGridLayout* grid, int row) {
  QWidget* parent = grid->parentWidget();
  auto* caption = new QLabel(QStringLiteral("Previsione fine mese :"), parent);
  ForecastLb = Label("ForecastLb", parent);
  ForecastLb->setAccessibleName(QStringLiteral("Previsione fine mese"));
  LimitCaption = new QLabel(QStringLiteral("Costo massimo periodo :"), parent);
  LimitLb = Label("LimitLb", parent);
  LimitLb->setAccessibleName(QStringLiteral("Costo massimo periodo"));
  ForecastWarnLb = Label("ForecastWarnLb", parent);
  ForecastWarnLb->setAccessibleName(QStringLiteral("Avviso previsione"));
  ForecastWarnLb->setStyleSheet(QStringLiteral("QLabel { color: #c00000; font-weight: bold; }"));
  ForecastWarnLb->setWordWrap(true);
  for (QLabel* l : {ForecastLb, LimitLb, ForecastWarnLb}) {
    l->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    l->setFocusPolicy(Qt::StrongFocus);
  }
  caption->setBuddy(ForecastLb);
  LimitCaption->setBuddy(LimitLb);
  ForecastLb->setAlignment(Qt::AlignRight);
  LimitLb->setAlignment(Qt::AlignRight);
  grid->addWidget(caption, row, 0);
  grid->addWidget(ForecastLb, row, 1, 1, 2);
  grid->addWidget(LimitCaption, row + 1, 0);
  grid->addWidget(LimitLb, row + 1, 1, 1, 2);
  grid->addWidget(ForecastWarnLb, row + 2, 0, 1, 3);
}

void TBollettaDLG::RedoForecast() {
  const BillForecastTexts f = m_model.Forecast();
  ForecastLb->setText(Q(f.forecast));
  ForecastLb->setToolTip(Q(f.forecastHint));
  ForecastLb->setAccessibleDescription(Q(f.forecastHint));
  LimitLb->setText(Q(f.limit));
  LimitCaption->setVisible(!f.limit.empty());
  LimitLb->setVisible(!f.limit.empty());
  ForecastWarnLb->setText(Q(f.warning));
  ForecastWarnLb->setAccessibleDescription(Q(f.warning));
  ForecastWarnLb->setVisible(f.reachesLimit);
  // The warning is in words too, not in colour alone: the figure says it to a screen reader.
  ForecastLb->setAccessibleName(f.reachesLimit
                                    ? QStringLiteral("Previsione fine mese, supera il limite")
                                    : QStringLiteral("Previsione fine mese"));
}

void TBollettaDLG::RedoChart() {
  const BillDisplayMode mode = m_model.Mode();
  const BillChart c = m_model.Chart();
  auto* chart = new QChart;
  chart->setObjectName(QStringLiteral("Chart"));
  auto* set = new QBarSet(mode == BillDisplayMode::Lire ? QStringLiteral("Costo")
                                                        : QStringLiteral("Scatti"));
  set->setColor(mode == BillDisplayMode::Lire ? Qt::red : Qt::blue);
  auto* average = new QLineSeries;
  // Euro averages are mostly cents: they keep them.
  const bool euro = mode == BillDisplayMode::Lire && m_ctx.settings.currency == Currency::Euro;
  average->setName(QStringLiteral("Media ") +
                   Q(euro ? FormatAmountNumber(ToLire(c.average, Currency::Euro), Currency::Euro)
                          : GroupInteger(static_cast<long long>(std::llround(c.average)))));
  average->setColor(QColor(0, 128, 0));
  for (std::size_t d = 0; d < c.values.size(); ++d) {
    *set << c.values[d];
    average->append(static_cast<double>(d), c.average);
  }
  auto* bars = new QBarSeries;
  bars->append(set);
  bars->setBarWidth(0.8);
  chart->addSeries(bars);
  chart->addSeries(average);
  // Bars stand at 0 .. n-1; the axis labels day 1 and every fifth day at its bar.
  auto* x = new QCategoryAxis;
  x->setRange(-0.5, static_cast<double>(c.values.size()) - 0.5);
  x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  for (std::size_t day = 1; day <= c.values.size(); ++day)
    if (day == 1 || day % 5 == 0) x->append(QString::number(day), static_cast<double>(day - 1));
  x->setTitleText(QStringLiteral("Giorno"));
  QFont small = x->labelsFont();
  small.setPointSizeF(small.pointSizeF() * 0.7);
  x->setLabelsFont(small);
  QFont titleFont = x->titleFont();
  titleFont.setPointSizeF(titleFont.pointSizeF() * 0.8);
  auto* y = new QValueAxis;
  // A long title goes on two lines rather than being cut by the chart's height.
  QString title = Q(c.leftAxisTitle);
  if (title.size() > 24) {
    const int middle = title.lastIndexOf(QLatin1Char(' '), title.size() / 2 + 4);
    if (middle > 0) title = title.left(middle) + QStringLiteral("<br>") + title.mid(middle + 1);
  }
  y->setTitleText(title);
  y->setLabelFormat(QStringLiteral("%.0f"));
  y->setTitleFont(titleFont);
  y->setLabelsFont(small);
  double top = 0;
  for (double v : c.values) top = std::max(top, v);
  const ChartScale scale = NiceChartScale(top);
  y->setRange(0, scale.top);
  y->setTickCount(scale.intervals + 1);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  for (QAbstractSeries* series :
       {static_cast<QAbstractSeries*>(bars), static_cast<QAbstractSeries*>(average)}) {
    series->attachAxis(x);
    series->attachAxis(y);
  }
  chart->legend()->setAlignment(Qt::AlignBottom);
  QChart* old = Chart1->chart();
  Chart1->setChart(chart);
  delete old;
}

void TBollettaDLG::A0Click() {
  m_model.SetMode(BillDisplayMode::Scatti);
  RedoDayMonth();
  RedoChart();
}

void TBollettaDLG::A1Click() {
  m_model.SetMode(BillDisplayMode::Lire);
  RedoDayMonth();
  RedoChart();
}

void TBollettaDLG::UpDown1Click(int step) {
  m_model.ChangeMonth(step);
  SetCalendarDate(m_model.Calendar());
}

void TBollettaDLG::StartBtnClick() {
  const auto d = PickDate(this, QStringLiteral("Data inizio periodo"), m_model.PeriodStartDate());
  if (!d) return;
  m_model.SetPeriodStart(*d);
  RedoPeriod();
}

void TBollettaDLG::EndBtnClick() {
  const auto d = PickDate(this, QStringLiteral("Data fine periodo"), m_model.PeriodEndDate());
  if (!d) return;
  m_model.SetPeriodEnd(*d);
  RedoPeriod();
}

void TBollettaDLG::FixCostChange() {
  m_model.SetFixedCosts(FixCost->text().toStdString());
  RedoPeriod();
}

void TBollettaDLG::SupplChange() {
  m_model.SetSupplementaryTicks(Suppl->text().toStdString());
  RedoPeriod();
}

void TBollettaDLG::EditDay() {
  const DateParts d = m_model.Calendar();
  TBolManDlg editor(d.day, d.month, d.year, Options(), this);
  editor.move(pos() + QPoint(30, 30));
  if (editor.exec() != QDialog::Accepted) return;
  if (Status st = editor.Model().WriteBack(); !st) m_ctx.dialogs.Message(st.error, MsgType::Error);
  RedoDayMonth();
  RedoPeriod();
  RedoChart();
}

void TBollettaDLG::done(int result) {
  m_ctx.settings.billPosition = FormatFormPosition(
      {isMaximized() ? 2 : 0, geometry().y(), geometry().x(), width(), height()});
  QDialog::done(result);
}

}  // namespace orva

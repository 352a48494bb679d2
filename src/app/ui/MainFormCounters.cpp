// What the main window shows of the meter: the counters and their item, the status labels,
// the gauges, the tariff selectors and the flashing at a limit.
#include "app/ui/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

#include "app/ui/MainFormLayout.h"

namespace orva {

using namespace mainform;

void TMainForm::SetClockButtonEnabled(bool enabled) {
  m_clockEnabled = enabled;
  const QString name = QStringLiteral("ClockBtn");
  if (auto* b = findChild<QWidget*>(name)) b->setEnabled(enabled);
}

void TMainForm::SetLabelHint(const QString& name, const QString& hint) {
  if (QLabel* l = m_labels.value(name)) l->setToolTip(hint);
}

void TMainForm::SetTariffs(const std::vector<std::string>& descriptions,
                           const std::vector<std::string>& abbreviations) {
  m_syncingTariffs = true;
  m_feeCb->clear();
  m_feeCb1->clear();
  for (const auto& d : descriptions) m_feeCb->addItem(Q(d));
  for (const auto& a : abbreviations) m_feeCb1->addItem(Q(a));
  m_syncingTariffs = false;
}

namespace {

// The small bar's counter has a fixed width: a longer text (the bill item with its forecast)
// is drawn smaller rather than cut off, down to two thirds of the bar's font.
void FitCounterFont(QLabel* label, int room) {
  QFont font = QApplication::font(label);
  font.setBold(true);
  const qreal floor = font.pointSizeF() * 2 / 3;
  while (font.pointSizeF() - 0.5 >= floor &&
         QFontMetrics(font).horizontalAdvance(label->text()) > room)
    font.setPointSizeF(font.pointSizeF() - 0.5);
  if (font != label->font()) label->setFont(font);
}

}  // namespace

void TMainForm::RedrawCounters() {
  CounterInput in = CounterSource ? CounterSource() : CounterInput{};
  in.item = m_settings.display;
  in.decimals = m_settings.decimals;
  in.currency = m_settings.currency;
  in.periodLimit = m_settings.periodLimit;
  m_texts = orva::RedrawCounters(in);
  m_labels.value(QStringLiteral("BytesRecv"))->setText(Q(m_texts.bytesReceived));
  m_labels.value(QStringLiteral("BytesSend"))->setText(Q(m_texts.bytesSent));
  for (int item : {4, 5, 7}) m_counterActions[item - 1]->setEnabled(m_texts.tickItemsEnabled);
  // The first item names the currency its cost is in.
  m_counterActions[0]->setText(in.currency == Currency::Euro
                                   ? QStringLiteral("costo in Euro - tempo trascorso ")
                                   : QString::fromUtf8(Command(CommandId::Counter1).caption));
  m_labels.value(QStringLiteral("HCostLb"))->setText(Q(m_texts.hourlyCost));
  if (!m_texts.complete) return;
  m_l2->setText(Q(m_texts.counter));
  m_l2->setToolTip(Q(m_texts.counterHint));
  m_l22->setText(Q(m_texts.counter));
  m_l22->setToolTip(Q(m_texts.counterHint));
  // The bar's margins and spacing beside the menu button.
  FitCounterFont(m_l22, kPanel01Width - m_menuBtn->width() - 3);
  m_progBar->setToolTip(Q(m_texts.gaugeHint));
  m_progBar1->setToolTip(Q(m_texts.gaugeHint));
  m_labels.value(QStringLiteral("TickLb"))->setText(Q(m_texts.tickText));
  // The taskbar button shows the counter's value.
  setWindowTitle(m_texts.value.empty() ? m_caption
                                       : Q(m_texts.value) + QStringLiteral(" - ") + m_caption);
}

void TMainForm::SetLabel(const QString& name, const QString& text) {
  if (QLabel* l = m_labels.value(name)) l->setText(text);
}

void TMainForm::SetLabel(MeterLabel label, const std::string& text) {
  static constexpr const char* kNames[] = {"StatusLb", "RasLb",     "DevName",
                                           "DevType",  "ServiceLb", "TickLb",
                                           "IPLb",     "BytesRecv", "BytesSend"};
  const auto i = static_cast<std::size_t>(label);
  if (i < std::size(kNames)) SetLabel(QString::fromLatin1(kNames[i]), Q(text));
}

QString TMainForm::LabelText(const QString& name) const {
  const QLabel* l = m_labels.value(name);
  return l ? l->text() : QString();
}

void TMainForm::SetStopHint(const QString& hint) {
  m_stopBtn->setToolTip(hint);
}

void TMainForm::SetTariffSelectorsEnabled(bool enabled) {
  m_feeCb->setEnabled(enabled);
  m_feeCb1->setEnabled(enabled);
}

void TMainForm::SelectTariff(int index) {
  m_syncingTariffs = true;
  m_feeCb->setCurrentIndex(index < m_feeCb->count() ? index : (m_feeCb->count() ? 0 : -1));
  m_feeCb1->setCurrentIndex(index < m_feeCb1->count() ? index : (m_feeCb1->count() ? 0 : -1));
  m_syncingTariffs = false;
}

int TMainForm::SelectedTariff() const {
  return m_feeCb->currentIndex();
}

void TMainForm::FeeCBChange(int index) {
  if (m_syncingTariffs) return;
  SelectTariff(index);
  if (OnTariffChosen) OnTariffChosen(index);
}

void TMainForm::FeeCB1Change(int index) {
  FeeCBChange(index);
}

void TMainForm::SetGauges(int maximum, int position) {
  for (QProgressBar* g : {m_progBar, m_progBar1}) {
    g->setMaximum(maximum > 0 ? maximum : 1);
    if (position >= 0) g->setValue(std::min(position, g->maximum()));
  }
}

void TMainForm::SetGaugePosition(int position) {
  for (QProgressBar* g : {m_progBar, m_progBar1})
    g->setValue(std::clamp(position, 0, g->maximum()));
}

void TMainForm::SelectCounterItem(int item) {
  if (item < 1 || item > kCounterItems) return;
  m_settings.display = item;
  m_counterActions[item - 1]->setChecked(true);
  RedrawCounters();
}

void TMainForm::L22MouseDown() {
  const double tickSeconds =
      CounterSource ? CounterSource().tariff.tickSeconds : CounterInput{}.tariff.tickSeconds;
  SelectCounterItem(NextDisplayItem(m_settings.display, tickSeconds));
}

void TMainForm::ApplyFlashColours(bool inverted) {
  QPalette bar = m_panel01->palette();
  QColor back = FromBgr(m_settings.backColour), text = FromBgr(m_settings.textColour);
  if (inverted) std::swap(back, text);
  bar.setColor(QPalette::Window, back);
  bar.setColor(QPalette::WindowText, text);
  m_panel01->setPalette(bar);
  m_l22->setPalette(bar);
  m_l2->setPalette(bar);
}

void TMainForm::Flash() {
  m_flashPhase = !m_flashPhase;
  ApplyFlashColours(m_flashPhase);
  const QString title = windowTitle();
  const QString mark = QStringLiteral("» ");
  setWindowTitle(m_flashPhase ? mark + title : (title.startsWith(mark) ? title.mid(2) : title));
  if (m_flashPhase) QApplication::alert(this, 400);
}

void TMainForm::StopFlashing() {
  if (m_flashPhase) {
    m_flashPhase = false;
    const QString title = windowTitle();
    if (title.startsWith(QStringLiteral("» "))) setWindowTitle(title.mid(2));
  }
  ApplyFlashColours(false);
}

}  // namespace orva

// The traffic monitor panel.
#include "net/ui/MonitorPanel.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QVBoxLayout>
#include <cmath>

namespace orva {

namespace {

// The views are columns of text: the font is "Courier New" or, where it is missing, the first
// font found whose letters are all as wide.
QFont ColumnFont() {
  auto evenWidth = [](const QFont& f) {
    const QFontMetrics fm(f);
    return fm.horizontalAdvance(QLatin1Char('i')) == fm.horizontalAdvance(QLatin1Char('W')) &&
           fm.horizontalAdvance(QLatin1Char('.')) == fm.horizontalAdvance(QLatin1Char('M'));
  };
  QFont courier(QStringLiteral("Courier New"));
  courier.setStyleHint(QFont::TypeWriter);
  courier.setFixedPitch(true);
  QList<QFont> candidates{courier, QFontDatabase::systemFont(QFontDatabase::FixedFont)};
  for (const char* family : {"DejaVu Sans Mono", "Liberation Mono", "Nimbus Mono PS"})
    candidates << QFont(QString::fromLatin1(family));
  for (QFont f : candidates) {
    // Small, so a connection row fits the panel's width.
    f.setPointSize(8);
    if (evenWidth(f)) return f;
  }
  courier.setPointSize(8);
  return courier;
}

}  // namespace

TMonitorPanel::TMonitorPanel(QWidget* parent, TrafficMonitor& monitor)
    : QWidget(parent), m_monitor(monitor) {
  setObjectName(QStringLiteral("MonitorPanel"));
  m_tabs = new QTabBar(this);
  m_tabs->setObjectName(QStringLiteral("TabControl"));
  for (const char* caption : kMonitorTabCaptions) m_tabs->addTab(QString::fromUtf8(caption));
  m_tabs->setDrawBase(false);
  m_tabs->setExpanding(false);
  m_tabs->setUsesScrollButtons(true);
  m_tabs->setElideMode(Qt::ElideNone);
  m_tabs->setFocusPolicy(Qt::StrongFocus);
  QFont small = m_tabs->font();
  if (small.pointSizeF() > 0) small.setPointSizeF(small.pointSizeF() * 0.9);
  m_tabs->setFont(small);
  m_tabs->setCurrentIndex(m_monitor.TabIndex);

  m_memo = new QPlainTextEdit(this);
  m_memo->setObjectName(QStringLiteral("Memo"));
  m_memo->setAccessibleName(QStringLiteral("Risultati del monitor"));
  m_memo->setReadOnly(true);
  m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_memo->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
  m_memo->setUndoRedoEnabled(false);
  m_memo->setFrameShape(QFrame::NoFrame);
  m_memo->setFont(ColumnFont());
  QPalette pal = m_memo->palette();
  pal.setColor(QPalette::Base, Qt::black);
  pal.setColor(QPalette::Text, Qt::yellow);
  pal.setColor(QPalette::Highlight, QColor(0x80, 0x80, 0x00));
  pal.setColor(QPalette::HighlightedText, Qt::black);
  m_memo->setPalette(pal);
  // The scroll bars keep the window's colours: on black they would vanish.
  QPalette bars = palette();
  bars.setColor(QPalette::Base, bars.color(QPalette::Base));
  bars.setColor(QPalette::Text, bars.color(QPalette::Text));
  m_memo->verticalScrollBar()->setPalette(bars);
  m_memo->horizontalScrollBar()->setPalette(bars);
  m_memo->setMinimumHeight(16);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(m_tabs);
  layout->addWidget(m_memo, 1);
  // The panel is never so low that a call shows only the view's heading: the heading and
  // three connections stay in view above the horizontal scroll bar.
  const QFontMetrics rows(m_memo->font());
  m_memo->setMinimumHeight(kMonitorRowsShown * rows.lineSpacing() +
                           static_cast<int>(std::ceil(2 * m_memo->document()->documentMargin())) +
                           2 * m_memo->frameWidth() +
                           m_memo->horizontalScrollBar()->sizeHint().height());
  setMinimumHeight(m_tabs->sizeHint().height() + m_memo->minimumHeight());

  connect(m_tabs, &QTabBar::currentChanged, this, &TMonitorPanel::TabControlChange);
  m_monitor.OnMemoChange = [this] { Redraw(); };
  Redraw();
}

TMonitorPanel::~TMonitorPanel() {
  m_monitor.OnMemoChange = nullptr;
}

void TMonitorPanel::TabControlChange(int index) {
  if (index < 0 || index >= m_tabs->count()) return;
  if (m_tabs->currentIndex() != index) {
    const QSignalBlocker block(m_tabs);
    m_tabs->setCurrentIndex(index);
  }
  m_monitor.TabControlChange(index);
}

void TMonitorPanel::Redraw() {
  QString text;
  qsizetype size = 0;
  for (const std::string& line : m_monitor.Memo) size += static_cast<qsizetype>(line.size()) + 1;
  text.reserve(size);
  for (std::size_t i = 0; i < m_monitor.Memo.size(); ++i) {
    if (i) text += QLatin1Char('\n');
    text += QString::fromStdString(m_monitor.Memo[i]);
  }
  const bool sameView = m_shownTab == m_monitor.TabIndex;
  if (sameView && text == m_shown) return;  // a redraw that changes nothing keeps the view still
  QScrollBar* v = m_memo->verticalScrollBar();
  QScrollBar* h = m_memo->horizontalScrollBar();
  const int top = v->value(), left = h->value();
  m_memo->setPlainText(text);
  m_shown = std::move(text);
  m_shownTab = m_monitor.TabIndex;
  if (m_tabs->currentIndex() != m_monitor.TabIndex) {
    const QSignalBlocker block(m_tabs);
    m_tabs->setCurrentIndex(m_monitor.TabIndex);
  }
  if (sameView) {
    v->setValue(std::min(top, v->maximum()));
    h->setValue(std::min(left, h->maximum()));
  }
}

}  // namespace orva

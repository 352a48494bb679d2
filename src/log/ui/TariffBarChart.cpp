#include "log/ui/TariffBarChart.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace orva {
namespace {

constexpr int kRowHeight = 22;
constexpr int kMargin = 8;

}  // namespace

TariffBarChart::TariffBarChart(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("CompareChart"));
  setAccessibleName(QStringLiteral("Grafico dei costi per tariffa"));
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void TariffBarChart::SetBars(std::vector<Bar> bars, double paid, const QString& paidText) {
  m_bars = std::move(bars);
  m_paid = paid;
  m_paidText = paidText;
  QString description = QStringLiteral("Pagato %1").arg(m_paidText);
  for (const Bar& b : m_bars) description += QStringLiteral("; %1 %2").arg(b.name, b.text);
  setAccessibleDescription(description);
  updateGeometry();
  update();
}

QSize TariffBarChart::sizeHint() const {
  return {480, kRowHeight * static_cast<int>(m_bars.size()) + 3 * kMargin + kRowHeight};
}

QSize TariffBarChart::minimumSizeHint() const {
  return {240, std::min(sizeHint().height(), 4 * kRowHeight + 3 * kMargin)};
}

void TariffBarChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().base());
  Paint(painter, rect());
}

void TariffBarChart::Paint(QPainter& painter, const QRect& area) const {
  if (m_bars.empty()) return;
  const QFontMetrics fm = painter.fontMetrics();
  int nameWidth = 0;
  for (const Bar& b : m_bars) nameWidth = std::max(nameWidth, fm.horizontalAdvance(b.name));
  nameWidth = std::min(nameWidth, area.width() * 2 / 5);
  double top = m_paid;
  int textWidth = 0;
  for (const Bar& b : m_bars) {
    top = std::max(top, b.value);
    textWidth = std::max(textWidth, fm.horizontalAdvance(b.text));
  }
  const int left = area.left() + kMargin + nameWidth + kMargin;
  const int span = std::max(1, area.right() - kMargin - textWidth - kMargin - left);
  const auto xOf = [&](double v) {
    return left + (top > 0 ? static_cast<int>(std::max(0.0, v) / top * span) : 0);
  };
  const int rowsHeight = std::min(kRowHeight, (area.height() - 2 * kMargin - kRowHeight) /
                                                  std::max(1, static_cast<int>(m_bars.size())));
  int y = area.top() + kMargin + kRowHeight;
  painter.save();
  for (const Bar& b : m_bars) {
    const QRect nameBox(area.left() + kMargin, y, nameWidth, rowsHeight);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(nameBox, Qt::AlignRight | Qt::AlignVCenter,
                     fm.elidedText(b.name, Qt::ElideRight, nameWidth));
    const QRect bar(left, y + 3, std::max(1, xOf(b.value) - left), std::max(2, rowsHeight - 6));
    painter.fillRect(bar, b.value <= m_paid ? QColor(60, 140, 70) : QColor(70, 110, 180));
    painter.drawText(QRect(bar.right() + kMargin, y, textWidth + kMargin, rowsHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, b.text);
    y += rowsHeight;
  }
  const int paidX = xOf(m_paid);
  painter.setPen(QPen(QColor(200, 30, 30), 2, Qt::DashLine));
  painter.drawLine(paidX, area.top() + kMargin + kRowHeight - 2, paidX, y);
  painter.drawText(QRect(paidX - 150, area.top() + kMargin, 300, kRowHeight), Qt::AlignCenter,
                   QStringLiteral("Pagato %1").arg(m_paidText));
  painter.restore();
}

}  // namespace orva

// The wizard's welcome dial and its provider rows.
#include "setup/ui/WizardParts.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace orva {

WelcomeAnimation::WelcomeAnimation(QWidget* parent) : QWidget(parent), m_timer(new QTimer(this)) {
  setObjectName(QStringLiteral("Animate1"));
  setMinimumSize(160, 110);
  m_timer->setInterval(40);
  connect(m_timer, &QTimer::timeout, this, [this] {
    if (++m_frame >= kLastFrame) {
      m_frame = kLastFrame;
      m_timer->stop();
      if (onStopped) onStopped();
    }
    update();
  });
}

void WelcomeAnimation::Start() {
  m_frame = 0;
  m_timer->start();
}

void WelcomeAnimation::Stop() {
  m_timer->stop();
  m_frame = kLastFrame;
  update();
}

void WelcomeAnimation::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(10, 10, width() - 20, (height() - 20) * 2);
  p.setPen(QPen(QColor(30, 60, 120), 3));
  p.setBrush(QColor(250, 250, 235));
  p.drawChord(r, 0, 180 * 16);
  const QPointF centre = r.center();
  const double radius = r.width() / 2 - 8;
  for (int i = 0; i <= 10; ++i) {
    const double a = M_PI - i * M_PI / 10;
    p.drawLine(centre + QPointF(std::cos(a), -std::sin(a)) * (radius - 8),
               centre + QPointF(std::cos(a), -std::sin(a)) * radius);
  }
  const double a = M_PI - (M_PI * 0.85) * m_frame / kLastFrame;
  p.setPen(QPen(QColor(200, 30, 30), 3));
  p.drawLine(centre, centre + QPointF(std::cos(a), -std::sin(a)) * (radius - 12));
}

void ProviderDelegate::paint(QPainter* p, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  const auto row = static_cast<std::size_t>(index.row());
  if (row >= m_model.Providers().size()) return QStyledItemDelegate::paint(p, option, index);
  const QString tariff = QString::fromStdString(m_model.Providers()[row].tariff);
  // Both in full when they fit; otherwise the tariff keeps at least half the row and the
  // name is cut short before it, so the two never overlap.
  const QFontMetrics fm(option.font);
  const int room = std::max(0, option.rect.width() - 12);
  const int tariffFull = fm.horizontalAdvance(tariff);
  const int nameFull = fm.horizontalAdvance(index.data().toString());
  const int tariffWidth = tariffFull + nameFull <= room
                              ? tariffFull
                              : std::min(tariffFull, std::max(room - nameFull, room / 2));
  QStyleOptionViewItem name = option;
  initStyleOption(&name, index);
  name.rect.setRight(option.rect.right() - tariffWidth - 9);
  name.textElideMode = Qt::ElideRight;
  // The row's background over its whole width, then the name in its part.
  QStyleOptionViewItem background = option;
  initStyleOption(&background, index);
  background.text.clear();
  QStyle* style = option.widget ? option.widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &background, p, option.widget);
  name.state &= ~QStyle::State_HasFocus;
  name.backgroundBrush = Qt::NoBrush;
  const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &name, option.widget);
  style->drawItemText(
      p, textRect, Qt::AlignLeft | Qt::AlignVCenter, name.palette, true,
      nameFull <= textRect.width() ? name.text
                                   : fm.elidedText(name.text, Qt::ElideRight, textRect.width()),
      (option.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text);
  const bool selected = option.state & QStyle::State_Selected;
  p->save();
  p->setPen(selected ? option.palette.highlightedText().color() : QColor(Qt::blue));
  p->drawText(
      option.rect.adjusted(0, 0, -3, 0), Qt::AlignRight | Qt::AlignVCenter,
      tariffWidth >= tariffFull ? tariff : fm.elidedText(tariff, Qt::ElideRight, tariffWidth));
  p->restore();
}

}  // namespace orva

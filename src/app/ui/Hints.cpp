// The application's pop-up hints.
#include "app/ui/Hints.h"

#include <QApplication>
#include <QHelpEvent>
#include <QProxyStyle>
#include <QToolTip>
#include <QWidget>

namespace orva {
namespace {

// The pause before a hint is a style hint in Qt; this style answers it from the settings.
class HintStyle final : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_ToolTip_WakeUpDelay) return pause;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
  int pause = 250;
};

}  // namespace

THints::THints(QObject* parent) : QObject(parent) {}

THints::~THints() {
  if (m_installed && qApp) qApp->removeEventFilter(this);
}

void THints::Install() {
  if (m_installed || !qApp) return;
  m_installed = true;
  qApp->installEventFilter(this);
  // The application takes ownership of the style.
  auto* style = new HintStyle;
  m_style = style;
  QApplication::setStyle(style);
  SetPause(m_pause);
  SetColour(m_colour);
}

void THints::SetPause(int ms) {
  m_pause = ms < 0 ? 0 : ms;
  if (auto* style = static_cast<HintStyle*>(m_style.data())) style->pause = m_pause;
}

void THints::SetColour(unsigned bgr) {
  m_colour = bgr;
  QPalette p = QToolTip::palette();
  const QColor back(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
  // The text stays readable on a dark hint colour.
  const QColor text = back.lightness() < 128 ? Qt::white : Qt::black;
  for (auto group : {QPalette::Active, QPalette::Inactive}) {
    p.setColor(group, QPalette::ToolTipBase, back);
    p.setColor(group, QPalette::ToolTipText, text);
  }
  QToolTip::setPalette(p);
}

bool THints::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QObject::eventFilter(watched, event);
  if (!m_shown) {
    QToolTip::hideText();
    event->ignore();
    return true;
  }
  // A widget's own hint is shown here, so it stays up for the hide pause; item views and
  // others that compose their hints themselves keep doing so.
  auto* w = qobject_cast<QWidget*>(watched);
  if (!w || w->toolTip().isEmpty()) return QObject::eventFilter(watched, event);
  const auto* help = static_cast<QHelpEvent*>(event);
  QToolTip::showText(help->globalPos(), w->toolTip(), w, QRect(), m_hidePause);
  return true;
}

}  // namespace orva

// The small window's bar: the menu button and the counter, the gauge between the start and
// stop buttons, the tariff selector and the zoom button.
#include "app/ui/MainForm.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QToolButton>
#include <QVariant>
#include <QWindow>

#include "app/ui/Glyphs.h"
#include "app/ui/MainFormLayout.h"
#include "platform/qt/ElidingComboBox.h"

namespace orva {

using namespace mainform;

// The menu button and the counter of the small bar.
void TMainForm::BuildMenuPanel() {
  m_panel01 = new QFrame(this);
  m_panel01->setObjectName(QStringLiteral("Panel01"));
  m_panel01->setFixedSize(kPanel01Width, kBarHeight);
  m_panel01->setAutoFillBackground(true);
  m_l22 = new QLabel(m_panel01);
  m_l22->setObjectName(QStringLiteral("L22"));
  m_l22->setToolTip(QStringLiteral("Un click per cambiare voce"));
  m_l22->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
  QFont f = m_l22->font();
  f.setBold(true);
  m_l22->setFont(f);
  m_l22->installEventFilter(this);
  m_menuBtn = new QToolButton(m_panel01);
  m_menuBtn->setObjectName(QStringLiteral("MenuBtn"));
  m_menuBtn->setToolTip(QStringLiteral("Menu principale"));
  m_menuBtn->setIcon(Glyph(QStringLiteral("menu"), 16));
  m_menuBtn->setAutoRaise(true);
  m_menuBtn->setFixedSize(20, 20);
  auto* l1 = new QHBoxLayout(m_panel01);
  l1->setContentsMargins(1, 1, 1, 1);
  l1->setSpacing(1);
  l1->addWidget(m_menuBtn);
  l1->addWidget(m_l22, 1);
}

// The start button, the gauge (a drag on it moves the bar) and the stop button.
void TMainForm::BuildGaugePanel() {
  m_panel02 = new QFrame(this);
  m_panel02->setObjectName(QStringLiteral("Panel02"));
  m_panel02->setFixedSize(kPanel02Width, kBarHeight);
  m_startBtn = CommandButton(m_panel02, CommandId::Start);
  m_startBtn->setIcon(Glyph(QStringLiteral("start"), 14));
  m_startBtn->setFixedSize(20, 20);
  m_progBar = new QProgressBar(m_panel02);
  m_progBar->setObjectName(QStringLiteral("ProgBar"));
  m_progBar->setTextVisible(false);
  m_progBar->setAccessibleName(QString::fromUtf8(kTickGaugeName));
  m_progBar->setRange(0, 60);
  m_progBar->setValue(0);
  m_progBar->setFixedHeight(14);
  // Yellow on black, like the counter.
  m_progBar->setStyleSheet(
      QStringLiteral("QProgressBar { background: black; border: 1px solid #606060; }"
                     "QProgressBar::chunk { background: #ffd800; }"));
  m_progBar->installEventFilter(this);
  m_progBar->setCursor(Qt::SizeAllCursor);
  m_stopBtn = CommandButton(m_panel02, CommandId::Stop);
  // Its hint changes with the meter's state; the name says what it does.
  m_stopBtn->setAccessibleName(Q(Command(CommandId::Stop).caption));
  m_stopBtn->setIcon(Glyph(QStringLiteral("stop"), 14));
  m_stopBtn->setFixedSize(20, 20);
  auto* l2 = new QHBoxLayout(m_panel02);
  l2->setContentsMargins(1, 1, 1, 1);
  l2->setSpacing(2);
  l2->addWidget(m_startBtn);
  l2->addWidget(m_progBar, 1);
  l2->addWidget(m_stopBtn);
}

void TMainForm::BuildCounterBar() {
  BuildMenuPanel();
  BuildGaugePanel();
  m_feeCb1 = new ElidingComboBox(this);
  m_feeCb1->setObjectName(QStringLiteral("FeeCB1"));
  m_feeCb1->setToolTip(QStringLiteral("Selezione tariffa"));
  m_feeCb1->setFixedSize(kFeeCb1Width, kBarHeight);

  m_panel03 = new QFrame(this);
  m_panel03->setObjectName(QStringLiteral("Panel03"));
  m_panel03->setFixedSize(kPanel03Width, kBarHeight);
  m_panel03->setAutoFillBackground(true);
  m_zoomBtn = CommandButton(m_panel03, CommandId::LargeWindow);
  m_zoomBtn->setIcon(Glyph(QStringLiteral("zoom"), 16));
  m_zoomBtn->setAutoRaise(true);
  m_zoomBtn->setFixedSize(20, 20);
  auto* l3 = new QHBoxLayout(m_panel03);
  l3->setContentsMargins(2, 1, 2, 1);
  l3->addWidget(m_zoomBtn);

  connect(m_feeCb1, &QComboBox::activated, this, &TMainForm::FeeCB1Change);
}

QToolButton* TMainForm::CommandButton(QWidget* parent, CommandId id) {
  const CommandInfo& c = Command(id);
  auto* b = new QToolButton(parent);
  b->setObjectName(QString::fromLatin1(c.button));
  if (c.buttonHint) b->setToolTip(QString::fromUtf8(c.buttonHint));
  connect(b, &QToolButton::clicked, this, [this, id] { RunCommand(id); });
  return b;
}

// ProgBarMouseMove: dragging the gauge moves the window.
bool TMainForm::GaugeDragEvent(QEvent* e) {
  if (e->type() == QEvent::MouseButtonPress) {
    auto* me = static_cast<QMouseEvent*>(e);
    if (me->button() != Qt::LeftButton) return false;
    if (!(windowHandle() && windowHandle()->startSystemMove()))
      setProperty("dragFrom", me->globalPosition().toPoint() - frameGeometry().topLeft());
    return true;
  }
  if (e->type() == QEvent::MouseMove) {
    auto* me = static_cast<QMouseEvent*>(e);
    const QVariant from = property("dragFrom");
    if (!(me->buttons() & Qt::LeftButton) || !from.isValid()) return false;
    move(me->globalPosition().toPoint() - from.toPoint());
    return true;
  }
  if (e->type() == QEvent::MouseButtonRelease) setProperty("dragFrom", QVariant());
  return false;
}

}  // namespace orva

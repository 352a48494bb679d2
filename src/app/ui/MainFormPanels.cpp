// The six panels of the large window: their frames and captions, what each shows, and how
// they are opened, closed and stacked.
#include "app/ui/MainForm.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/ui/Glyphs.h"
#include "app/ui/MainFormLayout.h"
#include "core/HowUtils.h"
#include "platform/qt/ElidingComboBox.h"

namespace orva {

using namespace mainform;

QToolButton* TMainForm::AddPanelButton(QWidget* parent, CommandId id, const QString& glyph) {
  QToolButton* b = CommandButton(parent, id);
  b->setIcon(Glyph(glyph, 22));
  b->setIconSize(QSize(22, 22));
  b->setAutoRaise(true);
  b->setFixedSize(34, 34);
  return b;
}

// One panel of the large window: its frame, its caption (a click closes the panel) and an
// empty body, which is returned.
QWidget* TMainForm::AddPanel(int i) {
  auto* panel = new QFrame(m_panelManager);
  panel->setObjectName(QStringLiteral("MPanel%1").arg(i + 1));
  panel->setFrameShape(QFrame::StyledPanel);
  auto* v = new QVBoxLayout(panel);
  v->setContentsMargins(0, 0, 0, 2);
  v->setSpacing(0);
  auto* caption = new QToolButton(panel);
  caption->setObjectName(QStringLiteral("MPanel%1Caption").arg(i + 1));
  caption->setText(QString::fromUtf8(Command(PanelCommand(i)).caption));
  caption->setToolButtonStyle(Qt::ToolButtonTextOnly);
  caption->setAutoRaise(true);
  caption->setFixedHeight(kCaptionHeight);
  caption->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  caption->setStyleSheet(QStringLiteral(
      "QToolButton { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #203c78,"
      " stop:1 #8aa4d0); color: white; font-weight: bold; text-align: left;"
      " padding-left: 4px; border: none; }"));
  // A click on a panel's caption closes it; the "Finestra" menu opens it again.
  connect(caption, &QToolButton::clicked, this, [this, i] { TogglePanel(i); });
  v->addWidget(caption);
  QWidget* body = i == 0 ? nullptr : new QWidget(panel);
  if (i == 0) {
    // The button panel paints its own background picture.
    m_pb00 = new QWidget(panel);
    m_pb00->setObjectName(QStringLiteral("PB00"));
    m_pb00->installEventFilter(this);
    body = m_pb00;
  }
  body->setObjectName(body->objectName().isEmpty() ? QStringLiteral("MPanel%1Body").arg(i + 1)
                                                   : body->objectName());
  v->addWidget(body, 1);
  m_panels[i] = panel;
  m_panelHeights[i] = kCaptionHeight + kPanelBodyHeights[i] + 4;
  if (i < 5) panel->setFixedHeight(m_panelHeights[i]);
  m_panelLayout->addWidget(panel, i == 5 ? 1 : 0);
  return body;
}

void TMainForm::BuildPanels() {
  m_panelManager = new QWidget(this);
  m_panelManager->setObjectName(QStringLiteral("PanelManager1"));
  m_panelLayout = new QVBoxLayout(m_panelManager);
  m_panelLayout->setContentsMargins(2, 2, 2, 2);
  m_panelLayout->setSpacing(1);

  QList<QWidget*> bodies;
  for (int i = 0; i < 6; ++i) bodies << AddPanel(i);
  m_panelLayout->addStretch(0);

  BuildButtonPanel(bodies[0]);
  BuildServicePanel(bodies[1]);
  BuildCounterPanel(bodies[2]);
  BuildStatusPanel(bodies[3]);
}

void TMainForm::BuildButtonPanel(QWidget* body) {
  // MPanel1 "Pulsanti".
  auto* buttons = new QHBoxLayout(body);
  buttons->setContentsMargins(4, 2, 4, 2);
  buttons->setSpacing(2);
  auto* connectBtn = AddPanelButton(body, CommandId::Connect, QStringLiteral("connect"));
  auto* hangupBtn = AddPanelButton(body, CommandId::Disconnect, QStringLiteral("hangup"));
  // "Tabelle" is no command: it opens the menu of the three tables.
  auto* tables = new QToolButton(body);
  tables->setObjectName(QStringLiteral("TransparentButton1"));
  tables->setIcon(Glyph(QStringLiteral("tables"), 22));
  tables->setIconSize(QSize(22, 22));
  tables->setToolTip(QStringLiteral("Tabelle"));
  tables->setAutoRaise(true);
  tables->setFixedSize(34, 34);
  // A click opens the menu at once; as a delayed pop-up the button also answers a screen
  // reader's "press" and "show menu" (an instant pop-up answers neither).
  tables->setPopupMode(QToolButton::DelayedPopup);
  connect(tables, &QToolButton::clicked, tables, &QToolButton::showMenu);
  auto* voiceBtn = AddPanelButton(body, CommandId::Voice, QStringLiteral("voice"));
  auto* setupBtn = AddPanelButton(body, CommandId::Options, QStringLiteral("setup"));
  auto* hostsBtn = AddPanelButton(body, CommandId::Servers, QStringLiteral("hosts"));
  m_shrinkBtn = AddPanelButton(body, CommandId::SmallWindow, QStringLiteral("shrink"));
  auto* clockBtn = AddPanelButton(body, CommandId::Clock, QStringLiteral("clock"));
  for (QToolButton* b :
       {connectBtn, hangupBtn, tables, voiceBtn, setupBtn, hostsBtn, m_shrinkBtn, clockBtn})
    buttons->addWidget(b);
  buttons->addStretch();
  auto* tablesMenu = new QMenu(tables);
  tablesMenu->setObjectName(QStringLiteral("TabelleMenu"));
  FillMenu(tablesMenu, TablesMenuLayout(), true);
  tables->setMenu(tablesMenu);
}

void TMainForm::BuildServicePanel(QWidget* body) {
  // MPanel2 "Servizi".
  auto* services = new QHBoxLayout(body);
  services->setContentsMargins(6, 2, 6, 2);
  m_serviceLb = new QLabel(QStringLiteral("Sconnesso"), body);
  m_serviceLb->setObjectName(QStringLiteral("ServiceLb"));
  m_feeCb = new ElidingComboBox(body);
  m_feeCb->setObjectName(QStringLiteral("FeeCB"));
  m_feeCb->setToolTip(QStringLiteral("Scelta tariffa"));
  // The tariff list is as wide as its longest name where the window allows (a narrower
  // window cuts the name with "…" rather than widening); the service label has the rest.
  m_feeCb->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  m_feeCb->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  m_feeCb->setMinimumWidth(kFeeCb1Width);
  m_serviceLb->setMinimumWidth(m_serviceLb->fontMetrics().horizontalAdvance(m_serviceLb->text()));
  services->addWidget(m_serviceLb, 1);
  services->addWidget(m_feeCb);
  connect(m_feeCb, &QComboBox::activated, this, &TMainForm::FeeCBChange);
}

void TMainForm::BuildCounterPanel(QWidget* body) {
  // MPanel3 "Contatori".
  auto* counters = new QVBoxLayout(body);
  counters->setContentsMargins(6, 2, 6, 2);
  counters->setSpacing(2);
  m_l2 = new QLabel(body);
  m_l2->setObjectName(QStringLiteral("L2"));
  m_l2->setAlignment(Qt::AlignCenter);
  QFont big = m_l2->font();
  big.setPointSize(big.pointSize() + 5);
  big.setBold(true);
  m_l2->setFont(big);
  m_l2->setAutoFillBackground(true);
  m_l2->installEventFilter(this);
  m_l2->setCursor(Qt::PointingHandCursor);
  m_progBar1 = new QProgressBar(body);
  m_progBar1->setObjectName(QStringLiteral("ProgBar1"));
  m_progBar1->setRange(0, 100);
  m_progBar1->setValue(0);
  m_progBar1->setTextVisible(false);
  m_progBar1->setAccessibleName(QString::fromUtf8(kTickGaugeName));
  m_progBar1->setFixedHeight(10);
  m_progBar1->setStyleSheet(m_progBar->styleSheet());
  counters->addWidget(m_l2, 1);
  counters->addWidget(m_progBar1);
}

void TMainForm::BuildStatusPanel(QWidget* body) {
  // MPanel4 "Stato": a caption and a value label per line.
  auto* grid = new QGridLayout(body);
  grid->setContentsMargins(6, 2, 6, 2);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(0);
  struct Row {
    const char16_t* caption;
    const char* name;
    const char16_t* text;
    int row, column;  // column 0: left half, 2: right half; long texts span the width
    bool wide;
  };
  static constexpr Row kRows[] = {
      {u"Stato :", "StatusLb", u"Sconnesso", 0, 0, false},
      {u"Accesso remoto :", "RasLb", u"Sconnesso", 1, 0, false},
      {u"Periferica :", "DevName", u"", 2, 0, false},
      {u"Tipo :", "DevType", u"", 3, 0, false},
      {u"Indirizzo IP :", "IPLb", u"127.0.0.1", 0, 2, false},
      {u"Byte ricevuti :", "BytesRecv", u"0", 1, 2, false},
      {u"Byte inviati :", "BytesSend", u"0", 2, 2, false},
      {u"Uno scatto ogni :", "TickLb", u"", 3, 2, false},
      {u"Costo orario :", "HCostLb", u"", 4, 0, true},
      {u"Ora di rete :", "SyncroL", u"", 5, 0, true},
      {u"Posta :", "POP3L", u"Non effettuato", 6, 0, true},
      {u"Hosts :", "HostsL", u"", 7, 0, true},
  };
  for (const Row& r : kRows) {
    auto* caption = new QLabel(QString::fromUtf16(r.caption), body);
    auto* value = new QLabel(QString::fromUtf16(r.text), body);
    value->setObjectName(QString::fromLatin1(r.name));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long text is cut by the panel's width rather than widening the window.
    value->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    value->setMinimumWidth(40);
    grid->addWidget(caption, r.row, r.column, Qt::AlignRight);
    grid->addWidget(value, r.row, r.column + 1, 1, r.wide ? 3 : 1);
    m_labels.insert(value->objectName(), value);
    m_captionLabels << value;
  }
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  // Every row shows whole, whatever the font: the panel grows to the rows' height.
  const int rowsHeight = kCaptionHeight + grid->sizeHint().height() + 4;
  if (rowsHeight > m_panelHeights[3]) {
    m_panelHeights[3] = rowsHeight;
    m_panels[3]->setFixedHeight(rowsHeight);
  }
  // The service label is a status label too.
  m_labels.insert(QStringLiteral("ServiceLb"), m_serviceLb);
  m_captionLabels << m_serviceLb;
}

void TMainForm::ExpandDetails() {
  if (!m_details) ShowDetails();
}

void TMainForm::PanelManager1PanelChange(int changed) {
  PanelStack stack;
  for (int i = 0; i < 6; ++i) {
    stack.visible[i] = !m_panels[i]->isHidden();
    stack.heights[i] =
        i == 5 && stack.visible[5] && changed != 5 ? m_panels[5]->height() : m_panelHeights[i];
  }
  if (m_settings.mode != WindowMode::Large) return;
  // The contents of a window never shown count for nothing yet: the stack is laid out again
  // when the window comes up (the tips off at the start keep it out of sight till then).
  m_laidOutUnseen = !isVisible();
  const PanelLayout l = LayOutPanels(stack, changed, height());
  // The window never squeezes the panels it shows below their own heights, which would cut
  // their last rows: it is at least as high as they need.
  const int needed = m_panelLayout->minimumSize().height();
  setMinimumHeight(std::max(60, needed));
  const int target = std::max(l.windowHeight >= 0 ? l.windowHeight : height(), needed);
  if (target != height()) {
    const MainWindowState::ProgramMove programMove(m_state);
    resize(width(), target);
  }
  update();
}

void TMainForm::showEvent(QShowEvent* e) {
  if (m_laidOutUnseen && m_settings.mode == WindowMode::Large) {
    // The contents have just come into sight: what they need is measured afresh.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    PanelManager1PanelChange(-1);
  }
  QWidget::showEvent(e);
}

void TMainForm::TogglePanel(int index) {
  if (index < 0 || index > 5) return;
  const bool show = m_panels[index]->isHidden();
  m_panels[index]->setVisible(show);
  m_panelActions[index]->setChecked(show);
  PanelManager1PanelChange(index);
}

void TMainForm::ShowDetails() {
  // The details are the status panel; the flag travels with the shrink button.
  m_details = !m_details;
  m_shrinkBtn->setProperty("details", m_details);
  Item(CommandId::Details)->setChecked(m_details);
  if (m_panels[3]->isHidden() == m_details) TogglePanel(3);
}

void TMainForm::Sfondoabitmap1Click() {
  m_settings.bitmapBackground = !m_settings.bitmapBackground;
  m_bitmapAction->setChecked(m_settings.bitmapBackground);
  m_pb00->update();
}

// PB00Paint: the button panel's background picture, tiled.
void TMainForm::PaintButtonPanel() {
  QPainter p(m_pb00);
  if (m_settings.bitmapBackground) {
    static const QPixmap tile = BackgroundTile();
    for (const TilePoint& t :
         TileBackground(m_pb00->width(), m_pb00->height(), tile.width(), tile.height()))
      p.drawPixmap(t.x, t.y, tile);
  } else {
    p.fillRect(m_pb00->rect(), QColor(0xC0, 0xC0, 0xC0));
  }
}

}  // namespace orva

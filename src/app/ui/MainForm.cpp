// The main window.
#include "app/ui/MainForm.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include "app/ui/Glyphs.h"
#include "core/HowUtils.h"

namespace orva {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

constexpr int kBarHeight = 22;
constexpr int kPanel01Width = 150;
constexpr int kPanel02Width = 112;
constexpr int kFeeCb1Width = 64;
constexpr int kPanel03Width = 24;

struct PanelSpec {
  const char16_t* caption;
  int bodyHeight;
};
constexpr PanelSpec kPanels[6] = {{u"Pulsanti", 40},    {u"Servizi", 34},
                                  {u"Contatori", 48},   {u"Stato", 128},
                                  {u"DNS service", 44}, {u"TCP/UDP monitor", 80}};
constexpr int kCaptionHeight = 18;

}  // namespace

QColor FromBgr(unsigned bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

TMainForm::TMainForm(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(m_caption);
  setWindowIcon(AppIcon());
  setAttribute(Qt::WA_QuitOnClose, false);  // the tray keeps the program; "Termina" ends it

  BuildCounterBar();
  BuildPanels();
  BuildMenu();
  BuildTray();
  BuildMailTray();

  auto* bar = new QWidget(this);
  bar->setObjectName(QStringLiteral("CounterBar"));
  auto* barLayout = new QHBoxLayout(bar);
  barLayout->setContentsMargins(0, 0, 0, 0);
  barLayout->setSpacing(0);
  for (QWidget* w : {static_cast<QWidget*>(m_panel01), static_cast<QWidget*>(m_panel02),
                     static_cast<QWidget*>(m_feeCb1), static_cast<QWidget*>(m_panel03)}) {
    w->setParent(bar);
    barLayout->addWidget(w);
  }
  barLayout->addStretch();
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(0, 0, 0, 0);
  root->setSpacing(0);
  root->addWidget(bar);
  root->addWidget(m_panelManager, 1);
  ApplyColours();
}

TMainForm::~TMainForm() {
  // FormDestroy: the settings are saved when the window goes, however it goes.
  if (!m_destroyed && OnDestroy) {
    m_destroyed = true;
    OnDestroy();
  }
}

// ---------------------------------------------------------------------------------------------
// Construction

void TMainForm::BuildCounterBar() {
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

  m_panel02 = new QFrame(this);
  m_panel02->setObjectName(QStringLiteral("Panel02"));
  m_panel02->setFixedSize(kPanel02Width, kBarHeight);
  m_startBtn = new QToolButton(m_panel02);
  m_startBtn->setObjectName(QStringLiteral("StartBtn"));
  m_startBtn->setToolTip(QStringLiteral("Avvio manuale"));
  m_startBtn->setIcon(Glyph(QStringLiteral("start"), 14));
  m_startBtn->setFixedSize(20, 20);
  m_progBar = new QProgressBar(m_panel02);
  m_progBar->setObjectName(QStringLiteral("ProgBar"));
  m_progBar->setTextVisible(false);
  m_progBar->setRange(0, 60);
  m_progBar->setValue(0);
  m_progBar->setFixedHeight(14);
  // Yellow on black, like the counter.
  m_progBar->setStyleSheet(
      QStringLiteral("QProgressBar { background: black; border: 1px solid #606060; }"
                     "QProgressBar::chunk { background: #ffd800; }"));
  m_progBar->installEventFilter(this);
  m_progBar->setCursor(Qt::SizeAllCursor);
  m_stopBtn = new QToolButton(m_panel02);
  m_stopBtn->setObjectName(QStringLiteral("StopBtn"));
  // Its hint changes with the meter's state; the name says what it does.
  m_stopBtn->setAccessibleName(QStringLiteral("Arresto manuale"));
  m_stopBtn->setIcon(Glyph(QStringLiteral("stop"), 14));
  m_stopBtn->setFixedSize(20, 20);
  auto* l2 = new QHBoxLayout(m_panel02);
  l2->setContentsMargins(1, 1, 1, 1);
  l2->setSpacing(2);
  l2->addWidget(m_startBtn);
  l2->addWidget(m_progBar, 1);
  l2->addWidget(m_stopBtn);

  m_feeCb1 = new QComboBox(this);
  m_feeCb1->setObjectName(QStringLiteral("FeeCB1"));
  m_feeCb1->setToolTip(QStringLiteral("Selezione tariffa"));
  m_feeCb1->setFixedSize(kFeeCb1Width, kBarHeight);

  m_panel03 = new QFrame(this);
  m_panel03->setObjectName(QStringLiteral("Panel03"));
  m_panel03->setFixedSize(kPanel03Width, kBarHeight);
  m_panel03->setAutoFillBackground(true);
  m_zoomBtn = new QToolButton(m_panel03);
  m_zoomBtn->setObjectName(QStringLiteral("ZoomBtn"));
  m_zoomBtn->setToolTip(QStringLiteral("Ingrandisci finestra"));
  m_zoomBtn->setIcon(Glyph(QStringLiteral("zoom"), 16));
  m_zoomBtn->setAutoRaise(true);
  m_zoomBtn->setFixedSize(20, 20);
  auto* l3 = new QHBoxLayout(m_panel03);
  l3->setContentsMargins(2, 1, 2, 1);
  l3->addWidget(m_zoomBtn);

  connect(m_startBtn, &QToolButton::clicked, this, [this] {
    if (OnCommand) OnCommand(QStringLiteral("StartBtn"));
  });
  connect(m_stopBtn, &QToolButton::clicked, this, [this] {
    if (OnCommand) OnCommand(QStringLiteral("StopBtn"));
  });
  connect(m_zoomBtn, &QToolButton::clicked, this, &TMainForm::ZoomBtnClick);
  connect(m_feeCb1, &QComboBox::activated, this, &TMainForm::FeeCB1Change);
}

QToolButton* TMainForm::AddPanelButton(QWidget* parent, const QString& name, const QString& glyph,
                                       const QString& hint) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setIcon(Glyph(glyph, 22));
  b->setIconSize(QSize(22, 22));
  b->setToolTip(hint);
  b->setAutoRaise(true);
  b->setFixedSize(34, 34);
  return b;
}

void TMainForm::BuildPanels() {
  m_panelManager = new QWidget(this);
  m_panelManager->setObjectName(QStringLiteral("PanelManager1"));
  m_panelLayout = new QVBoxLayout(m_panelManager);
  m_panelLayout->setContentsMargins(2, 2, 2, 2);
  m_panelLayout->setSpacing(1);

  QList<QWidget*> bodies;
  for (int i = 0; i < 6; ++i) {
    auto* panel = new QFrame(m_panelManager);
    panel->setObjectName(QStringLiteral("MPanel%1").arg(i + 1));
    panel->setFrameShape(QFrame::StyledPanel);
    auto* v = new QVBoxLayout(panel);
    v->setContentsMargins(0, 0, 0, 2);
    v->setSpacing(0);
    auto* caption = new QToolButton(panel);
    caption->setObjectName(QStringLiteral("MPanel%1Caption").arg(i + 1));
    caption->setText(QString::fromUtf16(kPanels[i].caption));
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
    m_panelHeights[i] = kCaptionHeight + kPanels[i].bodyHeight + 4;
    if (i < 5) panel->setFixedHeight(m_panelHeights[i]);
    m_panelLayout->addWidget(panel, i == 5 ? 1 : 0);
    bodies << body;
  }
  m_panelLayout->addStretch(0);

  // MPanel1 "Pulsanti".
  auto* buttons = new QHBoxLayout(bodies[0]);
  buttons->setContentsMargins(4, 2, 4, 2);
  buttons->setSpacing(2);
  auto* connectBtn = AddPanelButton(bodies[0], QStringLiteral("ConnectBtn"),
                                    QStringLiteral("connect"), QStringLiteral("Connetti"));
  auto* hangupBtn = AddPanelButton(bodies[0], QStringLiteral("HangupBtn"), QStringLiteral("hangup"),
                                   QStringLiteral("Sconnetti"));
  auto* tables = AddPanelButton(bodies[0], QStringLiteral("TransparentButton1"),
                                QStringLiteral("tables"), QStringLiteral("Tabelle"));
  tables->setPopupMode(QToolButton::InstantPopup);
  auto* voiceBtn = AddPanelButton(bodies[0], QStringLiteral("VoiceBtn"), QStringLiteral("voice"),
                                  QStringLiteral("Chiamata a voce"));
  auto* setupBtn = AddPanelButton(bodies[0], QStringLiteral("SetupBtn"), QStringLiteral("setup"),
                                  QStringLiteral("Opzioni"));
  auto* hostsBtn = AddPanelButton(bodies[0], QStringLiteral("HostsBtn"), QStringLiteral("hosts"),
                                  QStringLiteral("Gestione indirizzi"));
  m_shrinkBtn = AddPanelButton(bodies[0], QStringLiteral("ShrinkBtn"), QStringLiteral("shrink"),
                               QStringLiteral("Riduci finestra"));
  auto* clockBtn = AddPanelButton(bodies[0], QStringLiteral("ClockBtn"), QStringLiteral("clock"),
                                  QStringLiteral("Preleva l'ora dalla rete"));
  for (QToolButton* b :
       {connectBtn, hangupBtn, tables, voiceBtn, setupBtn, hostsBtn, m_shrinkBtn, clockBtn})
    buttons->addWidget(b);
  buttons->addStretch();
  for (QToolButton* b : {connectBtn, hangupBtn, voiceBtn, setupBtn, hostsBtn, clockBtn}) {
    connect(b, &QToolButton::clicked, this, [this, b] {
      if (OnCommand) OnCommand(b->objectName());
    });
  }
  connect(m_shrinkBtn, &QToolButton::clicked, this, &TMainForm::ShrinkBtnClick);
  auto* tablesMenu = new QMenu(tables);
  tablesMenu->setObjectName(QStringLiteral("TabelleMenu"));
  AddCommand(tablesMenu, QString::fromLatin1(cmd::kLogTables),
             QStringLiteral("Elenco connessioni"));
  AddCommand(tablesMenu, QString::fromLatin1(cmd::kBillTables), QStringLiteral("Bolletta"));
  AddCommand(tablesMenu, QString::fromLatin1(cmd::kTariffsTables),
             QStringLiteral("Impostazione tariffe"));
  tables->setMenu(tablesMenu);

  // MPanel2 "Servizi".
  auto* services = new QHBoxLayout(bodies[1]);
  services->setContentsMargins(6, 2, 6, 2);
  m_serviceLb = new QLabel(QStringLiteral("Sconnesso"), bodies[1]);
  m_serviceLb->setObjectName(QStringLiteral("ServiceLb"));
  m_feeCb = new QComboBox(bodies[1]);
  m_feeCb->setObjectName(QStringLiteral("FeeCB"));
  m_feeCb->setToolTip(QStringLiteral("Scelta tariffa"));
  m_feeCb->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  services->addWidget(m_serviceLb, 1);
  services->addWidget(m_feeCb, 2);
  connect(m_feeCb, &QComboBox::activated, this, &TMainForm::FeeCBChange);

  // MPanel3 "Contatori".
  auto* counters = new QVBoxLayout(bodies[2]);
  counters->setContentsMargins(6, 2, 6, 2);
  counters->setSpacing(2);
  m_l2 = new QLabel(bodies[2]);
  m_l2->setObjectName(QStringLiteral("L2"));
  m_l2->setAlignment(Qt::AlignCenter);
  QFont big = m_l2->font();
  big.setPointSize(big.pointSize() + 5);
  big.setBold(true);
  m_l2->setFont(big);
  m_l2->setAutoFillBackground(true);
  m_l2->installEventFilter(this);
  m_l2->setCursor(Qt::PointingHandCursor);
  m_progBar1 = new QProgressBar(bodies[2]);
  m_progBar1->setObjectName(QStringLiteral("ProgBar1"));
  m_progBar1->setRange(0, 100);
  m_progBar1->setValue(0);
  m_progBar1->setTextVisible(false);
  m_progBar1->setFixedHeight(10);
  m_progBar1->setStyleSheet(m_progBar->styleSheet());
  counters->addWidget(m_l2, 1);
  counters->addWidget(m_progBar1);

  // MPanel4 "Stato": a caption and a value label per line.
  auto* grid = new QGridLayout(bodies[3]);
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
    auto* caption = new QLabel(QString::fromUtf16(r.caption), bodies[3]);
    auto* value = new QLabel(QString::fromUtf16(r.text), bodies[3]);
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

QAction* TMainForm::AddCommand(QMenu* menu, const QString& name, const QString& text) {
  auto* a = menu->addAction(text);
  a->setObjectName(name);
  m_actions.insert(name, a);
  connect(a, &QAction::triggered, this, [this, name] {
    if (OnCommand) OnCommand(name);
  });
  return a;
}

void TMainForm::BuildMenu() {
  m_mainMenu = new QMenu(this);
  m_mainMenu->setObjectName(QStringLiteral("Mainmenu"));
  QMenu* m = m_mainMenu;
  AddCommand(m, QString::fromLatin1(cmd::kStart), QStringLiteral("Avvio manuale"));
  AddCommand(m, QString::fromLatin1(cmd::kStop), QStringLiteral("Arresto manuale"));
  m->addSeparator();
  AddCommand(m, QString::fromLatin1(cmd::kConnect), QStringLiteral("Connetti"));
  AddCommand(m, QString::fromLatin1(cmd::kDisconnect), QStringLiteral("Sconnetti"));
  AddCommand(m, QString::fromLatin1(cmd::kVoice), QStringLiteral("A voce"));
  m->addSeparator();
  AddCommand(m, QString::fromLatin1(cmd::kLog), QStringLiteral("Elenco connessioni"));
  AddCommand(m, QString::fromLatin1(cmd::kBill), QStringLiteral("Bolletta"));
  AddCommand(m, QString::fromLatin1(cmd::kTariffs), QStringLiteral("Impostazioni tariffe"));
  AddCommand(m, QString::fromLatin1(cmd::kServers), QStringLiteral("Elenco servers/IP"));
  // The names that wait for a hosts file this user may not write, applied after one
  // authorisation.
  AddCommand(m, QString::fromLatin1(cmd::kApplyHosts), QStringLiteral("Applica hosts"));
  m->addSeparator();

  QMenu* mail = m->addMenu(QStringLiteral("Posta"));
  mail->setObjectName(QStringLiteral("Posta1"));
  AddCommand(mail, QString::fromLatin1(cmd::kMailNow), QStringLiteral("Controlla ora"));
  AddCommand(mail, QString::fromLatin1(cmd::kMailCyclic),
             QStringLiteral("Attiva controllo ciclico"))
      ->setCheckable(true);
  AddCommand(mail, QString::fromLatin1(cmd::kMailStop), QStringLiteral("Interrompi controllo"));

  QMenu* window = m->addMenu(QStringLiteral("Finestra"));
  window->setObjectName(QStringLiteral("Finestra1"));
  m_smallAction = window->addAction(QStringLiteral("Ridotta"));
  m_smallAction->setObjectName(QStringLiteral("Ridotta1"));
  m_smallAction->setCheckable(true);
  m_largeAction = window->addAction(QStringLiteral("Ingrandita"));
  m_largeAction->setObjectName(QStringLiteral("Ingrandita1"));
  m_largeAction->setCheckable(true);
  connect(m_smallAction, &QAction::triggered, this, &TMainForm::ShrinkBtnClick);
  connect(m_largeAction, &QAction::triggered, this, &TMainForm::ZoomBtnClick);
  window->addSeparator();
  m_bitmapAction = window->addAction(QStringLiteral("Sfondo a bitmap"));
  m_bitmapAction->setObjectName(QStringLiteral("Sfondoabitmap1"));
  m_bitmapAction->setCheckable(true);
  connect(m_bitmapAction, &QAction::triggered, this, &TMainForm::Sfondoabitmap1Click);
  auto* details = window->addAction(QStringLiteral("Dettagli"));
  details->setObjectName(QStringLiteral("Dettagli1"));
  details->setCheckable(true);
  details->setChecked(true);
  connect(details, &QAction::triggered, this, &TMainForm::ShowDetails);
  window->addSeparator();
  for (int i = 0; i < 6; ++i) {
    m_panelActions[i] = window->addAction(QString::fromUtf16(kPanels[i].caption));
    m_panelActions[i]->setObjectName(QStringLiteral("Pannello%1").arg(i + 1));
    m_panelActions[i]->setCheckable(true);
    m_panelActions[i]->setChecked(true);
    connect(m_panelActions[i], &QAction::triggered, this, [this, i] { TogglePanel(i); });
  }

  // The counter items, as the taskbar menu has them.
  QMenu* counter = m->addMenu(QStringLiteral("Contatore"));
  counter->setObjectName(QStringLiteral("Contatore1"));
  auto* group = new QActionGroup(this);
  group->setExclusive(true);
  for (int i = 0; i < kCounterItems; ++i) {
    QAction* a = counter->addAction(QString::fromLatin1(kCounterItemNames[i]));
    a->setObjectName(QStringLiteral("Counter%1").arg(i + 1));
    a->setCheckable(true);
    group->addAction(a);
    m_counterActions[i] = a;
    connect(a, &QAction::triggered, this, [this, i] { SelectCounterItem(i + 1); });
  }
  m->addSeparator();
  AddCommand(m, QStringLiteral("Opzioni1"), QStringLiteral("Opzioni"));
  AddCommand(m, QStringLiteral("Wizard1"), QStringLiteral("Impostazione guidata"));
  AddCommand(m, QStringLiteral("Suggerimenti1"), QStringLiteral("Suggerimenti"));
  AddCommand(m, QStringLiteral("Informazioni1"), QStringLiteral("Informazioni"));
  m->addSeparator();
  QAction* quit = m->addAction(QStringLiteral("Termina"));
  quit->setObjectName(QStringLiteral("Quit1"));
  m_actions.insert(quit->objectName(), quit);
  connect(quit, &QAction::triggered, this, &TMainForm::Quit1Click);

  m_menuBtn->setMenu(m_mainMenu);
  m_menuBtn->setPopupMode(QToolButton::InstantPopup);
  m_menuBtn->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
}

void TMainForm::BuildTray() {
  m_tray = new QSystemTrayIcon(AppIcon(), this);
  m_tray->setObjectName(QStringLiteral("RxTrayIcon1"));
  m_tray->setContextMenu(m_mainMenu);
  SetTrayHint(QStringLiteral("ORVA32 - nessuna connessione"));
  connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
    if (r == QSystemTrayIcon::Trigger) HideShowWin();
  });
  m_trayTimer = new QTimer(this);
  m_trayTimer->setObjectName(QStringLiteral("TrayAnimation"));
  m_trayTimer->setInterval(400);
  connect(m_trayTimer, &QTimer::timeout, this, [this] {
    m_trayFrame = !m_trayFrame;
    m_tray->setIcon(QIcon(AppIconPixmap(32, m_trayFrame)));
  });
}

void TMainForm::BuildMailTray() {
  m_mailTray = new QSystemTrayIcon(QIcon(MailIconPixmap(32)), this);
  m_mailTray->setObjectName(QStringLiteral("RxTrayIcon2"));
  m_pop3Menu = new QMenu(this);
  m_pop3Menu->setObjectName(QStringLiteral("Pop3Menu"));
  AddCommand(m_pop3Menu, QStringLiteral("Visualizzamessaggi1"),
             QStringLiteral("Visualizza messaggi"));
  QAction* hide = m_pop3Menu->addAction(QStringLiteral("Nascondi icona"));
  hide->setObjectName(QStringLiteral("Nascondiicona1"));
  connect(hide, &QAction::triggered, this, [this] { SetMailIcon(false, false); });
  m_mailTray->setContextMenu(m_pop3Menu);
  connect(m_mailTray, &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason r) {
            if (r == QSystemTrayIcon::DoubleClick && OnCommand)
              OnCommand(QStringLiteral("Visualizzamessaggi1"));
          });
  m_mailTimer = new QTimer(this);
  m_mailTimer->setObjectName(QStringLiteral("MailIconAnimation"));
  m_mailTimer->setInterval(75);
  connect(m_mailTimer, &QTimer::timeout, this, [this] {
    m_mailFrame = m_mailFrame % 4 + 1;
    m_mailTray->setIcon(QIcon(MailIconPixmap(32, m_mailFrame)));
  });
}

void TMainForm::SetMailIcon(bool visible, bool animated) {
  m_mailIconShown = visible;
  if (visible && animated) {
    m_mailTimer->start();
  } else {
    m_mailTimer->stop();
    m_mailFrame = 0;
    m_mailTray->setIcon(QIcon(MailIconPixmap(32)));
  }
  m_mailTray->setVisible(visible);
}

bool TMainForm::MailIconAnimated() const {
  return m_mailTimer->isActive();
}

void TMainForm::SetMailIconHint(const QString& hint) {
  m_mailHint = hint;
  m_mailTray->setToolTip(hint);
}

void TMainForm::SetClockButtonEnabled(bool enabled) {
  m_clockEnabled = enabled;
  const QString name = QStringLiteral("ClockBtn");
  if (auto* b = findChild<QWidget*>(name)) b->setEnabled(enabled && !m_unavailable.contains(name));
}

void TMainForm::SetLabelHint(const QString& name, const QString& hint) {
  if (QLabel* l = m_labels.value(name)) l->setToolTip(hint);
}

void TMainForm::SetCyclicMailCheck(bool on) {
  if (QAction* a = m_actions.value(QString::fromLatin1(cmd::kMailCyclic))) a->setChecked(on);
}

// ---------------------------------------------------------------------------------------------
// Settings and start-up

void TMainForm::ApplySettings(const WindowSettings& s) {
  m_settings = s;
  if (m_settings.display < 1 || m_settings.display > kCounterItems) m_settings.display = 1;
  for (int i = 0; i < 6; ++i) {
    m_panels[i]->setVisible(s.panels[i]);
    m_panelActions[i]->setChecked(s.panels[i]);
  }
  m_bitmapAction->setChecked(s.bitmapBackground);
  m_counterActions[m_settings.display - 1]->setChecked(true);
  ApplyColours();
}

WindowSettings TMainForm::CurrentSettings() const {
  WindowSettings s = m_settings;
  for (int i = 0; i < 6; ++i) s.panels[i] = !m_panels[i]->isHidden();
  s.hidden = m_state.Hidden();
  return s;
}

void TMainForm::ApplyColours() {
  QPalette bar = m_panel01->palette();
  bar.setColor(QPalette::Window, FromBgr(m_settings.backColour));
  bar.setColor(QPalette::WindowText, FromBgr(m_settings.textColour));
  m_panel01->setPalette(bar);
  m_l22->setPalette(bar);
  m_panel03->setPalette(bar);
  QPalette counter = m_l2->palette();
  counter.setColor(QPalette::Window, FromBgr(m_settings.backColour));
  counter.setColor(QPalette::WindowText, FromBgr(m_settings.textColour));
  m_l2->setPalette(counter);
  for (QLabel* l : m_captionLabels) {
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, FromBgr(m_settings.labelColour));
    l->setPalette(p);
  }
  // The large window's grey.
  QPalette own = palette();
  own.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
  m_panelManager->setAutoFillBackground(true);
  m_panelManager->setPalette(own);
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

void TMainForm::FormCreate() {
  // In its place, or hidden when the tips are off.
  m_state.Create(m_settings.helpTips);
  if (m_settings.mode == WindowMode::Small)
    ShrinkBtnClick();
  else
    ZoomBtnClick();
  if (!m_state.Hidden()) MoveToSavedPosition();
  PanelManager1PanelChange(-1);
  RedrawCounters();
  RefreshCommandStates();
  m_state.Created();
  m_tray->show();
  // The first activation runs once the event loop turns, as the window comes up.
  QTimer::singleShot(0, this, &TMainForm::FormActivate);
}

void TMainForm::FormActivate() {
  RefreshCommandStates();
  if (m_state.TakeFirstActivation()) {
    if (OnFirstActivation) OnFirstActivation();
    RedrawCounters();
  }
  m_tray->setVisible(true);
}

void TMainForm::changeEvent(QEvent* e) {
  if (e->type() == QEvent::ActivationChange && isActiveWindow() && m_state.FirstActivationDone())
    RefreshCommandStates();
  QWidget::changeEvent(e);
}

void TMainForm::SetCommandAvailable(const QString& name, bool available) {
  if (available)
    m_unavailable.remove(name);
  else
    m_unavailable.insert(name);
  if (QAction* a = m_actions.value(name)) a->setEnabled(available);
  if (auto* w = findChild<QWidget*>(name)) w->setEnabled(available);
}

// ---------------------------------------------------------------------------------------------
// Counters and commands

void TMainForm::RedrawCounters() {
  CounterInput in = CounterSource ? CounterSource() : CounterInput{};
  in.item = m_settings.display;
  in.decimals = m_settings.decimals;
  m_texts = orva::RedrawCounters(in);
  m_labels.value(QStringLiteral("BytesRecv"))->setText(Q(m_texts.bytesReceived));
  m_labels.value(QStringLiteral("BytesSend"))->setText(Q(m_texts.bytesSent));
  for (int item : {4, 5, 7}) m_counterActions[item - 1]->setEnabled(m_texts.tickItemsEnabled);
  m_labels.value(QStringLiteral("HCostLb"))->setText(Q(m_texts.hourlyCost));
  if (!m_texts.complete) return;
  m_l2->setText(Q(m_texts.counter));
  m_l2->setToolTip(Q(m_texts.counterHint));
  m_l22->setText(Q(m_texts.counter));
  m_l22->setToolTip(Q(m_texts.counterHint));
  m_progBar->setToolTip(Q(m_texts.gaugeHint));
  m_progBar1->setToolTip(Q(m_texts.gaugeHint));
  m_labels.value(QStringLiteral("TickLb"))->setText(Q(m_texts.tickText));
  // The taskbar button shows the counter's value.
  setWindowTitle(m_texts.value.empty() ? m_caption
                                       : Q(m_texts.value) + QStringLiteral(" - ") + m_caption);
}

void TMainForm::RefreshCommandStates() {
  const CommandStateInput in = CommandSource ? CommandSource() : CommandStateInput{};
  for (const CommandState& s : orva::RefreshCommandStates(in)) {
    const QString name = QString::fromStdString(s.name);
    const bool enabled = s.enabled && !m_unavailable.contains(name);
    if (QAction* a = m_actions.value(name)) a->setEnabled(enabled);
    if (auto* w = findChild<QWidget*>(name)) w->setEnabled(enabled);
  }
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

void TMainForm::ExpandDetails() {
  if (!m_details) ShowDetails();
}

void TMainForm::ShowVoiceDialer() {
  if (OnShowVoiceDialer) OnShowVoiceDialer();
}

void TMainForm::SetDialEntries(const std::vector<std::string>& entries) {
  // The connect button and the "Connetti" item get one dial item per entry.
  auto* button = findChild<QToolButton*>(QStringLiteral("ConnectBtn"));
  QAction* item = m_actions.value(QString::fromLatin1(cmd::kConnect));
  delete m_connectMenu;
  delete m_connectSubmenu;
  m_connectMenu = nullptr;
  m_connectSubmenu = nullptr;
  if (entries.empty()) {
    if (button) button->setMenu(nullptr);
    if (item) item->setMenu(nullptr);
    return;
  }
  m_connectMenu = new QMenu(this);
  m_connectMenu->setObjectName(QStringLiteral("ConnectMenu"));
  m_connectSubmenu = new QMenu(this);
  m_connectSubmenu->setObjectName(QStringLiteral("ConnectSubmenu"));
  for (QMenu* menu : {m_connectMenu, m_connectSubmenu}) {
    bool first = true;
    for (const std::string& entry : entries) {
      if (!first && menu == m_connectMenu) menu->addSeparator();
      first = false;
      // "&" in an entry name is a literal ampersand, not a shortcut mark.
      QAction* a = menu->addAction(Q(entry).replace(QLatin1Char('&'), QStringLiteral("&&")));
      a->setData(Q(entry));
      connect(a, &QAction::triggered, this, [this, entry] {
        if (OnDialEntry) OnDialEntry(entry);
      });
    }
  }
  if (button) {
    button->setMenu(m_connectMenu);
    button->setPopupMode(QToolButton::InstantPopup);
  }
  if (item) item->setMenu(m_connectSubmenu);
}

void TMainForm::SetTrayHint(const QString& hint) {
  m_trayHint = hint;
  m_tray->setToolTip(hint);
}

void TMainForm::SetStopHint(const QString& hint) {
  m_stopBtn->setToolTip(hint);
}

void TMainForm::SetHangupEnabled(bool enabled) {
  if (auto* b = findChild<QWidget*>(QStringLiteral("HangupBtn"))) b->setEnabled(enabled);
  if (QAction* a = m_actions.value(QString::fromLatin1(cmd::kDisconnect))) a->setEnabled(enabled);
  if (auto* b = findChild<QWidget*>(QStringLiteral("ConnectBtn"))) b->setEnabled(!enabled);
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

// ---------------------------------------------------------------------------------------------
// Window modes, places, hiding

void TMainForm::RememberPosition() {
  if (m_state.Hidden()) return;
  m_settings.positions.For(m_settings.mode) = {pos().x(), pos().y()};
}

void TMainForm::MoveToSavedPosition() {
  const Point p = m_settings.positions.For(m_settings.mode);
  move(p.left, p.top);
}

void TMainForm::ShrinkBtnClick() {
  const MainWindowState::ProgramMove programMove(m_state);
  hide();
  const bool moveIt = m_state.ModeChangeMoves();
  if (moveIt && m_settings.mode == WindowMode::Large) RememberPosition();
  m_settings.mode = WindowMode::Small;
  // No border, always on top, no taskbar button.
  setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  m_feeCb1->setCurrentIndex(m_feeCb->currentIndex());
  m_feeCb1->show();
  m_panel01->show();
  m_panel02->show();
  m_panel03->show();
  m_panelManager->hide();
  const int width = kPanel01Width + kPanel02Width + kFeeCb1Width + kPanel03Width;
  setMinimumSize(0, 0);
  setFixedSize(width, kBarHeight);
  m_smallAction->setChecked(true);
  m_largeAction->setChecked(false);
  // Placed once shown: the frame changed with the flags, and a move before the window is
  // mapped would count the old frame.
  if (!m_state.Hidden()) show();
  if (moveIt) MoveToSavedPosition();
}

void TMainForm::ZoomBtnClick() {
  const MainWindowState::ProgramMove programMove(m_state);
  hide();
  const bool moveIt = m_state.ModeChangeMoves();
  if (moveIt && m_settings.mode == WindowMode::Small) RememberPosition();
  m_settings.mode = WindowMode::Large;
  setWindowFlags(Qt::Window);
  m_feeCb1->hide();
  m_feeCb->setCurrentIndex(m_feeCb1->currentIndex());
  m_panel01->hide();
  m_panel02->hide();
  m_panel03->hide();
  setMinimumSize(0, 0);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  resize(m_settings.mainWidth, m_settings.mainHeight);
  setMinimumSize(260, 60);
  m_panelManager->show();
  if (m_state.FirstActivationDone()) PanelManager1PanelChange(-1);
  m_largeAction->setChecked(true);
  m_smallAction->setChecked(false);
  if (!m_state.Hidden()) show();
  if (moveIt) MoveToSavedPosition();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TMainForm::PanelManager1PanelChange(int changed) {
  PanelStack stack;
  for (int i = 0; i < 6; ++i) {
    stack.visible[i] = !m_panels[i]->isHidden();
    stack.heights[i] =
        i == 5 && stack.visible[5] && changed != 5 ? m_panels[5]->height() : m_panelHeights[i];
  }
  if (m_settings.mode != WindowMode::Large) return;
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
  if (QAction* a = findChild<QAction*>(QStringLiteral("Dettagli1"))) a->setChecked(m_details);
  if (m_panels[3]->isHidden() == m_details) TogglePanel(3);
}

void TMainForm::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  // FormResize: the large window remembers its size and lays the panels out again.
  if (m_settings.mode == WindowMode::Large && m_state.UserPlaces()) {
    m_settings.mainWidth = width();
    m_settings.mainHeight = height();
  }
}

void TMainForm::moveEvent(QMoveEvent* e) {
  QWidget::moveEvent(e);
  WMMove();
}

void TMainForm::WMMove() {
  if (!m_state.UserPlaces() || !isVisible()) return;
  QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!s) return;
  const QRect area = s->availableGeometry();
  const QRect frame = frameGeometry();
  Point p{frame.left() - area.left(), frame.top() - area.top()};
  const Point kept = KeepOnScreen(p, frame.width(), frame.height(), area.width(), area.height());
  if (!(kept == p)) {
    const MainWindowState::ProgramMove programMove(m_state);
    move(kept.left + area.left(), kept.top + area.top());
  }
  m_settings.positions.For(m_settings.mode) = {kept.left + area.left(), kept.top + area.top()};
}

void TMainForm::HideShowWin() {
  const MainWindowState::ProgramMove programMove(m_state);
  if (m_state.TrayClickHides()) RememberPosition();
  if (m_state.TrayClick()) {
    MoveToSavedPosition();
    show();
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
  } else {
    hide();
  }
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TMainForm::ShowORVAWin() {
  const MainWindowState::ProgramMove programMove(m_state);
  // The window is up now, so the next tray click hides it.
  if (m_state.BringUp()) MoveToSavedPosition();
  show();
  if (isMinimized()) showNormal();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  raise();
  activateWindow();
}

void TMainForm::HideWindow() {
  if (m_state.Hidden()) return;
  const MainWindowState::ProgramMove programMove(m_state);
  RememberPosition();
  m_state.Hide();
  hide();
}

void TMainForm::Minimise() {
  if (m_settings.mode == WindowMode::Small)
    HideWindow();  // the bar has no taskbar button to minimise to
  else
    showMinimized();
}

void TMainForm::WMSysCommandClose() {
  // The close box hides the window to the tray; only "Termina" ends the program. Without a
  // tray to come back from, the window is minimised instead, so it cannot be lost.
  const bool tray = TrayAvailable ? TrayAvailable() : QSystemTrayIcon::isSystemTrayAvailable();
  if (!tray && m_settings.mode == WindowMode::Large) {
    showMinimized();
    return;
  }
  const MainWindowState::ProgramMove programMove(m_state);
  m_state.CloseToTray();
  hide();
}

void TMainForm::closeEvent(QCloseEvent* e) {
  if (!m_closing) {
    e->ignore();
    WMSysCommandClose();
    return;
  }
  m_closing = false;
  if (CloseQuery && !CloseQuery()) {
    e->ignore();
    return;
  }
  e->accept();
  m_tray->hide();
  m_trayTimer->stop();
  m_mailTray->hide();
  m_mailTimer->stop();
  if (!m_destroyed && OnDestroy) {
    m_destroyed = true;
    OnDestroy();
  }
  // Every window agreed before: exit() does not ask them again (quit() would, and one that
  // refused would leave the program running without its main window). Without a running
  // event loop there is nothing to leave.
  if (QThread::currentThread()->loopLevel() > 0) QApplication::exit(0);
}

void TMainForm::Quit1Click() {
  m_closing = true;
  // A hidden window still runs its close query.
  if (!close()) m_closing = false;
}

void TMainForm::QuitNow() {
  CloseQuery = nullptr;
  Quit1Click();
}

// ---------------------------------------------------------------------------------------------
// Flashing, tray animation, background

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

void TMainForm::SetTrayAnimation(bool on) {
  m_trayAnimated = on;
  if (on) {
    m_trayTimer->start();
  } else {
    m_trayTimer->stop();
    m_trayFrame = false;
    m_tray->setIcon(AppIcon());
  }
}

void TMainForm::Sfondoabitmap1Click() {
  m_settings.bitmapBackground = !m_settings.bitmapBackground;
  m_bitmapAction->setChecked(m_settings.bitmapBackground);
  m_pb00->update();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* e) {
  if (watched == m_pb00 && e->type() == QEvent::Paint) {
    // PB00Paint: the button panel's background picture, tiled.
    QPainter p(m_pb00);
    if (m_settings.bitmapBackground) {
      static const QPixmap tile = BackgroundTile();
      for (const TilePoint& t :
           TileBackground(m_pb00->width(), m_pb00->height(), tile.width(), tile.height()))
        p.drawPixmap(t.x, t.y, tile);
    } else {
      p.fillRect(m_pb00->rect(), QColor(0xC0, 0xC0, 0xC0));
    }
    return true;
  }
  if ((watched == m_l22 || watched == m_l2) && e->type() == QEvent::MouseButtonPress) {
    if (static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) L22MouseDown();
    return true;
  }
  if (watched == m_progBar && e->type() == QEvent::MouseButtonPress) {
    // ProgBarMouseMove: dragging the gauge moves the window.
    auto* me = static_cast<QMouseEvent*>(e);
    if (me->button() == Qt::LeftButton) {
      if (!(windowHandle() && windowHandle()->startSystemMove()))
        setProperty("dragFrom", me->globalPosition().toPoint() - frameGeometry().topLeft());
      return true;
    }
  }
  if (watched == m_progBar && e->type() == QEvent::MouseMove) {
    auto* me = static_cast<QMouseEvent*>(e);
    const QVariant from = property("dragFrom");
    if ((me->buttons() & Qt::LeftButton) && from.isValid()) {
      move(me->globalPosition().toPoint() - from.toPoint());
      return true;
    }
  }
  if (watched == m_progBar && e->type() == QEvent::MouseButtonRelease)
    setProperty("dragFrom", QVariant());
  return QWidget::eventFilter(watched, e);
}

}  // namespace orva

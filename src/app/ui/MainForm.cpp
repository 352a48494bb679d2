// The main window: its construction, its settings, its start-up and its closing.
#include "app/ui/MainForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/ui/FramePlace.h"
#include "app/ui/Glyphs.h"
#include "app/ui/MainFormLayout.h"

namespace orva {

using namespace mainform;

QColor FromBgr(unsigned bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

TMainForm::TMainForm(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(m_caption);
  setWindowIcon(AppIcon());
  setAttribute(Qt::WA_QuitOnClose, false);  // the tray keeps the program; "Termina" ends it
  m_place = new FramePlace(*this);
  m_moveSettle = new QTimer(this);
  m_moveSettle->setSingleShot(true);
  m_moveSettle->setInterval(100);
  connect(m_moveSettle, &QTimer::timeout, this, &TMainForm::WMMove);

  BuildCounterBar();
  BuildPanels();
  BuildMenu();
  BuildTray();
  BuildMailTray();
  BindOwnCommands();

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

void TMainForm::FormCreate() {
  // In its place, or hidden when the tips are off.
  m_state.Create(m_settings.helpTips);
  if (m_settings.mode == WindowMode::Small)
    ShrinkBtnClick();
  else
    ZoomBtnClick();
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

void TMainForm::ShowVoiceDialer() {
  if (OnShowVoiceDialer) OnShowVoiceDialer();
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

bool TMainForm::eventFilter(QObject* watched, QEvent* e) {
  if (watched == m_pb00 && e->type() == QEvent::Paint) {
    PaintButtonPanel();
    return true;
  }
  if ((watched == m_l22 || watched == m_l2) && e->type() == QEvent::MouseButtonPress) {
    if (static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) L22MouseDown();
    return true;
  }
  if (watched == m_progBar && GaugeDragEvent(e)) return true;
  return QWidget::eventFilter(watched, e);
}

}  // namespace orva

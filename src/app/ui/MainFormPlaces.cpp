// The main window's two modes and their places: shrinking and zooming, hiding to the tray
// and coming back, following moves and resizes within the screen.
#include "app/ui/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include "app/ui/FramePlace.h"
#include "app/ui/MainFormLayout.h"

namespace orva {

using namespace mainform;

// A place is the frame's top-left, border and title bar included, in both modes: it is read
// while the window is in sight (a hidden window has lost its frame) and restored as such.
void TMainForm::RememberPosition() {
  if (m_state.Hidden() || !isVisible()) return;
  m_place->LearnFrame();
  const QPoint p = m_place->TopLeft();
  m_settings.positions.For(m_settings.mode) = {p.x(), p.y()};
}

void TMainForm::MoveToSavedPosition() {
  const Point p = m_settings.positions.For(m_settings.mode);
  m_place->Put(QPoint(p.left, p.top));
}

void TMainForm::ShrinkBtnClick() {
  const MainWindowState::ProgramMove programMove(m_state);
  if (m_state.ModeChangeMoves() && m_settings.mode == WindowMode::Large) RememberPosition();
  hide();
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
  ShowInPlace();
}

void TMainForm::ZoomBtnClick() {
  const MainWindowState::ProgramMove programMove(m_state);
  if (m_state.ModeChangeMoves() && m_settings.mode == WindowMode::Small) RememberPosition();
  hide();
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
  ShowInPlace();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// Each mode opens at its own place, the one the start-up read or the user last left it at;
// a window out of sight stays so and takes its place when it comes back.
void TMainForm::ShowInPlace() {
  // The keyboard stays in the mode shown: a focus left on a control of the other mode would
  // take the keys out of sight.
  QWidget* shown =
      m_settings.mode == WindowMode::Small ? m_panel01->parentWidget() : m_panelManager;
  if (!focusWidget() || !shown->isAncestorOf(focusWidget()))
    (m_settings.mode == WindowMode::Small ? m_feeCb1 : m_feeCb)->setFocus();
  if (m_state.Hidden()) return;
  MoveToSavedPosition();
  show();
  for (const int ms : {0, 250}) QTimer::singleShot(ms, this, &TMainForm::TakeActivation);
}

// The window system may give the focus back to the window in its new mode (the same window
// under new flags) without the application having seen it go: the keyboard's shortcuts would
// then reach no control. The window takes the activation it has.
void TMainForm::TakeActivation() {
  if (isVisible() && QGuiApplication::focusWindow() == windowHandle() &&
      QApplication::activeWindow() != this)
    QApplication::setActiveWindow(this);
}

void TMainForm::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  // FormResize: the large window remembers its size and lays the panels out again.
  if (m_settings.mode == WindowMode::Large && m_state.UserPlaces()) {
    m_settings.mainWidth = width();
    m_settings.mainHeight = height();
  }
}

// A window being moved passes through places the window system reports before the frame
// and the client agree (a frame not yet known, a client not yet moved with it): the place is
// read, saved and kept on the screen once the moves have stopped.
void TMainForm::moveEvent(QMoveEvent* e) {
  QWidget::moveEvent(e);
  if (m_state.UserPlaces() && isVisible()) m_moveSettle->start();
}

void TMainForm::WMMove() {
  if (!isVisible()) return;
  QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!s) return;
  const QRect area = s->availableGeometry();
  m_place->LearnFrame();
  const QRect frame(m_place->TopLeft(), windowHandle() ? windowHandle()->frameGeometry().size()
                                                       : frameGeometry().size());
  Point p{frame.left() - area.left(), frame.top() - area.top()};
  const Point kept = KeepOnScreen(p, frame.width(), frame.height(), area.width(), area.height());
  if (!(kept == p)) {
    const MainWindowState::ProgramMove programMove(m_state);
    m_place->Put(QPoint(kept.left + area.left(), kept.top + area.top()));
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

}  // namespace orva

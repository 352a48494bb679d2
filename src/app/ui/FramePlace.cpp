// A window's frame at its place.
#include "app/ui/FramePlace.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace orva {

FramePlace::FramePlace(QWidget& window) : QObject(&window), m_window(window) {
  window.installEventFilter(this);
}

// Qt takes a requested place for the window's own at once, and a window seen in place ends the
// checks; on a busy desktop the window manager's own placing of the window it maps may come
// after that, with the client area where the frame was asked for. That answer, in the moments
// after a placing, is put right too; any other move is the user's.
bool FramePlace::eventFilter(QObject* watched, QEvent* e) {
  if (watched != &m_window || e->type() != QEvent::Move || !m_sincePut.isValid() ||
      m_sincePut.elapsed() > 3000 || Frameless() || m_corrections >= 2)
    return false;
  const QMargins margins = Margins();
  if (!margins.isNull() && TopLeft() == m_place - QPoint(margins.left(), margins.top()))
    Check(m_generation, 0);
  return false;
}

bool FramePlace::Frameless() const {
  return m_window.windowFlags() & Qt::FramelessWindowHint;
}

std::optional<QMargins>& FramePlace::Known() {
  return Frameless() ? m_frameless : m_framed;
}

// The window's own view of its frame: the widget's may still count a frame the window no
// longer has. A window without a border is its own frame.
QMargins FramePlace::Margins() const {
  const QWindow* handle = m_window.windowHandle();
  return handle && !Frameless() ? handle->frameMargins() : QMargins();
}

QPoint FramePlace::TopLeft() const {
  const QWindow* handle = m_window.windowHandle();
  if (!handle) return m_window.pos();
  const QMargins margins = Margins();
  return handle->geometry().topLeft() - QPoint(margins.left(), margins.top());
}

void FramePlace::LearnFrame() {
  if (!m_window.windowHandle() || !m_window.isVisible()) return;
  const QMargins margins = Margins();
  // A bordered window that shows no frame has not been framed yet (or has no window manager).
  if (Frameless() || !margins.isNull()) Known() = margins;
}

void FramePlace::Put(QPoint place) {
  m_place = place;
  m_corrections = 0;
  m_sincePut.start();
  const unsigned generation = ++m_generation;
  if (const std::optional<QMargins>& known = Known())
    m_window.setGeometry(QRect(place + QPoint(known->left(), known->top()), m_window.size()));
  else
    m_window.move(place);  // a frame not seen yet: the window manager places the frame itself
  Check(generation, 0);
}

// The window manager frames a window in its own time: the window is checked every 50 ms
// until it is framed and in place, for at most two seconds of the event loop's time. It is
// moved at most twice: a window manager that keeps it elsewhere (off a panel, say) has the
// last word.
void FramePlace::Check(unsigned generation, int attempt) {
  if (attempt >= 40) return;
  QTimer::singleShot(attempt == 0 ? 0 : 50, this, [this, generation, attempt] {
    if (generation != m_generation) return;  // placed anew since
    if (!Correct()) Check(generation, attempt + 1);
  });
}

// True when nothing is left to do.
bool FramePlace::Correct() {
  QWindow* handle = m_window.windowHandle();
  if (!handle || !m_window.isVisible()) return false;
  const QMargins margins = Margins();
  if (!Frameless() && margins.isNull()) return false;  // not framed yet
  Known() = margins;
  const QPoint off = m_place - TopLeft();
  if (off.isNull() || m_corrections >= 2) return true;
  ++m_corrections;
  m_window.setGeometry(QRect(handle->geometry().topLeft() + off, m_window.size()));
  return false;  // checked again once the move is done
}

}  // namespace orva

// Puts a window's client area at a stored place, exactly, under any window manager. Before a
// window is shown and framed, a window manager may take a requested place for its frame's, and
// the window then lands a title bar lower (or, stored that way, creeps at every opening). So
// the place is set at once and checked again in the moments after the first show, once the
// frame is known; the window is moved by whatever difference is left.
#pragma once

#include <QEvent>
#include <QObject>
#include <QPoint>
#include <QTimer>
#include <QWidget>

namespace orva {

class ClientPlaceKeeper final : public QObject {
 public:
  ClientPlaceKeeper(QWidget& window, QPoint clientTopLeft)
      : QObject(&window), m_window(window), m_target(clientTopLeft) {
    window.installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &m_window && event->type() == QEvent::Show) {
      m_window.removeEventFilter(this);  // the first show only
      // The frame arrives a moment after the show; later checks catch a slow window manager.
      for (const int ms : {0, 50, 150, 400, 1000})
        QTimer::singleShot(ms, this, [this] { Correct(); });
    }
    return false;
  }

 private:
  void Correct() {
    const QPoint left = m_target - m_window.geometry().topLeft();
    if (!left.isNull()) m_window.move(m_window.pos() + left);
  }

  QWidget& m_window;
  QPoint m_target;
};

// The window's client area at (left, top), width x height.
inline void PlaceClientArea(QWidget& window, int left, int top, int width, int height) {
  window.setGeometry(left, top, width, height);
  new ClientPlaceKeeper(window, QPoint(left, top));
}

}  // namespace orva

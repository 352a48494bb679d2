// Puts a top-level window's frame (the window manager's border and title bar included) at a
// place, exactly, and reads that place back. Qt's widget geometry lags behind a window whose
// flags changed (its frame is recreated with them): a move then counts the old frame, and the
// window creeps by a title bar at every switch. So the place is read from the window itself,
// the client area is put where the frame's top-left plus the frame the window manager drew
// last time lands it, and, until that frame is known, the window is put right once framed.
#pragma once

#include <QElapsedTimer>
#include <QMargins>
#include <QObject>
#include <QPoint>
#include <optional>

class QEvent;
class QWidget;

namespace orva {

class FramePlace final : public QObject {
 public:
  explicit FramePlace(QWidget& window);

  // The frame's top-left as the window system has it now.
  QPoint TopLeft() const;
  // Learns the frame of a window in sight, for the next placing of a window of its kind.
  void LearnFrame();
  // Puts the frame's top-left at place, before or after the window is shown; the window is
  // checked again in the moments after, while the window manager frames it.
  void Put(QPoint place);

 private:
  bool Frameless() const;
  QMargins Margins() const;
  std::optional<QMargins>& Known();
  void Check(unsigned generation, int attempt);
  bool Correct();
  bool eventFilter(QObject* watched, QEvent* e) override;

  QWidget& m_window;
  std::optional<QMargins> m_framed;                 // unknown until a framed window was seen
  std::optional<QMargins> m_frameless{QMargins()};  // a window without a border has none
  QPoint m_place;
  unsigned m_generation = 0;
  int m_corrections = 0;
  QElapsedTimer m_sincePut;
};

}  // namespace orva

// Where a window really is, as the X server and its window manager have it, read over a
// connection of the test's own (not Qt's idea of the place): the client area's top-left on
// the screen and the top-left of the frame the window manager put around it.
#pragma once

#include <QPoint>
#include <QString>
#include <optional>
#include <ostream>

class QWidget;

namespace orva::test {

struct XPlace {
  QPoint frame, client;
  bool operator==(const XPlace&) const = default;
};

// Empty off an X server (the offscreen platform), or when the window is not mapped.
std::optional<XPlace> XServerPlace(QWidget& window);

// The place once the window manager has stopped moving the window: the same for 300 ms
// (at most 4 s), while Qt's events are handled.
std::optional<XPlace> SettledXServerPlace(QWidget& window);

// Moves the window's frame to topLeft as a user's drag or a pager does: through the window
// manager (an EWMH move request), not through Qt. False off an X server, or when the frame
// did not get there within 4 s.
bool MoveFrameOnXServer(QWidget& window, QPoint topLeft);

// Why the X server tests do not run here, or empty when they do.
QString NoXServerReason();

QString Describe(const std::optional<XPlace>& p);

inline void PrintTo(const XPlace& p, std::ostream* os) {
  *os << Describe(p).toStdString();
}

}  // namespace orva::test

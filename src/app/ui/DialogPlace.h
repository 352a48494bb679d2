// Where a window of the program opens when it has no place of its own yet: centred over its
// owner, frame on frame, or in the middle of the screen when the owner is out of sight or so
// near an edge that the window would not be whole on the screen there.
#pragma once

class QWidget;

namespace orva {

// Before the window is shown.
void CentreOverOwner(QWidget& window, const QWidget* owner);

}  // namespace orva

// The desktop's program launcher: starts programs as ProcessLauncher does and, on an X11
// desktop, gives the first window a started program opens the state asked for (maximised or
// minimised) by asking the window manager, as a pager does (_NET_WM_STATE, WM_CHANGE_STATE).
// The window is the window manager's client whose _NET_WM_PID is the started process, looked
// for until it shows up or the wait is over. Wayland has no request for another program's
// window: there, and for a program whose windows do not say their process, the program opens
// as it always does.
#pragma once

#include <QObject>
#include <chrono>

#include "platform/Process.h"

namespace orva {

class WindowStateLauncher final : public QObject, public Launcher {
 public:
  explicit WindowStateLauncher(QObject* parent = nullptr) : QObject(parent) {}

  Status Launch(const LaunchRequest& request) override;

  // How long a started program's window is waited for.
  std::chrono::milliseconds wait{20000};
};

}  // namespace orva

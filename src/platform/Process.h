// The program launcher: starts a program from an argument vector (never through a shell) in a
// working directory, optionally waiting for it on a thread of its own and reporting its exit
// code. A program that cannot be started is ignored.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Result.h"

namespace orva {

// The window states a started program may be asked for. The program itself starts as it
// always does; on a desktop that can say so, the window it opens is then maximised or
// minimised by asking the window manager (see platform/qt/WindowStateLauncher.h).
enum class ShowWindow {
  swHide,
  swMaximize,
  swMinimize,
  swRestore,
  swShow,
  swShowDefault,
  swShowMaximized,
  swShowMinimized,
  swShowMinNoActive,
  swShowNA,
  swShowNoActivate,
  swShowNormal
};

class TProcess {
 public:
  std::vector<std::string> Arguments;  // Arguments[0] is the program (searched in PATH)
  std::string WorkingDirectory;        // trimmed; empty: the current one
  ShowWindow Show = ShowWindow::swShowNormal;
  bool Wait = false;
  // With Wait: called with the exit code on the waiting thread (-1 when killed by a signal).
  std::function<void(int exitCode)> OnTerminate;

  // Starts the program; a failure when it cannot be started.
  Status Execute() const;
  // The same, with the started program's process id.
  Result<int> Spawn() const;
};

// What the logic calls to start a program; tests record the requests.
struct LaunchRequest {
  std::vector<std::string> arguments;
  std::string workingDirectory;
  ShowWindow show = ShowWindow::swShowNormal;
};

class Launcher {
 public:
  virtual ~Launcher() = default;
  virtual Status Launch(const LaunchRequest& request) = 0;
};

class ProcessLauncher final : public Launcher {
 public:
  Status Launch(const LaunchRequest& request) override;
};

}  // namespace orva

// SIGTERM and SIGINT delivered through the event loop: the signal handler only writes a byte
// to a pipe, and the loop calls the program's own handler, where anything may be done.
#pragma once

#include <QObject>
#include <functional>

#include "platform/Result.h"

namespace orva {

// Calls `onSignal` from the event loop after SIGTERM or SIGINT (once per burst); the watch
// lives as long as `owner`. A failure to make the pipe leaves the default handlers.
Status WatchQuitSignals(QObject* owner, std::function<void()> onSignal);

}  // namespace orva

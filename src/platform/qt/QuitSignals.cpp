#include "platform/qt/QuitSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

#include "platform/SafeFile.h"

namespace orva {
namespace {

// The handler's only way out: a byte to the pipe the event loop watches.
int g_quitPipe[2] = {-1, -1};

void OnQuitSignal(int) {
  const int saved = errno;
  const char c = 1;
  [[maybe_unused]] const auto n = ::write(g_quitPipe[1], &c, 1);
  errno = saved;
}

}  // namespace

Status WatchQuitSignals(QObject* owner, std::function<void()> onSignal) {
  if (g_quitPipe[0] < 0 && ::pipe2(g_quitPipe, O_CLOEXEC | O_NONBLOCK) != 0)
    return Status::Fail(SystemErrorText(errno));
  auto* notifier = new QSocketNotifier(g_quitPipe[0], QSocketNotifier::Read, owner);
  QObject::connect(notifier, &QSocketNotifier::activated, owner, [onSignal = std::move(onSignal)] {
    char buf[16];
    while (::read(g_quitPipe[0], buf, sizeof buf) > 0) {
    }
    onSignal();
  });
  struct sigaction sa {};
  sa.sa_handler = OnQuitSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
  return Status::Ok();
}

}  // namespace orva

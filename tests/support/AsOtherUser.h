// Runs a check as a user who is not root, so that a permission test means the same when the
// suite runs as root (root reads every file): a forked child drops to "nobody" and reports
// through its exit code. As a normal user the check runs in place.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace orva::test {

constexpr uid_t kNobody = 65534;

// The check's answer; false as well when the child could not drop its privileges.
inline bool AsOtherUser(const std::function<bool()>& check) {
  if (::geteuid() != 0) return check();
  const pid_t pid = ::fork();
  if (pid < 0) return false;
  if (pid == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
      ::_exit(2);
    ::_exit(check() ? 0 : 1);
  }
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace orva::test

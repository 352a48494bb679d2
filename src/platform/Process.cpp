// The launcher over posix_spawn.
#include "platform/Process.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "platform/IniFile.h"
#include "platform/SafeFile.h"
#include "platform/Trim.h"

extern char** environ;

namespace orva {

Status TProcess::Execute() const {
  const Result<int> pid = Spawn();
  return pid ? Status::Ok() : Status::Fail(pid.error);
}

Result<int> TProcess::Spawn() const {
  using R = Result<int>;
  if (Arguments.empty() || Arguments[0].empty()) return R::Fail("Nessun programma");
  const std::string dir(TrimBlanks(WorkingDirectory));
  if (!dir.empty() && !DirectoryExists(dir)) return R::Fail("Cartella inesistente: " + dir);

  std::vector<char*> argv;
  for (const auto& a : Arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 29))
  if (!dir.empty()) posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
#endif
  pid_t pid = 0;
  const int rc = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return R::Fail(SystemErrorText(rc));

  // The child is always reaped, so no zombie stays behind; with Wait its code is reported.
  auto onTerminate = Wait ? OnTerminate : std::function<void(int)>();
  std::thread([pid, onTerminate] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (onTerminate) onTerminate(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  }).detach();
  return R::Ok(static_cast<int>(pid));
}

Status ProcessLauncher::Launch(const LaunchRequest& request) {
  TProcess p;
  p.Arguments = request.arguments;
  p.WorkingDirectory = request.workingDirectory;
  p.Show = request.show;
  return p.Execute();
}

}  // namespace orva

// Runs orva32cli (or another program) as a user runs it, no shell, capturing standard output
// and standard error together; optionally with more environment, as a user who is not root,
// or on a disk that takes no file larger than a size.
#pragma once

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace orva::test {

struct CliRun {
  int code = -1;    // exit code, -1 when it could not run or was killed
  std::string out;  // standard output and standard error together
};

struct ToolOptions {
  std::vector<std::string> env;  // NAME=VALUE added to the test's own
  bool asOtherUser = false;      // as "nobody" when the suite runs as root
  long maxFileBytes = 0;         // a disk that takes no file larger than this, when not 0
};

// Starts args[0] with its output on outFd; -1 when it could not start.
inline pid_t StartTool(std::vector<std::string> args, const ToolOptions& options, int outFd) {
  if (options.asOtherUser && ::geteuid() == 0)
    args.insert(args.begin(),
                {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"});
  if (options.maxFileBytes > 0)
    args.insert(args.begin(),
                {"/usr/bin/prlimit", "--fsize=" + std::to_string(options.maxFileBytes), "--"});
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> env = options.env;
  for (char** e = environ; *e; ++e) env.emplace_back(*e);
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outFd, 1);
  posix_spawn_file_actions_adddup2(&actions, outFd, 2);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

inline CliRun RunTool(std::vector<std::string> args, const ToolOptions& options = {}) {
  int fds[2];
  if (::pipe(fds) != 0) return {};
  CliRun r;
  const pid_t pid = StartTool(std::move(args), options, fds[1]);
  ::close(fds[1]);
  char buf[4096];
  ssize_t n;
  while ((n = ::read(fds[0], buf, sizeof buf)) > 0) r.out.append(buf, static_cast<std::size_t>(n));
  ::close(fds[0]);
  int status = 0;
  if (pid > 0 && ::waitpid(pid, &status, 0) == pid)
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

}  // namespace orva::test

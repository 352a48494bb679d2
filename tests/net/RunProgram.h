// Runs a program with an argument vector (no shell) and captures its standard output.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace orva::test {

struct ProgramRun {
  int code = -1;  // exit code, -1 when it could not run or was killed
  std::string out;
};

inline ProgramRun RunProgram(std::vector<std::string> args, const std::string& input = {}) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int out[2], in[2];
  if (::pipe(out) != 0) return {};
  if (::pipe(in) != 0) {
    ::close(out[0]);
    ::close(out[1]);
    return {};
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  posix_spawn_file_actions_addclose(&actions, in[1]);
  pid_t pid = 0;
  ProgramRun r;
  const bool started = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  ::close(in[0]);
  if (started) {
    // The program reads its input before it answers, so writing all of it first cannot block.
    // It may stop reading early (a refusal): the rest is dropped, without the SIGPIPE that
    // would end the test.
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, &previous);
    for (std::size_t done = 0; done < input.size();) {
      const ssize_t w = ::write(in[1], input.data() + done, input.size() - done);
      if (w <= 0) break;
      done += static_cast<std::size_t>(w);
    }
    ::sigaction(SIGPIPE, &previous, nullptr);
    ::close(in[1]);
    char buf[4096];
    ssize_t n;
    while ((n = ::read(out[0], buf, sizeof buf)) > 0)
      r.out.append(buf, static_cast<std::size_t>(n));
    int status = 0;
    ::waitpid(pid, &status, 0);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  } else {
    ::close(in[1]);
  }
  ::close(out[0]);
  return r;
}

}  // namespace orva::test

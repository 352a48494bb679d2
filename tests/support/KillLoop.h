// A writer killed with SIGKILL at random moments, many times over: a child process repeats a
// numbered write and acknowledges each one through a pipe once it returned; after each kill
// the test checks that the acknowledged writes are all on disk and nothing is torn.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

namespace orva::test {

// `write(n)` performs write number n (false: the child stops with an error); `check(acked)`
// runs after each kill with the last acknowledged number (-1 for none yet) and returns the
// number to go on from. Each writer is killed up to maxLifeUs after its first few writes
// returned (none to two, drawn at random): the moment stays random inside a write, yet a slow,
// loaded machine makes as much progress as a fast one. Returns the number reached.
inline long long KillWhileWriting(int rounds, unsigned maxLifeUs,
                                  const std::function<bool(long long)>& write,
                                  const std::function<long long(long long acked)>& check) {
  const auto seed =
      static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
  std::mt19937 rng(seed);
  SCOPED_TRACE("seed " + std::to_string(seed));
  long long next = 0;
  for (int round = 0; round < rounds; ++round) {
    int fds[2];
    if (::pipe(fds) != 0) {
      ADD_FAILURE() << "pipe";
      return next;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
      ADD_FAILURE() << "fork";
      return next;
    }
    if (pid == 0) {
      ::close(fds[0]);
      for (long long n = next;; ++n) {
        if (!write(n)) ::_exit(3);
        if (::write(fds[1], &n, sizeof n) != static_cast<ssize_t>(sizeof n)) ::_exit(4);
      }
    }
    ::close(fds[1]);
    long long acked = next - 1, n = 0;
    for (unsigned wait = rng() % 3; wait > 0; --wait) {
      if (::read(fds[0], &n, sizeof n) != static_cast<ssize_t>(sizeof n)) break;
      acked = n;
    }
    ::usleep(static_cast<useconds_t>(rng() % maxLifeUs));
    ::kill(pid, SIGKILL);
    while (::read(fds[0], &n, sizeof n) == static_cast<ssize_t>(sizeof n)) acked = n;
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFSIGNALED(status)) {
      ADD_FAILURE() << "the writer stopped by itself: " << status;
      return next;
    }
    next = check(acked);
    if (::testing::Test::HasFatalFailure() || ::testing::Test::HasNonfatalFailure()) return next;
  }
  return next;
}

// Removes the temporary files a killed rewrite of `name` left in `dir` (".name.tmpNNN": the
// new content, never renamed over the file); how many there were. Each child process starts
// from the random state its parent had, so it would draw the same temporary names again.
inline int RemoveTemporaryLeftovers(const std::string& dir, const std::string& name) {
  int count = 0;
  const std::string prefix = "." + name + ".tmp";
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().filename().string().rfind(prefix, 0) != 0) continue;
    std::filesystem::remove(entry.path());
    ++count;
  }
  return count;
}

// Whole CR LF lines only, as a file of sections leaves them after a crash: every line a
// section header, an entry with "=", or empty.
inline void ExpectWholeIniLines(const std::string& bytes) {
  ASSERT_FALSE(bytes.empty());
  ASSERT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  std::size_t start = 0;
  while (start < bytes.size()) {
    const auto end = bytes.find("\r\n", start);
    ASSERT_NE(end, std::string::npos);
    const std::string line = bytes.substr(start, end - start);
    ASSERT_TRUE(line.empty() || (line.front() == '[' && line.back() == ']') ||
                line.find('=') != std::string::npos)
        << "torn line: " << line;
    start = end + 2;
  }
}

}  // namespace orva::test

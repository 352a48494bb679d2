// The launcher: an argument vector in a working directory, never a shell.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "TempDir.h"
#include "platform/Process.h"
#include "platform/SafeFile.h"

namespace orva {
namespace {

struct ExitWaiter {
  std::mutex m;
  std::condition_variable cv;
  std::optional<int> code;
  std::function<void(int)> Callback() {
    return [this](int c) {
      std::lock_guard<std::mutex> lock(m);
      code = c;
      cv.notify_all();
    };
  }
  std::optional<int> Wait() {
    std::unique_lock<std::mutex> lock(m);
    cv.wait_for(lock, std::chrono::seconds(10), [this] { return code.has_value(); });
    return code;
  }
};

TEST(TProcess, ArgumentsReachTheProgramLiterallyInItsWorkingDirectory) {
  test::TempDir dir;
  ExitWaiter waiter;
  TProcess p;
  // A shell would run the "rm" and split the name; the argument vector keeps it one name.
  p.Arguments = {"touch", "a; rm -rf b $(x)"};
  p.WorkingDirectory = "  " + dir.path() + "  ";
  p.Wait = true;
  p.OnTerminate = waiter.Callback();
  ASSERT_TRUE(p.Execute().ok);
  EXPECT_EQ(waiter.Wait(), 0);
  EXPECT_TRUE(FileExists(dir.path() + "a; rm -rf b $(x)"));
}

TEST(TProcess, ExitCodeIsReportedAndMissingProgramsFail) {
  ExitWaiter waiter;
  TProcess p;
  p.Arguments = {"false"};
  p.Wait = true;
  p.OnTerminate = waiter.Callback();
  ASSERT_TRUE(p.Execute().ok);
  EXPECT_EQ(waiter.Wait(), 1);

  TProcess missing;
  missing.Arguments = {"/nonexistent/program"};
  EXPECT_FALSE(missing.Execute().ok);
  TProcess badDir;
  badDir.Arguments = {"true"};
  badDir.WorkingDirectory = "/nonexistent/dir";
  EXPECT_FALSE(badDir.Execute().ok);
  EXPECT_FALSE(TProcess().Execute().ok);
}

}  // namespace
}  // namespace orva

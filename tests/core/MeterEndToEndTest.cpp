// The console meter against a real link: a veth named ppp0 in a network namespace comes up
// with an address, traffic crosses it, the link goes, and the log line carries the bytes the
// kernel counted. Needs root and network namespaces; skipped elsewhere.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "TempDir.h"
#include "core/HowUtils.h"
#include "platform/SafeFile.h"
#include "platform/TextFile.h"

extern char** environ;

namespace orva {
namespace {

// Runs a program from an argument vector; its output goes to `out` (when given). Returns the
// pid without waiting, or -1.
pid_t Spawn(const std::vector<std::string>& args, const std::string& out = {},
            char** env = environ) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  const std::string sink = out.empty() ? "/dev/null" : out;
  posix_spawn_file_actions_addopen(&fa, 1, sink.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, argv[0], &fa, nullptr, argv.data(), env);
  posix_spawn_file_actions_destroy(&fa);
  return rc == 0 ? pid : -1;
}

int RunWait(const std::vector<std::string>& args, const std::string& out = {}) {
  const pid_t pid = Spawn(args, out);
  if (pid < 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// UDP datagrams sent from inside the namespace (a child process joins it).
bool SendTraffic(const std::string& ns, int datagrams) {
  const pid_t pid = fork();
  if (pid == 0) {
    const int fd = open(("/run/netns/" + ns).c_str(), O_RDONLY);
    if (fd < 0 || setns(fd, CLONE_NEWNET) != 0) _exit(2);
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(9);
    inet_pton(AF_INET, "10.250.0.2", &to.sin_addr);
    char payload[1000] = {};
    for (int i = 0; i < datagrams; ++i) {
      sendto(s, payload, sizeof payload, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
      usleep(20000);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool WaitFor(const std::function<bool()>& done, int ms) {
  for (int waited = 0; waited < ms; waited += 100) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return done();
}

class NetnsLink : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to create network namespaces";
    const std::string id = std::to_string(getpid());
    a = "orva-a-" + id;
    b = "orva-b-" + id;
    if (RunWait({"ip", "netns", "add", a}) != 0 || RunWait({"ip", "netns", "add", b}) != 0)
      GTEST_SKIP() << "ip netns add failed: no network namespaces here";
    made = true;
    for (const auto& ns : {a, b})
      RunWait({"ip", "netns", "exec", ns, "sysctl", "-qw", "net.ipv6.conf.all.disable_ipv6=1",
               "net.ipv6.conf.default.disable_ipv6=1"});
    ASSERT_EQ(RunWait({"ip", "link", "add", "ppp0", "netns", a, "type", "veth", "peer", "name",
                       "peer0", "netns", b}),
              0);
    ASSERT_EQ(RunWait({"ip", "-n", b, "addr", "add", "10.250.0.2/30", "dev", "peer0"}), 0);
    ASSERT_EQ(RunWait({"ip", "-n", b, "link", "set", "peer0", "up"}), 0);
  }
  void TearDown() override {
    if (meter > 0) {
      kill(meter, SIGKILL);
      waitpid(meter, nullptr, 0);
    }
    if (made) {
      RunWait({"ip", "netns", "del", a});
      RunWait({"ip", "netns", "del", b});
    }
  }
  long long Counter(const std::string& name) {
    const std::string out = dir.File("counter.txt");
    RunWait({"ip", "netns", "exec", a, "cat", "/sys/class/net/ppp0/statistics/" + name}, out);
    auto bytes = ReadFileBytes(out);
    return bytes ? std::stoll("0" + *bytes) : -1;
  }

  test::TempDir dir;
  std::string a, b;
  bool made = false;
  pid_t meter = -1;
};

TEST_F(NetnsLink, ConsoleMeterMetersTheLinkAndLogsItsBytes) {
  const std::string cli = "cli/orva32cli";
  if (!ORVA_CLI_HAS_METER)
    GTEST_SKIP() << "orva32cli was built without Qt (-DORVA_GUI=OFF): it has no console meter";
  if (!FileExists(cli)) GTEST_SKIP() << "orva32cli is not built";
  const std::string data = dir.path() + "data/";
  const std::string runtime = dir.path() + "run";
  MakeDirectories(data);
  MakeDirectories(runtime);
  std::string runtimeVar = "XDG_RUNTIME_DIR=" + runtime;
  std::vector<char*> env;
  for (char** e = environ; *e; ++e)
    if (std::string_view(*e).rfind("XDG_RUNTIME_DIR=", 0) != 0) env.push_back(*e);
  env.push_back(runtimeVar.data());
  env.push_back(nullptr);
  const std::string out = dir.File("meter.txt");
  meter = Spawn({"ip", "netns", "exec", a, cli, "meter", "--dialup", "pppd", "--data-dir", data},
                out, env.data());
  ASSERT_GT(meter, 0);
  auto shown = [&](const char* text) {
    auto bytes = ReadFileBytes(out);
    return bytes && bytes->find(text) != std::string::npos;
  };
  ASSERT_TRUE(WaitFor([&] { return shown("Sconnesso"); }, 10000)) << "the meter did not start";

  ASSERT_EQ(RunWait({"ip", "-n", a, "addr", "add", "10.250.0.1/30", "dev", "ppp0"}), 0);
  ASSERT_EQ(RunWait({"ip", "-n", a, "link", "set", "ppp0", "up"}), 0);
  ASSERT_TRUE(WaitFor([&] { return shown("Connesso | ppp0"); }, 5000)) << "no call started";
  // The call counts from its start: what the link carried before it (its first packets) is
  // not the call's. The call started before these readings.
  const long long sentAtStart = Counter("tx_bytes");
  const long long receivedAtStart = Counter("rx_bytes");
  ASSERT_TRUE(SendTraffic(a, 40));
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));
  const long long sent = Counter("tx_bytes");
  const long long received = Counter("rx_bytes");
  EXPECT_GT(sent, 40 * 1000);
  std::this_thread::sleep_for(std::chrono::milliseconds(600));  // a few polls read them
  ASSERT_EQ(RunWait({"ip", "-n", a, "link", "del", "ppp0"}), 0);

  const std::string log = data + "ORVA.LOG";
  ASSERT_TRUE(WaitFor([&] { return FileExists(log); }, 5000)) << "the call was not logged";
  kill(meter, SIGTERM);
  int status = 0;
  waitpid(meter, &status, 0);
  meter = -1;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  auto lines = ReadTextLines(log);
  ASSERT_TRUE(lines.ok());
  ASSERT_EQ(lines->size(), 1u);
  const auto fields = SplitTabFields((*lines)[0]);
  ASSERT_GE(fields.size(), 11u);
  const long long loggedReceived = std::stoll("0" + fields[8]);
  const long long loggedSent = std::stoll("0" + fields[9]);
  EXPECT_LE(loggedReceived, received);
  EXPECT_GE(loggedReceived, received - receivedAtStart);
  EXPECT_LE(loggedSent, sent);
  EXPECT_GE(loggedSent, sent - sentAtStart);
  EXPECT_GT(loggedSent, 40 * 1000);
  EXPECT_EQ(fields[10], "Modem: ppp0");
}

}  // namespace
}  // namespace orva

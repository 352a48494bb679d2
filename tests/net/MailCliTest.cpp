// orva32cli mail check, run as a program against POP3 servers on 127.0.0.1 that this test
// runs on threads of its own: one drips its greeting a byte at a time, one answers at once.
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include <nlohmann/json.hpp>

#include "RunProgram.h"
#include "TempDir.h"
#include "net/MailBoxes.h"

namespace orva {
namespace {

using namespace std::chrono_literals;

// Accepts connections on a free port of 127.0.0.1 and runs a session on each, one at a time.
class LoopbackServer {
 public:
  using Session = std::function<void(int peer, const std::atomic<bool>& stop)>;

  explicit LoopbackServer(Session session) : m_session(std::move(session)) {
    m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listen < 0 || ::bind(m_listen, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(m_listen, 4) != 0 ||
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      return;
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Serve(); });
  }
  ~LoopbackServer() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    if (m_listen >= 0) ::close(m_listen);
  }
  std::string Port() const { return std::to_string(m_port); }

 private:
  void Serve() {
    while (!m_stop) {
      pollfd p{m_listen, POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      const int peer = ::accept(m_listen, nullptr, nullptr);
      if (peer < 0) continue;
      m_session(peer, m_stop);
      ::close(peer);
    }
  }

  Session m_session;
  int m_listen = -1;
  int m_port = 0;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

// Waits up to waitMs for the peer: true when it has closed its side (or the test stops).
bool PeerClosed(int peer, int waitMs, const std::atomic<bool>& stop) {
  pollfd p{peer, POLLIN, 0};
  if (::poll(&p, 1, waitMs) <= 0) return stop;
  char byte;
  return ::recv(peer, &byte, 1, MSG_DONTWAIT) <= 0 || stop;
}

void Send(int peer, const std::string& bytes) {
  ::send(peer, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

// One command line, or empty when the peer closed.
std::string ReadLine(int peer) {
  std::string line;
  char c;
  while (::recv(peer, &c, 1, 0) == 1) {
    if (c == '\n') return line;
    if (c != '\r') line += c;
  }
  return "";
}

TEST(MailCli, DrippingGreetingEndsAtTheMailboxDeadlineAndTheNextMailboxIsChecked) {
  // Every event the two servers see gets the next number, so the test can tell their order.
  std::atomic<int> events{0};
  std::atomic<int> dripClosed{0}, dripBytes{0}, soundConnected{0}, dripPeer{-1};
  std::atomic<bool> dripGoneAtNext{false};
  // A greeting that never ends, a byte every 200 ms: each byte is in time for the read
  // time-out, only the deadline of the whole mailbox ends it.
  LoopbackServer drip([&](int peer, const std::atomic<bool>& stop) {
    dripPeer = peer;
    const std::string greeting = "+OK POP3 server ready, slowly";
    for (std::size_t i = 0;; ++i) {
      Send(peer, std::string(1, greeting[i % greeting.size()]));
      ++dripBytes;
      if (PeerClosed(peer, 200, stop)) break;
    }
    dripClosed = ++events;
  });
  LoopbackServer sound([&](int peer, const std::atomic<bool>&) {
    soundConnected = ++events;
    // The checker hung up on the dripping server before it connected here: its end of that
    // connection reads as closed now, whenever the dripping server's own loop next looks.
    char byte;
    const int dripFd = dripPeer;
    dripGoneAtNext =
        dripClosed > 0 || (dripFd >= 0 && ::recv(dripFd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0);
    Send(peer, "+OK ready\r\n");
    for (std::string c = ReadLine(peer); !c.empty(); c = ReadLine(peer)) {
      if (c.rfind("USER ", 0) == 0 || c.rfind("PASS ", 0) == 0) Send(peer, "+OK\r\n");
      if (c == "STAT") Send(peer, "+OK 1 120\r\n");
      if (c == "LIST") Send(peer, "+OK\r\n1 120\r\n.\r\n");
      if (c == "TOP 1 1") Send(peer, "+OK\r\nFrom: anna@example.org\r\nSubject: Ciao\r\n\r\n.\r\n");
      if (c == "QUIT") return Send(peer, "+OK bye\r\n");
    }
  });

  test::TempDir dir;
  const std::vector<Pop3Record> table = {{"127.0.0.1", drip.Port(), "lento", "p", true},
                                         {"127.0.0.1", sound.Port(), "anna", "p", true}};
  ASSERT_TRUE(WritePop3List(dir.File("POP3.LST"), table));
  const std::string stored = test::ReadBytes(dir.File("POP3.LST"));
  test::WriteBytes(dir.File("ORVA32.INI"), "[POP3]\r\nRichiedi connessione cifrata=0\r\n");

  // --timeout only keeps a broken build from hanging the suite.
  const auto run = test::RunProgram({ORVA_CLI, "mail", "check", "--json", "--data-dir", dir.path(),
                                     "--mailbox-timeout", "1", "--timeout", "30"});
  ASSERT_EQ(run.code, 1) << run.out;
  const auto out = nlohmann::json::parse(run.out, nullptr, false);
  ASSERT_TRUE(out.is_array() && out.size() == 2) << run.out;

  EXPECT_EQ(out[0]["mailbox"], "lento@127.0.0.1");
  EXPECT_EQ(out[0]["error"], "Tempo scaduto per la casella: controllo non finito in 1 s");
  EXPECT_EQ(out[0]["count"], 0);
  EXPECT_GT(dripBytes, 1) << "the greeting was still coming";

  EXPECT_EQ(out[1]["mailbox"], "anna@127.0.0.1");
  EXPECT_FALSE(out[1].contains("error")) << run.out;
  ASSERT_EQ(out[1]["count"], 1);
  EXPECT_EQ(out[1]["messages"][0]["subject"], "Ciao");

  // The dripping connection was closed before the next mailbox was opened.
  ASSERT_GT(soundConnected, 0);
  EXPECT_TRUE(dripGoneAtNext);
  EXPECT_EQ(test::ReadBytes(dir.File("POP3.LST")), stored);
}

}  // namespace
}  // namespace orva

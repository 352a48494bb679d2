// The mail check against hostile POP3 servers on loopback, each a few lines of this test: one
// that stays silent, one whose greeting never ends, one that closes in the middle of LIST, one
// whose LIST never ends, one that reports an absurd count. Each mailbox ends with its reason
// and the cycle goes on; the whole cycle is bounded in time.
#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <chrono>
#include <functional>
#include <memory>

#include "LiveDoubles.h"
#include "MailLiveServers.h"
#include "net/Mail.h"
#include "platform/qt/QtSockets.h"
#include "platform/qt/QtTimer.h"

namespace orva {
namespace {

using namespace std::chrono_literals;

using test::NoResolver;
using NullView = test::RecordingMailView;
// A server on a free loopback port that answers each command line as the test says.
class ScriptServer {
 public:
  using Answer = std::function<void(QTcpSocket& peer, const QByteArray& command)>;
  ScriptServer(QByteArray greeting, Answer answer)
      : m_greeting(std::move(greeting)), m_answer(std::move(answer)) {
    m_server.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
      while (QTcpSocket* peer = m_server.nextPendingConnection()) {
        if (!m_greeting.isEmpty()) peer->write(m_greeting);
        QObject::connect(peer, &QTcpSocket::readyRead, peer, [this, peer] {
          while (peer->canReadLine()) m_answer(*peer, peer->readLine().trimmed());
        });
      }
    });
  }
  std::string Port() const { return std::to_string(m_server.serverPort()); }

 private:
  QTcpServer m_server;
  QByteArray m_greeting;
  Answer m_answer;
};

// The usual dialogue up to STAT; what LIST and TOP get is the test's.
ScriptServer::Answer Dialogue(QByteArray stat, ScriptServer::Answer rest) {
  return [stat, rest](QTcpSocket& peer, const QByteArray& c) {
    if (c.startsWith("USER") || c.startsWith("PASS")) return (void)peer.write("+OK\r\n");
    if (c == "STAT") return (void)peer.write(stat);
    if (c == "QUIT") {
      peer.write("+OK bye\r\n");
      return peer.disconnectFromHost();
    }
    rest(peer, c);
  };
}

TEST(Pop3Hostile, EachMailboxEndsWithItsReasonAndTheCycleGoesOn) {
  ScriptServer silent("", [](QTcpSocket&, const QByteArray&) {});
  ScriptServer endlessGreeting("+OK " + QByteArray(1 << 20, 'x'),
                               [](QTcpSocket&, const QByteArray&) {});
  ScriptServer closesInList("+OK\r\n",
                            Dialogue("+OK 2 20\r\n", [](QTcpSocket& peer, const QByteArray& c) {
                              if (c != "LIST") return;
                              peer.write("+OK\r\n1 10\r\n");
                              peer.disconnectFromHost();
                            }));
  // LIST streams lines for ever, a megabyte at a time as the client reads.
  ScriptServer endlessList(
      "+OK\r\n", Dialogue("+OK 2 20\r\n", [](QTcpSocket& peer, const QByteArray& c) {
        if (c != "LIST") return;
        QByteArray lines;
        while (lines.size() < (1 << 20)) lines += "1 10\r\n";
        peer.write("+OK\r\n" + lines);
        QObject::connect(&peer, &QTcpSocket::bytesWritten, &peer, [&peer, lines] {
          if (peer.bytesToWrite() < (1 << 20)) peer.write(lines);
        });
      }));
  int tops = 0;
  ScriptServer absurd(
      "+OK\r\n", Dialogue("+OK 2000000000 1\r\n", [&tops](QTcpSocket& peer, const QByteArray& c) {
        if (c == "LIST") return (void)peer.write("+OK\r\n1 5\r\n.\r\n");
        if (!c.startsWith("TOP ")) return (void)peer.write("-ERR\r\n");
        ++tops;
        peer.write("+OK\r\nSubject: " + c.mid(4) + "\r\n\r\nSubject: body\r\n.\r\n");
      }));

  NoResolver resolver;
  QtNetworkFactory network(resolver);
  QtTimerFactory timers;
  SystemClock clock;
  TPop3Cli client(network);
  NullView view;
  TMailCheck mail(client, view, clock, timers);
  mail.RequireEncryption = false;
  mail.ReadTimeoutSeconds = 1;
  std::vector<TPOP3Object> boxes;
  for (const ScriptServer* s : {&silent, &endlessGreeting, &closesInList, &endlessList, &absurd}) {
    TPOP3Object b;
    b.server = "127.0.0.1";
    b.port = s->Port();
    b.user = "u" + std::to_string(boxes.size());
    b.password = "p";
    boxes.push_back(b);
  }
  mail.SetMailboxes(boxes);
  const auto start = std::chrono::steady_clock::now();
  mail.CallStarted();
  ASSERT_TRUE(test::PumpUntil([&] { return !mail.Busy(); }, 60s)) << view.label;
  const auto seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 30.0);

  const auto& got = mail.Mailboxes();
  EXPECT_EQ(got[0].lastError, "-ERR Read timeout: no answer in 1 s");
  EXPECT_EQ(got[1].lastError, "-ERR Reply too long");
  EXPECT_EQ(got[2].lastError, "-ERR Disconneced unexpectedly");
  EXPECT_EQ(got[3].lastError, "-ERR Reply too long");
  EXPECT_EQ(got[4].lastError, "");
  EXPECT_EQ(tops, TMailCheck::kMaxHeadersPerCheck);
  ASSERT_EQ(got[4].messages.size(), 1000u);
  EXPECT_EQ(got[4].messages[0].subject, "1999999001 1") << "the newest, headers only";
  EXPECT_EQ(got[4].serverCount, 2000000000);
  EXPECT_EQ(view.label.rfind("Controllo posta non riuscito alle ore ", 0), 0u) << view.label;
  for (const char* user : {"u0@", "u1@", "u2@", "u3@"})
    EXPECT_NE(view.hint.find(user), std::string::npos) << view.hint;
}

}  // namespace
}  // namespace orva

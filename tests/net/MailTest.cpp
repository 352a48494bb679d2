// The mail check cycle against scripted maildrops, header capture and the POP3.LST table.
#include "net/Mail.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>

#include "Pop3ScriptedServer.h"
#include "SntpFakeNetwork.h"
#include "TempDir.h"
#include "net/SntpCheck.h"
#include "simulation/ManualClock.h"

namespace orva {
namespace {

class RecordingView final : public MailView {
 public:
  void SetPop3Label(const std::string& t) override { labels.push_back(t); }
  void SetMailIcon(bool v, bool a) override { visible = v, animated = a; }
  void SetMailIconHint(const std::string& h) override { hints.push_back(h); }
  void RefreshDisplay() override { ++refreshes; }
  void PlayNewMailSound() override { ++sounds; }
  void ShowNewMailBox() override { ++boxes; }
  std::vector<std::string> labels, hints;
  bool visible = false, animated = false;
  int refreshes = 0, sounds = 0, boxes = 0;
};

// A maildrop per host name; each message is its header text and its size in bytes.
struct Maildrop {
  std::vector<std::pair<std::string, int>> messages;
  std::string greeting = "+OK ready\r\n";
  bool closeInTop = false;
};

class MailCycleTest : public ::testing::Test {
 protected:
  MailCycleTest() : clock(EncodeDate(2025, 3, 4) + EncodeTime(9, 30, 0)) {
    mail.RequireEncryption = false;
  }

  void Boxes(std::initializer_list<std::string> hosts) {
    std::vector<TPOP3Object> boxes;
    for (const auto& h : hosts) {
      TPOP3Object o;
      o.server = h;
      o.port = "110";
      o.user = "u";
      o.password = "p";
      boxes.push_back(o);
    }
    mail.SetMailboxes(boxes);
  }

  // Plays the server's side until the client has nothing more to say.
  void Pump() {
    for (int guard = 0; guard < 100000; ++guard) {
      if (client.opens > m_opens) {
        m_opens = client.opens;
        m_drop = &drops[client.openedHost];
        client.Accept(m_drop->greeting);
        continue;
      }
      auto commands = client.TakeCommands();
      if (commands.empty()) {
        clock.AdvanceMs(1);  // the next mailbox starts from the event loop
        if (client.opens > m_opens || !client.TakeCommands().empty()) continue;
        return;
      }
      for (const auto& c : commands) {
        client.commands.push_back(c);
        Answer(c);
      }
    }
    FAIL() << "the cycle does not end";
  }

  void Answer(const std::string& c) {
    const auto& msgs = m_drop->messages;
    if (c.rfind("USER", 0) == 0 || c.rfind("PASS", 0) == 0) return client.Reply("+OK\r\n");
    if (c == "STAT") {
      int total = 0;
      for (const auto& m : msgs) total += m.second;
      return client.Reply("+OK " + std::to_string(msgs.size()) + " " + std::to_string(total) +
                          "\r\n");
    }
    if (c == "LIST") {
      std::string r = "+OK\r\n";
      for (std::size_t i = 0; i < msgs.size(); ++i)
        r += std::to_string(i + 1) + " " + std::to_string(msgs[i].second) + "\r\n";
      return client.Reply(r + ".\r\n");
    }
    if (c.rfind("TOP ", 0) == 0) {
      const std::size_t n = std::stoul(c.substr(4));
      if (m_drop->closeInTop) {
        client.Reply("+OK\r\nFrom: half\r\n");
        return client.PeerCloses();
      }
      return client.Reply("+OK\r\n" + msgs.at(n - 1).first + "\r\nbody\r\n.\r\n");
    }
    if (c == "QUIT") return client.Reply("+OK bye\r\n");
    client.Reply("-ERR unknown\r\n");
  }

  struct Client : test::ScriptedPop3 {
    std::vector<std::string> commands;
  };
  ManualClock clock;
  Client client;
  RecordingView view;
  TMailCheck mail{client, view, clock, clock};
  std::map<std::string, Maildrop> drops;

 private:
  int m_opens = 0;
  Maildrop* m_drop = nullptr;
};

TEST_F(MailCycleTest, OneMailboxHeadersSizesAndNotice) {
  Boxes({"pop.example.org"});
  drops["pop.example.org"].messages = {
      {"From: Anna <anna@example.org>\r\nSubject:  Ciao \r\n"
       "Date: Tue, 07 Dec 1999 10:11:12 +0100",
       1536},
      {"FROM:bob@example.org\r\nsubject: due\r\nDATE: 5 Oct 2025 08:00:59 GMT", 100}};
  mail.CallStarted();
  EXPECT_TRUE(mail.Busy());
  EXPECT_TRUE(view.animated);
  EXPECT_EQ(view.hints.front(), "Controllo posta su u@pop.example.org");
  Pump();
  EXPECT_EQ(client.commands, (std::vector<std::string>{"USER u", "PASS p", "STAT", "LIST",
                                                       "TOP 1 1", "TOP 2 1", "QUIT"}));
  const auto& box = mail.Mailboxes()[0];
  ASSERT_EQ(box.messages.size(), 2u);
  EXPECT_EQ(box.messages[0].sender, "Anna <anna@example.org>");
  EXPECT_EQ(box.messages[0].subject, "Ciao");
  EXPECT_EQ(box.messages[0].date, "07/12/99");
  EXPECT_EQ(box.messages[0].time, "10:11");
  EXPECT_EQ(box.messages[0].size, "1.50");
  EXPECT_EQ(box.messages[0].bytes, 1536);
  EXPECT_EQ(box.messages[1].sender, "bob@example.org");
  EXPECT_EQ(box.messages[1].date, "05/10/25");
  EXPECT_EQ(box.messages[1].time, "08:00");
  EXPECT_EQ(box.messages[1].size, "0.10");
  EXPECT_FALSE(mail.Busy());
  EXPECT_EQ(view.labels.back(), "Posta controllata alle ore 09.30.00");
  EXPECT_EQ(mail.Hint(), " u@pop.example.org (2)    ");
  EXPECT_TRUE(view.visible);
  EXPECT_FALSE(view.animated);
  EXPECT_EQ(view.sounds, 1);
  EXPECT_EQ(view.boxes, 1);
  EXPECT_EQ(view.refreshes, 1);
}

TEST_F(MailCycleTest, EmptyMailboxListsAndQuitsWithoutTop) {
  Boxes({"a"});
  mail.CallStarted();
  Pump();
  EXPECT_EQ(client.commands,
            (std::vector<std::string>{"USER u", "PASS p", "STAT", "LIST", "QUIT"}));
  EXPECT_FALSE(view.visible);
  EXPECT_EQ(view.boxes, 0);
  EXPECT_NEAR(mail.Mailboxes()[0].lastEmpty, clock.Now(), kOneSecond);
  EXPECT_EQ(mail.Hint(), "");
}

TEST_F(MailCycleTest, OneNoticePerCycleOnlyWhenSomeCountGrew) {
  Boxes({"a", "b"});
  auto msg = std::make_pair(std::string("From: x"), 10);
  drops["a"].messages = {msg};
  drops["b"].messages = {msg, msg};
  mail.CallStarted();
  Pump();
  EXPECT_EQ(view.boxes, 1) << "both grew from 0: one notice";
  EXPECT_EQ(mail.Hint(), " u@a (1)    " + std::string(" u@b (2)    "));
  // Stays equal and drops: no notice.
  drops["b"].messages = {msg};
  mail.Check1Click();
  Pump();
  EXPECT_EQ(view.boxes, 1);
  EXPECT_EQ(view.sounds, 1);
  // One grows.
  drops["a"].messages.push_back(msg);
  mail.Check1Click();
  Pump();
  EXPECT_EQ(view.boxes, 2);
  EXPECT_TRUE(mail.Mailboxes()[0].newMail);
  EXPECT_FALSE(mail.Mailboxes()[1].newMail);
}

// A notification service that is there or not and records what it is given.
struct RecordingNotifier final : Notifier {
  bool available = true;
  std::vector<Notice> shown;
  std::function<void()> undelivered;
  bool Available() const override { return available; }
  void Notify(const Notice& n, std::function<void()> failed) override {
    shown.push_back(n);
    undelivered = std::move(failed);
  }
};

TEST_F(MailCycleTest, NewMailIsANotificationNamingTheMailboxesThatGrewElseTheBox) {
  RecordingNotifier notifier;
  mail.notifier = &notifier;
  Boxes({"a", "b"});
  auto msg = std::make_pair(std::string("From: x"), 10);
  drops["a"].messages = {msg};
  drops["b"].messages = {msg, msg};
  mail.CallStarted();
  Pump();
  ASSERT_EQ(notifier.shown.size(), 1u);
  EXPECT_EQ(notifier.shown[0].summary, "C'è posta per te !");
  EXPECT_EQ(notifier.shown[0].body, "u@a: 1 messaggio\nu@b: 2 messaggi");
  EXPECT_EQ(view.boxes, 0);
  EXPECT_EQ(view.sounds, 1);
  // Only the mailbox that grew is named.
  drops["b"].messages.push_back(msg);
  mail.Check1Click();
  Pump();
  ASSERT_EQ(notifier.shown.size(), 2u);
  EXPECT_EQ(notifier.shown[1].body, "u@b: 3 messaggi");
  // The service takes it no more: the box after all.
  ASSERT_TRUE(notifier.undelivered);
  notifier.undelivered();
  EXPECT_EQ(view.boxes, 1);
  // No service, or the option off: the box.
  notifier.available = false;
  drops["a"].messages.push_back(msg);
  mail.Check1Click();
  Pump();
  EXPECT_EQ(view.boxes, 2);
  notifier.available = true;
  mail.NotifyNewMail = false;
  drops["a"].messages.push_back(msg);
  mail.Check1Click();
  Pump();
  EXPECT_EQ(view.boxes, 3);
  EXPECT_EQ(notifier.shown.size(), 2u);
}

TEST_F(MailCycleTest, FailedMailboxDoesNotStopTheWalkNorFakeNewMailLater) {
  Boxes({"down", "up"});
  auto msg = std::make_pair(std::string("From: x"), 10);
  drops["down"].messages = {msg};
  drops["up"].messages = {msg};
  mail.CallStarted();
  Pump();
  ASSERT_EQ(mail.Mailboxes()[0].previousCount, 1);
  // Next time the first server refuses: no QUIT on a closed connection, the walk goes on.
  drops["down"].greeting = "-ERR go away\r\n";
  client.commands.clear();
  mail.Check1Click();
  Pump();
  EXPECT_EQ(client.commands,
            (std::vector<std::string>{"USER u", "PASS p", "STAT", "LIST", "TOP 1 1", "QUIT"}));
  EXPECT_EQ(mail.Mailboxes()[0].previousCount, 1);
  EXPECT_EQ(mail.Mailboxes()[0].lastError, "-ERR go away");
  EXPECT_EQ(mail.Mailboxes()[1].lastError, "");
  EXPECT_FALSE(mail.Busy());
  // Back again with the same message: not new.
  drops["down"].greeting = "+OK\r\n";
  mail.Check1Click();
  Pump();
  EXPECT_EQ(view.boxes, 1);
}

TEST_F(MailCycleTest, CloseInTheMiddleOfTopEndsTheMailbox) {
  Boxes({"a"});
  drops["a"].messages = {{"From: x", 10}};
  drops["a"].closeInTop = true;
  mail.CallStarted();
  Pump();
  EXPECT_FALSE(mail.Busy());
  EXPECT_TRUE(mail.Mailboxes()[0].messages.empty());
  EXPECT_EQ(client.commands.back(), "TOP 1 1");
  EXPECT_EQ(view.labels.back(),
            "Controllo posta non riuscito alle ore 09.30.00: u@a (-ERR Disconneced unexpectedly)");
}

TEST_F(MailCycleTest, SilentServersTimeOutAndTheCycleGoesOn) {
  // a: accepts and says nothing; b: stops in the middle of LIST; c: never answers QUIT;
  // d: sound.
  Boxes({"a", "b", "c", "d"});
  mail.ReadTimeoutSeconds = 60;
  drops["d"].messages = {{"From: x", 10}};
  mail.CallStarted();
  client.TakeCommands();  // connecting to a: no greeting ever comes
  clock.AdvanceMs(59999);
  EXPECT_EQ(client.opens, 1);
  clock.AdvanceMs(1);
  clock.AdvanceMs(1);
  ASSERT_EQ(client.opens, 2) << "a timed out, b starts";
  client.Accept("+OK\r\n");
  for (const char* line : {"+OK\r\n", "+OK\r\n", "+OK 2 20\r\n"}) {
    client.TakeCommands();
    client.Reply(line);
  }
  client.Reply("+OK\r\n1 10\r\n");  // and then silence in the middle of LIST
  clock.AdvanceMs(30000);
  client.Reply("2 1");  // a trickle keeps it alive
  clock.AdvanceMs(59999);
  EXPECT_EQ(client.opens, 2);
  clock.AdvanceMs(2);
  ASSERT_EQ(client.opens, 3) << "b timed out";
  client.Accept("+OK\r\n");
  for (const char* line : {"+OK\r\n", "+OK\r\n", "+OK 0 0\r\n", "+OK\r\n.\r\n"}) {
    client.TakeCommands();
    client.Reply(line);
  }
  EXPECT_EQ(client.TakeCommands(), std::vector<std::string>{"QUIT"});
  clock.AdvanceMs(60001);  // no answer to QUIT
  ASSERT_EQ(client.opens, 4);
  EXPECT_TRUE(mail.Busy());
  Pump();
  EXPECT_FALSE(mail.Busy());
  const auto& boxes = mail.Mailboxes();
  EXPECT_EQ(boxes[0].lastError, "-ERR Read timeout: no answer in 60 s");
  EXPECT_EQ(boxes[1].lastError, "-ERR Read timeout: no answer in 60 s");
  EXPECT_EQ(boxes[2].lastError, "-ERR Read timeout: no answer in 60 s");
  EXPECT_EQ(boxes[2].serverCount, 0) << "what c said before QUIT holds";
  EXPECT_EQ(boxes[3].lastError, "");
  EXPECT_EQ(boxes[3].messages.size(), 1u);
  EXPECT_EQ(view.labels.back().rfind("Controllo posta non riuscito alle ore 09.3", 0), 0u)
      << view.labels.back();
  EXPECT_NE(view.labels.back().find("u@a (-ERR Read timeout"), std::string::npos);
  EXPECT_NE(mail.Hint().find(" u@b (errore: -ERR Read timeout: no answer in 60 s)    "),
            std::string::npos);
  EXPECT_NE(mail.Hint().find(" u@d (1)    "), std::string::npos);
  EXPECT_TRUE(view.visible);
}

TEST_F(MailCycleTest, DrippingServerEndsAtTheMailboxDeadlineAndTheNextIsChecked) {
  // a: a greeting that never ends, one byte a second, each in time for the read time-out.
  Boxes({"a", "b"});
  drops["b"].messages = {{"From: x", 10}};
  mail.CallStarted();
  client.Accept("+");
  int seconds = 0;
  for (; seconds < 600 && client.closes == 0; ++seconds) {
    clock.AdvanceMs(1000);
    client.Reply("O");
  }
  EXPECT_EQ(seconds, 120) << "a's connection is closed after two minutes (two read time-outs)";
  clock.AdvanceMs(1);
  ASSERT_EQ(client.opens, 2) << "b starts";
  EXPECT_EQ(mail.Mailboxes()[0].lastError,
            "Tempo scaduto per la casella: controllo non finito in 120 s");
  EXPECT_TRUE(mail.Busy());
  Pump();
  EXPECT_FALSE(mail.Busy());
  EXPECT_EQ(mail.Mailboxes()[0].previousCount, 0);
  EXPECT_EQ(mail.Mailboxes()[1].lastError, "");
  EXPECT_EQ(mail.Mailboxes()[1].messages.size(), 1u);
  EXPECT_EQ(view.labels.back(),
            "Controllo posta non riuscito alle ore 09.32.00: u@a (Tempo scaduto per la casella: "
            "controllo non finito in 120 s)");
  EXPECT_EQ(view.boxes, 1) << "b's new mail is told";
}

TEST_F(MailCycleTest, MailboxDeadlineGrowsWithTheHeadersToReadAndBoundsADrippedReply) {
  Boxes({"a"});
  mail.MailboxDeadlineMs = 10000;
  mail.MailboxDeadlineMsPerMessage = 5000;
  // Three headers, each answered after 6 s: 18 s in all, longer than the 10 s for the rest of
  // the session but within the 25 s the three headers earn.
  const auto session = [&](const std::function<void(int top)>& answerTop) {
    mail.Check1Click();
    client.Accept("+OK\r\n");
    for (const char* line : {"+OK\r\n", "+OK\r\n", "+OK 3 30\r\n", "+OK\r\n.\r\n"}) {
      client.TakeCommands();
      client.Reply(line);
    }
    for (int top = 1; top <= 3 && client.TakeCommands() ==
                                      std::vector<std::string>{"TOP " + std::to_string(top) + " 1"};
         ++top)
      answerTop(top);
  };
  mail.CallStarted();
  Pump();
  session([&](int) {
    clock.AdvanceMs(6000);
    client.Reply("+OK\r\nFrom: x\r\n.\r\n");
  });
  EXPECT_EQ(client.TakeCommands(), std::vector<std::string>{"QUIT"});
  client.Reply("+OK\r\n");
  EXPECT_FALSE(mail.Busy());
  EXPECT_EQ(mail.Mailboxes()[0].lastError, "");
  EXPECT_EQ(mail.Mailboxes()[0].messages.size(), 3u);

  // The third reply drips: the check ends when the 25 s are up.
  session([&](int top) {
    if (top < 3) return client.Reply("+OK\r\nFrom: x\r\n.\r\n");
    client.Reply("+OK\r\n");
    for (int i = 0; i < 60 && mail.Busy(); ++i) {
      clock.AdvanceMs(1000);
      client.Reply("F");
    }
  });
  EXPECT_FALSE(mail.Busy());
  EXPECT_EQ(mail.Mailboxes()[0].lastError,
            "Tempo scaduto per la casella: controllo non finito in 25 s");
  EXPECT_EQ(mail.Mailboxes()[0].messages.size(), 2u) << "the headers read before stay";
  EXPECT_EQ(mail.Mailboxes()[0].previousCount, 3) << "a failed check leaves the count alone";
}

TEST_F(MailCycleTest, ClosingTheWindowStopsNothingAndNoSecondCheckOverlaps) {
  Boxes({"a", "b"});
  drops["a"].messages = drops["b"].messages = {{"From: x", 10}};
  mail.CallStarted();
  ASSERT_TRUE(mail.Busy());
  mail.SetMailDialogOpen(true);
  mail.SetMailDialogOpen(false);
  EXPECT_TRUE(mail.Busy()) << "closing the window leaves the running check alone";
  mail.Check1Click();
  mail.MailCheckEnabled = true;
  mail.MeteringTick(true);
  EXPECT_EQ(client.opens, 1) << "no second check over the running one";
  // The window opened in the middle of a cycle: the cycle still walks every mailbox.
  mail.SetMailDialogOpen(true);
  Pump();
  EXPECT_EQ(client.opens, 2);
  EXPECT_EQ(mail.Mailboxes()[1].messages.size(), 1u);
  for (const auto& l : view.labels) EXPECT_EQ(l.find("already connected"), std::string::npos);
}

TEST_F(MailCycleTest, CallEndStopsTheCycleAndSaysWhatWasNotChecked) {
  Boxes({"a", "b"});
  mail.CallStarted();
  client.Accept("-ERR busy\r\n");
  mail.CallEnded();
  clock.AdvanceMs(5);
  EXPECT_FALSE(mail.Busy());
  EXPECT_EQ(client.opens, 1);
  EXPECT_EQ(mail.Mailboxes()[0].lastError, "-ERR busy");
  EXPECT_EQ(mail.Mailboxes()[1].lastError, "not checked: the call ended");
  EXPECT_EQ(view.labels.back(),
            "Controllo posta non riuscito alle ore 09.30.00: u@a (-ERR busy); u@b (not checked: "
            "the call ended)");
}

TEST_F(MailCycleTest, MailboxListSurvivesFailedReadsAndWaitsForTheCycle) {
  test::TempDir dir;
  const auto path = dir.File("POP3.LST");
  ASSERT_TRUE(WritePop3List(path, {{"a", "110", "u", "p", true}, {"b", "110", "u", "p", true}}));
  ASSERT_TRUE(mail.LoadMailboxes(path));
  drops["a"].messages = {{"From: x", 10}};
  mail.CallStarted();
  Pump();
  ASSERT_EQ(mail.Mailboxes()[0].previousCount, 1);
  // A folder where the file should be: unreadable. The list stays.
  test::TempDir other;
  std::filesystem::create_directory(other.File("POP3.LST"));
  EXPECT_FALSE(mail.LoadMailboxes(other.File("POP3.LST")));
  EXPECT_EQ(mail.Mailboxes().size(), 2u);
  // A new list while a check runs waits for the end of the cycle; a mailbox that stays keeps
  // its count, so it brings no false notice.
  ASSERT_TRUE(WritePop3List(path, {{"a", "110", "u", "p", true}}));
  mail.Check1Click();
  ASSERT_TRUE(mail.LoadMailboxes(path));
  EXPECT_EQ(mail.Mailboxes().size(), 2u);
  Pump();
  ASSERT_EQ(mail.Mailboxes().size(), 1u);
  EXPECT_EQ(mail.Mailboxes()[0].previousCount, 1);
  EXPECT_EQ(view.boxes, 1);
}

TEST_F(MailCycleTest, PeriodIsCountedFromTheEndOfTheCycle) {
  Boxes({"a"});
  mail.MailCheckEnabled = true;
  mail.CheckEveryMinutes = 15;
  mail.ReadTimeoutSeconds = 3600;
  mail.CallStarted();
  clock.AdvanceMs(10 * 60000);  // a slow server: the cycle takes ten minutes
  Pump();
  ASSERT_FALSE(mail.Busy());
  const int opens = client.opens;
  clock.AdvanceMs(14 * 60000);
  mail.MeteringTick(true);
  EXPECT_EQ(client.opens, opens) << "24 minutes from the start, 14 from the end";
  clock.AdvanceMs(60000);
  mail.MeteringTick(true);
  EXPECT_EQ(client.opens, opens + 1);
}

TEST_F(MailCycleTest, AbsurdCountListsTheNewestBoundedHeaders) {
  Boxes({"a"});
  mail.CallStarted();
  Pump();
  // A server claiming 100 million messages and listing three.
  client.commands.clear();
  mail.Check1Click();
  client.Accept("+OK\r\n");
  for (const char* line : {"+OK\r\n", "+OK\r\n", "+OK 100000000 1\r\n"}) {
    client.TakeCommands();
    client.Reply(line);
  }
  client.TakeCommands();
  std::string list = "+OK\r\n";
  for (int i = 1; i <= 100; ++i) list += std::to_string(99999900 + i) + " 2048\r\n";
  client.Reply(list + ".\r\n");
  int tops = 0;
  for (std::vector<std::string> c = client.TakeCommands(); !c.empty(); c = client.TakeCommands()) {
    if (c[0].rfind("TOP ", 0) != 0) break;
    if (tops == 0) {
      EXPECT_EQ(c[0], "TOP 99999001 1");
    }
    ++tops;
    client.Reply("+OK\r\nSubject: s\r\n.\r\n");
  }
  EXPECT_EQ(tops, TMailCheck::kMaxHeadersPerCheck);
  client.Reply("+OK\r\n");
  const auto& box = mail.Mailboxes()[0];
  EXPECT_EQ(box.messages.size(), 1000u);
  EXPECT_EQ(box.serverCount, 100000000);
  EXPECT_EQ(box.messages[900].size, "2.00") << "sizes of the newest messages, in their place";
  EXPECT_EQ(box.messages[899].size, "");
}

TEST_F(MailCycleTest, StartConditionsAndThePeriodicCheck) {
  Boxes({"a"});
  mail.CheckMail(true);
  EXPECT_FALSE(mail.Busy()) << "no call: no check";
  mail.CallStarted();
  Pump();
  const int cycles = static_cast<int>(client.opens);
  mail.MeteringTick(true);
  EXPECT_FALSE(mail.Busy()) << "periodic checks are off";
  mail.MailCheckEnabled = true;
  mail.CheckEveryMinutes = 15;
  clock.AdvanceMs(14 * 60000 + 59000);
  mail.MeteringTick(true);
  EXPECT_FALSE(mail.Busy());
  clock.AdvanceMs(1000);
  mail.MeteringTick(false);
  EXPECT_FALSE(mail.Busy()) << "no local address";
  mail.SetMailDialogOpen(true);
  mail.MeteringTick(true);
  EXPECT_FALSE(mail.Busy()) << "the mail window is open";
  mail.SetMailDialogOpen(false);
  mail.MeteringTick(true);
  EXPECT_TRUE(mail.Busy());
  Pump();
  EXPECT_EQ(client.opens, cycles + 1);
  mail.CallEnded();
  clock.AdvanceMs(3600000);
  mail.MeteringTick(true);
  EXPECT_FALSE(mail.Busy());
}

TEST_F(MailCycleTest, AbortAndStepsThatCannotStart) {
  Boxes({"a", "b"});
  mail.CallStarted();
  client.Accept("+OK\r\n");  // greeting of a; USER is out
  mail.Abort1Click();
  EXPECT_FALSE(mail.Busy());
  EXPECT_EQ(view.labels.back(), "Abort ok");
  clock.AdvanceMs(10);
  EXPECT_EQ(client.opens, 1) << "no further mailbox after an abort";

  // A port that is no port: the step fails at once and the cycle still ends.
  std::vector<TPOP3Object> boxes(1);
  boxes[0].server = "a";
  boxes[0].port = "pop-three";
  mail.SetMailboxes(boxes);
  mail.Check1Click();
  EXPECT_NE(
      std::find(view.labels.begin(), view.labels.end(), "Connect failed (Invalid port pop-three)"),
      view.labels.end());
  EXPECT_FALSE(mail.Busy());
}

TEST_F(MailCycleTest, TimeCheckAnswerLeavesTheMailCheckBusy) {
  Boxes({"a"});
  mail.CallStarted();
  ASSERT_TRUE(mail.Busy());
  test::FakeNetwork net;
  TSNTPClient sntp(net, clock, clock);
  sntp.NextTransmitStamp = [] { return 0x0102030405060708ull; };
  TNetworkTimeCheck time(sntp, clock);
  time.SetServers({"192.0.2.1"});
  time.SetCallHasAddress(true);
  time.SetGetNetworkTime(true);
  time.CheckNetworkTime();
  std::string reply(48, '\0');
  reply[0] = 0x1C;
  reply[1] = 2;
  reply[40] = static_cast<char>(0xEB);
  for (int i = 0; i < 8; ++i) reply[24 + i] = static_cast<char>(i + 1);
  net.Deliver(reply, "192.0.2.1");
  ASSERT_TRUE(time.Difference());
  EXPECT_TRUE(mail.Busy());
  mail.Check1Click();  // so a second check cannot start on the same client
  EXPECT_EQ(client.opens, 1);
}

TEST(MailHeaders, DatesSendersAndSubjects) {
  struct Case {
    const char* line;
    const char* date;
    const char* time;
  } cases[] = {
      {"Date: Tue, 07 Dec 1999 10:11:12 +0100", "07/12/99", "10:11"},
      {"date: Wed, 1 Jan 2025 00:00:00 GMT", "01/01/25", "00:00"},
      {"Date: Fri, 3 Mar 2023 08:09:10 +0000", "03/03/23", "08:09"},
      {"Date: 07 Dec 1999 10:11:12 +0100", "07/12/99", "10:11"},
      {"Date: Tue, 07", "", ""},
      {"Date:", "", ""},
      {"Date: Tue, 07 Dec 99 1:2", "07/12/99", "1:2"},
  };
  for (const auto& c : cases) {
    const auto m = ParseMessageHeaders({c.line});
    EXPECT_EQ(m.date, c.date) << c.line;
    EXPECT_EQ(m.time, c.time) << c.line;
  }
  const auto m = ParseMessageHeaders(
      {"Received: from: nobody", "From: " + std::string(300, 'f'), "Subject: caf\xe8", "X: y"});
  EXPECT_EQ(m.sender.size(), 128u);
  EXPECT_EQ(m.subject, "caf\xc3\xa8");
  // A body line that looks like a header does not replace the real one.
  const auto body = ParseMessageHeaders(
      {"Subject: real", "From: a@b", "", "Subject: fake", "From: x@y", "Date: 1 Jan 2001 0:0:0"});
  EXPECT_EQ(body.subject, "real");
  EXPECT_EQ(body.sender, "a@b");
  EXPECT_EQ(body.date, "");
  EXPECT_EQ(ListLineSizeText("3 1536"), "1.50");
  EXPECT_EQ(ListLineSizeText("3 0"), "0.00");
  EXPECT_EQ(ListLineSizeText("3"), "");
  EXPECT_EQ(ListLineSizeText("3 lots"), "");
}

TEST(Pop3List, RecordsRoundTripAndHostileLengthsAreCut) {
  std::vector<Pop3Record> records = {
      {"pop.example.org", "110", "anna", "s3gr\xc3\xa8to", true},
      {std::string(200, 's'), "123456789", std::string(70, 'u'), std::string(50, 'p'), false}};
  const std::string bytes = EncodePop3List(records);
  ASSERT_EQ(bytes.size(), 2 * kPop3RecordSize);
  EXPECT_EQ(bytes[0], 15);
  EXPECT_EQ(static_cast<unsigned char>(bytes[202 + 1 + 4]), 0xE8) << "Windows-1252 on disk";
  const auto back = DecodePop3List(bytes + std::string(100, 'x'));  // partial record ignored
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0], records[0]);
  EXPECT_EQ(back[1].server.size(), 127u);
  EXPECT_EQ(back[1].port, "12345678");
  EXPECT_EQ(back[1].user.size(), 64u);
  EXPECT_EQ(back[1].password.size(), 40u);
  EXPECT_FALSE(back[1].enabled);

  std::string hostile(kPop3RecordSize, 'A');
  for (std::size_t at : {0u, 128u, 137u, 202u}) hostile[at] = static_cast<char>(0xFF);
  hostile[243] = 1;
  const auto cut = DecodePop3List(hostile);
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_EQ(cut[0].server.size(), 127u);
  EXPECT_EQ(cut[0].port.size(), 8u);
  EXPECT_EQ(cut[0].user.size(), 64u);
  EXPECT_EQ(cut[0].password.size(), 40u);
  EXPECT_TRUE(cut[0].enabled);
  EXPECT_EQ(MailboxesFrom(back).size(), 1u) << "only enabled records become mailboxes";
}

TEST(Pop3List, FileIsOwnerOnlyAndMissingMeansEmpty) {
  test::TempDir dir;
  const auto path = dir.File("POP3.LST");
  auto none = ReadPop3List(path);
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->empty());
  test::WriteBytes(path, "");
  chmod(path.c_str(), 0644);
  ASSERT_TRUE(WritePop3List(path, {{"h", "110", "u", "secret", true}}));
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  auto read = ReadPop3List(path);
  ASSERT_TRUE(read);
  ASSERT_EQ(read->size(), 1u);
  EXPECT_EQ((*read)[0].password, "secret");
}

}  // namespace
}  // namespace orva

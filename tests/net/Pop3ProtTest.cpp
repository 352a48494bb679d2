// The POP3 client against scripted server transcripts.
#include "net/Pop3Prot.h"

#include <gtest/gtest.h>

#include "Pop3ScriptedServer.h"
#include "simulation/ManualClock.h"

namespace orva {
namespace {

using test::ScriptedPop3;
using R = TPop3Request;
using S = TPop3ProtocolState;

TEST(Pop3Md5, MatchesTheApopExampleAndRfc1321) {
  EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Md5Hex("<1896.697170952@dbc.mtview.ca.us>tanstaaf"),
            "c4c9334bac560ecc979e58001b3e22fb");
}

TEST(Pop3Login, GreetingWithTimestampAllowsApop) {
  ScriptedPop3 c;
  c.Host = " mail.example.org ";
  c.UserName = " mrose ";
  c.PassWord = "tanstaaf";
  c.Connect();
  EXPECT_EQ(c.openedHost, "mail.example.org");
  EXPECT_EQ(c.openedPort, 110);
  // The greeting arrives in two pieces.
  c.TransportConnected();
  c.Reply("+OK POP3 server ready <1896.697170952@dbc.mtv");
  EXPECT_TRUE(c.done.empty());
  c.Reply("iew.ca.us> more\r\n");
  ASSERT_EQ(c.done.size(), 1u);
  EXPECT_EQ(c.done[0].request, R::pop3Connect);
  EXPECT_EQ(c.done[0].error, 0);
  EXPECT_EQ(c.Timestamp(), "<1896.697170952@dbc.mtview.ca.us>");
  EXPECT_EQ(c.ProtocolState(), S::pop3WaitingUser);
  c.APop();
  EXPECT_EQ(c.TakeCommands(),
            std::vector<std::string>{"APOP mrose c4c9334bac560ecc979e58001b3e22fb"});
  c.Reply("+OK maildrop has 1 message\r\n");
  EXPECT_EQ(c.done.back().error, 0);
  EXPECT_EQ(c.ProtocolState(), S::pop3Transaction);
}

TEST(Pop3Login, GreetingWithoutTimestampRefusesApopButTakesUserPass) {
  ScriptedPop3 c;
  c.UserName = "u";
  c.PassWord = "p";
  c.Connect();
  c.Accept("+OK hello\r\n");
  EXPECT_EQ(c.Timestamp(), "");
  c.APop();
  EXPECT_TRUE(c.TakeCommands().empty());
  EXPECT_EQ(c.done.back().request, R::pop3APop);
  EXPECT_EQ(c.done.back().error, kPop3ErrorReply);
  EXPECT_EQ(c.done.back().message, "-ERR Server do not support APOP (no timestamp)");
  c.User();
  c.Reply("+OK\r\n");
  EXPECT_EQ(c.ProtocolState(), S::pop3WaitingPass);
  c.Pass();
  c.Reply("+OK\r\n");
  EXPECT_EQ(c.TakeCommands(), (std::vector<std::string>{"USER u", "PASS p"}));
  EXPECT_EQ(c.ProtocolState(), S::pop3Transaction);
}

TEST(Pop3Login, NegativeGreetingAndWrongPassword) {
  ScriptedPop3 c;
  c.Connect();
  c.Accept("-ERR too busy\r\n");
  EXPECT_EQ(c.done.back().error, kPop3ErrorReply);
  EXPECT_EQ(c.done.back().message, "-ERR too busy");
  EXPECT_EQ(c.ProtocolState(), S::pop3Disconnected);
  EXPECT_EQ(c.closes, 1);

  ScriptedPop3 d;
  d.Connect();
  d.Accept("+OK\r\n");
  d.User();
  d.Reply("+OK\r\n");
  d.Pass();
  d.Reply("-ERR [AUTH] Authentication failed.\r\n");
  EXPECT_EQ(d.done.back().error, kPop3ErrorReply);
  EXPECT_EQ(d.done.back().message, "-ERR [AUTH] Authentication failed.");
  EXPECT_EQ(d.ProtocolState(), S::pop3WaitingUser);
}

TEST(Pop3Requests, RefusedOutsideTheirStateOrWhileBusy) {
  ScriptedPop3 c;
  EXPECT_THROW(c.Stat(), Pop3Exception);  // not connected
  try {
    c.Quit();
  } catch (const Pop3Exception& e) {
    EXPECT_STREQ(e.what(), "POP3 component not connected");
  }
  c.Port = "nonsense";
  EXPECT_THROW(c.Connect(), Pop3Exception);
  c.Port = "1110";
  c.Connect();
  EXPECT_EQ(c.openedPort, 1110);
  try {
    c.Noop();
    ADD_FAILURE();
  } catch (const Pop3Exception& e) {
    EXPECT_STREQ(e.what(), "POP3 component not ready");
  }
  c.Accept("+OK\r\n");
  try {
    c.Connect();
    ADD_FAILURE();
  } catch (const Pop3Exception& e) {
    EXPECT_STREQ(e.what(), "POP3 component already connected");
  }
  const std::pair<void (TCustomPop3Cli::*)(), const char*> refused[] = {
      {&TCustomPop3Cli::Pass, "-ERR PASS command invalid now"},
      {&TCustomPop3Cli::RPop, "-ERR RPOP command invalid now"},
      {&TCustomPop3Cli::Stat, "-ERR STAT command invalid now"},
      {&TCustomPop3Cli::List, "-ERR LIST command invalid now"},
      {&TCustomPop3Cli::Top, "-ERR TOP command invalid now"},
      {&TCustomPop3Cli::Dele, "-ERR DELE command invalid now"},
  };
  for (const auto& [call, text] : refused) {
    (c.*call)();
    EXPECT_EQ(c.done.back().message, text);
    EXPECT_EQ(c.done.back().error, kPop3ErrorReply);
  }
  EXPECT_TRUE(c.TakeCommands().empty());
  c.User();
  c.Reply("+OK\r\n");
  c.User();
  EXPECT_EQ(c.done.back().message, "-ERR USER command invalid now");
  c.APop();
  EXPECT_EQ(c.done.back().message, "-ERR APOP command invalid now");
  c.MsgLines = -1;
  EXPECT_THROW(c.Top(), Pop3Exception);
}

TEST(Pop3Requests, LineEndsInNamesNeverReachTheServer) {
  ScriptedPop3 c;
  c.UserName = "a\r\nDELE 1";
  c.Connect();
  c.Accept("+OK\r\n");
  c.User();
  EXPECT_EQ(c.TakeCommands(), std::vector<std::string>{"USER aDELE 1"});
}

TEST(Pop3Transaction, StatAndSingleLineReplies) {
  ScriptedPop3 c;
  c.LogIn();
  c.Stat();
  c.Reply("+OK 2 320\r\n");
  EXPECT_EQ(c.MsgCount(), 2);
  EXPECT_EQ(c.MsgSize(), 320);
  c.MsgNum = 2;
  c.List();
  c.Reply("+OK 2 200\r\n");
  EXPECT_EQ(c.MsgSize(), 200);
  c.Uidl();
  c.Reply("+OK 2 QhdPYR:00WBw1Ph7x7\r\n");
  EXPECT_EQ(c.MsgUidl(), "QhdPYR:00WBw1Ph7x7");
  c.Dele();
  c.Reply("+OK\r\n");
  c.Last();
  c.Reply("+OK 1\r\n");
  EXPECT_EQ(c.MsgNum, 1);
  c.Noop();
  c.Reply("+OK\r\n");
  c.RSet();
  c.Reply("+OK\r\n");
  EXPECT_EQ(c.TakeCommands(), (std::vector<std::string>{"STAT", "LIST 2", "UIDL 2", "DELE 2",
                                                        "LAST", "NOOP", "RSET"}));
  for (const auto& d : c.done) EXPECT_EQ(d.error, 0);
  // Garbage numbers give 0, huge ones saturate rather than wrap.
  c.Stat();
  c.Reply("+OK x 99999999999999999999999\r\n");
  EXPECT_EQ(c.MsgCount(), 0);
  EXPECT_GT(c.MsgSize(), 1LL << 62);
  c.MsgNum = 9;
  c.Dele();
  c.Reply("-ERR no such message\r\n");
  EXPECT_EQ(c.done.back().error, kPop3ErrorReply);
  EXPECT_EQ(c.done.back().message, "-ERR no such message");
  EXPECT_EQ(c.ProtocolState(), S::pop3Transaction);
}

struct Collected {
  std::vector<std::string> lines;
  std::vector<std::string> events;
};

void Collect(TCustomPop3Cli& c, Collected& out) {
  c.OnListBegin = [&] { out.events.push_back("list-begin"); };
  c.OnListLine = [&] { out.lines.push_back(c.LastResponse()); };
  c.OnListEnd = [&] { out.events.push_back("list-end"); };
  c.OnMessageBegin = [&] { out.events.push_back("msg-begin"); };
  c.OnMessageLine = [&] { out.lines.push_back(c.LastResponse()); };
  c.OnMessageEnd = [&] { out.events.push_back("msg-end"); };
}

TEST(Pop3MultiLine, EmptyMailboxListsNothing) {
  ScriptedPop3 c;
  Collected got;
  Collect(c, got);
  c.LogIn();
  c.Stat();
  c.Reply("+OK 0 0\r\n");
  c.MsgNum = 0;
  c.List();
  c.Reply("+OK 0 messages\r\n.\r\n");
  EXPECT_EQ(c.TakeCommands(), (std::vector<std::string>{"STAT", "LIST"}));
  EXPECT_EQ(got.events, (std::vector<std::string>{"list-begin", "list-end"}));
  EXPECT_TRUE(got.lines.empty());
  EXPECT_EQ(c.done.back().request, R::pop3List);
  EXPECT_EQ(c.done.back().error, 0);
}

TEST(Pop3MultiLine, DotStuffedLinesLoseOneDotAndOnlyALoneDotEnds) {
  ScriptedPop3 c;
  Collected got;
  Collect(c, got);
  c.LogIn();
  c.MsgNum = 3;
  c.MsgLines = 1;
  c.Top();
  EXPECT_EQ(c.TakeCommands(), std::vector<std::string>{"TOP 3 1"});
  // Delivered byte by byte to exercise the line buffer across pieces.
  const std::string reply =
      "+OK\r\nFrom: a@b\r\n..\r\n...dots\r\n.x\r\n. \r\nbare lf\n\r\nbody\r\n.\r\n";
  for (char ch : reply) c.Reply(std::string(1, ch));
  EXPECT_EQ(got.lines, (std::vector<std::string>{"From: a@b", ".", "..dots", ".x", ". ", "bare lf",
                                                 "", "body"}));
  EXPECT_EQ(got.events, (std::vector<std::string>{"msg-begin", "msg-end"}));
  ASSERT_EQ(c.done.size(), 1u);
  EXPECT_EQ(c.done[0].error, 0);
  // A negative first line is not a list.
  c.MsgNum = 0;
  c.Uidl();
  c.Reply("-ERR not now\r\n");
  EXPECT_EQ(got.events.size(), 2u);
  EXPECT_EQ(c.done.back().error, kPop3ErrorReply);
}

TEST(Pop3MultiLine, NextReplyInTheSamePieceGoesToTheNextRequest) {
  ScriptedPop3 c;
  c.LogIn();
  c.OnRequestDone = [&](R r, int e) {
    c.done.push_back({r, e, c.ErrorMessage()});
    if (r == R::pop3List) c.Stat();
  };
  c.List();
  c.Reply("+OK\r\n1 10\r\n.\r\n+OK 1 10\r\n");
  ASSERT_EQ(c.done.size(), 2u);
  EXPECT_EQ(c.done[1].request, R::pop3Stat);
  EXPECT_EQ(c.MsgCount(), 1);
}

TEST(Pop3Faults, OverlongLineIsCutAndTheListingGoesOn) {
  ScriptedPop3 c;
  Collected got;
  Collect(c, got);
  c.LogIn();
  c.List();
  // The longest line that fits: 4094 characters and CR LF.
  c.Reply("+OK\r\n" + std::string(4094, 'a') + "\r\n");
  ASSERT_EQ(got.lines.size(), 1u);
  EXPECT_EQ(got.lines[0].size(), 4094u);
  // Longer: cut there, the rest of the line dropped, in whatever pieces it comes.
  c.Reply(std::string(3000, 'b'));
  c.Reply(std::string(2000, 'c') + "\r");
  c.Reply("\n2 20\r\n.\r\n");
  ASSERT_EQ(c.done.size(), 1u);
  EXPECT_EQ(c.done[0].error, 0);
  ASSERT_EQ(got.lines.size(), 3u);
  EXPECT_EQ(got.lines[1], std::string(3000, 'b') + std::string(1094, 'c'));
  EXPECT_EQ(got.lines[2], "2 20");
  EXPECT_EQ(c.ProtocolState(), S::pop3Transaction);
}

TEST(Pop3Faults, EndlessLineIsStoppedWhileItArrives) {
  ScriptedPop3 c;
  c.LogIn();
  c.Stat();
  // A status line that never ends: stopped at the status bound, not buffered.
  const std::string piece(8192, 'x');
  for (int i = 0; i < 100 && c.done.empty(); ++i) c.Reply(piece);
  ASSERT_EQ(c.done.size(), 1u);
  EXPECT_EQ(c.done[0].message, "-ERR Reply too long");
  EXPECT_EQ(c.ProtocolState(), S::pop3Disconnected);
  // In a listing: at the reply bound, line end or not.
  ScriptedPop3 l;
  l.MaxReplyBytes = 100000;
  l.LogIn();
  l.List();
  l.Reply("+OK\r\n");
  int pieces = 0;
  for (; pieces < 1000 && l.done.empty(); ++pieces) l.Reply(piece);
  ASSERT_EQ(l.done.size(), 1u);
  EXPECT_EQ(l.done[0].message, "-ERR Reply too long");
  EXPECT_EQ(pieces, 13);
}

TEST(Pop3Faults, MultiLineReplyThatNeverEndsIsCut) {
  ScriptedPop3 c;
  c.MaxReplyBytes = 1000;
  c.LogIn();
  c.MsgNum = 1;
  c.Retr();
  c.Reply("+OK\r\n");
  for (int i = 0; i < 200 && c.done.empty(); ++i) c.Reply("line line line\r\n");
  ASSERT_EQ(c.done.size(), 1u);
  EXPECT_EQ(c.done[0].error, kPop3ErrorReply);
  EXPECT_EQ(c.done[0].message, "-ERR Reply too long");
  EXPECT_EQ(c.ProtocolState(), S::pop3Disconnected);
}

TEST(Pop3Faults, CloseInTheMiddleOfListOrTop) {
  for (bool top : {false, true}) {
    ScriptedPop3 c;
    Collected got;
    Collect(c, got);
    c.LogIn();
    c.MsgNum = 1;
    if (top)
      c.Top();
    else
      (c.MsgNum = 0, c.List());
    c.Reply("+OK\r\nSubject: half");
    c.Reply(" a line\r\nDate: x\r\n");
    c.PeerCloses();
    ASSERT_EQ(c.done.size(), 1u) << top;
    EXPECT_EQ(c.done[0].request, top ? R::pop3Top : R::pop3List);
    EXPECT_EQ(c.done[0].error, 500);
    EXPECT_EQ(c.done[0].message, "-ERR Disconneced unexpectedly");
    EXPECT_EQ(got.events.size(), 1u) << "no end event for a cut reply";
    EXPECT_EQ(c.ProtocolState(), S::pop3Disconnected);
    EXPECT_THROW(c.Noop(), Pop3Exception);
    c.Connect();  // a new session may start
    EXPECT_EQ(c.opens, 2);
  }
}

TEST(Pop3Faults, SocketErrorWhileConnecting) {
  ScriptedPop3 c;
  c.Connect();
  c.TransportError("Connection refused");
  ASSERT_EQ(c.done.size(), 1u);
  EXPECT_EQ(c.done[0].error, kPop3ErrorReply);
  EXPECT_EQ(c.done[0].message, "-ERR Connection refused");
  EXPECT_FALSE(c.Connected());
}

TEST(Pop3Session, QuitClosesAndAbortEndsTheRunningRequest) {
  ScriptedPop3 c;
  c.LogIn();
  c.Quit();
  c.Reply("+OK bye\r\n");
  EXPECT_EQ(c.done.back().request, R::pop3Quit);
  EXPECT_EQ(c.done.back().error, 0);
  EXPECT_EQ(c.closes, 1);
  EXPECT_EQ(c.ProtocolState(), S::pop3Disconnected);
  c.PeerCloses();  // after our own close: no event
  EXPECT_EQ(c.done.size(), 1u);

  ScriptedPop3 d;
  d.LogIn();
  d.Quit();
  d.PeerCloses();  // the server hung up without answering QUIT: the session is over anyway
  EXPECT_EQ(d.done.back().error, 0);

  ScriptedPop3 e;
  e.LogIn();
  e.List();
  e.Reply("+OK\r\n1 10\r\n");
  e.Abort();
  ASSERT_EQ(e.done.size(), 1u);
  EXPECT_EQ(e.done[0].request, R::pop3Abort);
  EXPECT_EQ(e.done[0].error, kPop3ErrorAborted);
  EXPECT_EQ(e.done[0].message, "426 Operation aborted.");
  EXPECT_FALSE(e.Busy());
  EXPECT_FALSE(e.Connected());
  e.Reply("2 20\r\n.\r\n");
  EXPECT_EQ(e.done.size(), 1u);
}

TEST(Pop3Session, DisplayShowsBothDirections) {
  ScriptedPop3 c;
  std::vector<std::string> shown;
  c.OnDisplay = [&](const std::string& t) { shown.push_back(t); };
  c.Connect();
  c.Accept("+OK hi\r\n");
  c.UserName = "me";
  c.User();
  c.Reply("+OK\r\n");
  EXPECT_EQ(shown, (std::vector<std::string>{"< +OK hi", "> USER me", "< +OK"}));
}

TEST(Pop3Tls, StlsWhenOfferedThenLogin) {
  ScriptedPop3 c;
  c.RequireTls = true;
  c.UserName = "u";
  c.PassWord = "p";
  c.Connect();
  EXPECT_FALSE(c.openedEncrypted);
  c.Accept("+OK ready <1.2@host>\r\n");
  EXPECT_EQ(c.TakeCommands(), std::vector<std::string>{"CAPA"});
  c.Reply("+OK\r\nTOP\r\nstls\r\nUSER\r\n.\r\n");
  EXPECT_EQ(c.TakeCommands(), std::vector<std::string>{"STLS"});
  // Bytes after the go-ahead that were not encrypted are someone else's: never read.
  c.Reply("+OK begin TLS\r\n+OK injected\r\n");
  EXPECT_EQ(c.tlsStarts, 1);
  c.Reply("+OK injected too\r\n");
  EXPECT_TRUE(c.done.empty());
  c.TransportEncrypted();
  ASSERT_EQ(c.done.size(), 1u);
  EXPECT_EQ(c.done[0].request, R::pop3Connect);
  EXPECT_EQ(c.done[0].error, 0);
  EXPECT_TRUE(c.Encrypted());
  EXPECT_EQ(c.Timestamp(), "<1.2@host>");
  c.User();
  EXPECT_EQ(c.TakeCommands(), std::vector<std::string>{"USER u"});
}

TEST(Pop3Tls, NoPasswordWithoutAVerifiedSession) {
  // The server does not offer STLS.
  ScriptedPop3 c;
  c.RequireTls = true;
  c.Connect();
  c.Accept("+OK ready\r\n");
  c.TakeCommands();
  c.Reply("+OK\r\nUSER\r\n.\r\n");
  ASSERT_EQ(c.done.size(), 1u);
  EXPECT_EQ(c.done[0].message, "-ERR Server does not offer STLS: encrypted connection required");
  EXPECT_EQ(c.ProtocolState(), S::pop3Disconnected);
  EXPECT_TRUE(c.TakeCommands().empty());
  // CAPA refused.
  ScriptedPop3 d;
  d.RequireTls = true;
  d.Connect();
  d.Accept("+OK ready\r\n");
  d.Reply("-ERR what?\r\n");
  EXPECT_EQ(d.done[0].error, kPop3ErrorReply);
  // The certificate does not verify: the handshake fails with its reason.
  ScriptedPop3 e;
  e.RequireTls = true;
  e.Connect();
  e.Accept("+OK ready\r\n");
  e.Reply("+OK\r\nSTLS\r\n.\r\n");
  e.Reply("+OK\r\n");
  e.TransportError("Certificate not trusted: The host name did not match");
  ASSERT_EQ(e.done.size(), 1u);
  EXPECT_EQ(e.done[0].message, "-ERR Certificate not trusted: The host name did not match");
  EXPECT_FALSE(e.Encrypted());
  // And a login command asked for on a clear session is refused by the client itself.
  ScriptedPop3 f;
  f.Connect();
  f.Accept("+OK ready <t@h>\r\n");
  f.RequireTls = true;
  f.PassWord = "secret";
  f.User();
  f.APop();
  EXPECT_TRUE(f.TakeCommands().empty());
  EXPECT_EQ(f.done.back().message, "-ERR Encrypted connection required: APOP not sent");
}

TEST(Pop3Tls, Port995IsTlsFromTheFirstByte) {
  for (const char* port : {"995", "pop3s"}) {
    ScriptedPop3 c;
    c.Port = port;
    c.Connect();
    EXPECT_TRUE(c.openedEncrypted) << port;
    c.TransportConnected();
    c.Reply("+OK clear text before the handshake is not read\r\n");
    EXPECT_TRUE(c.done.empty());
    c.TransportEncrypted();
    c.Reply("+OK ready\r\n");
    ASSERT_EQ(c.done.size(), 1u);
    EXPECT_EQ(c.done[0].error, 0);
    EXPECT_TRUE(c.TakeCommands().empty()) << "no STLS inside TLS";
  }
}

TEST(Pop3Session, EveryWaitEndsAfterTheReadTimeout) {
  ManualClock clock(0);
  ScriptedPop3 c;
  c.SetReadTimer(clock.CreateTimer());
  c.ReadTimeoutMs = 1000;
  c.Connect();  // nobody answers the connection
  clock.AdvanceMs(1000);
  ASSERT_EQ(c.done.size(), 1u);
  EXPECT_EQ(c.done[0].message, "-ERR Read timeout: no answer in 1 s");
  EXPECT_EQ(c.closes, 1);
  c.LogIn();
  clock.AdvanceMs(5000);
  EXPECT_TRUE(c.done.empty()) << "an idle session waits for nothing";
  c.Stat();
  clock.AdvanceMs(999);
  c.Reply("+OK 1");  // part of a line is a sign of life
  clock.AdvanceMs(999);
  EXPECT_TRUE(c.done.empty());
  clock.AdvanceMs(1);
  ASSERT_EQ(c.done.size(), 1u);
  EXPECT_EQ(c.ProtocolState(), S::pop3Disconnected);
}

TEST(Pop3Port, NamesAndNumbers) {
  EXPECT_EQ(Pop3PortNumber("pop3"), 110);
  EXPECT_EQ(Pop3PortNumber(" 995 "), 995);
  EXPECT_EQ(Pop3PortNumber("pop3s"), 995);
  EXPECT_EQ(Pop3PortNumber("0"), 0);
  EXPECT_EQ(Pop3PortNumber("65536"), 0);
  EXPECT_EQ(Pop3PortNumber("12a"), 0);
  EXPECT_EQ(Pop3PortNumber(""), 0);
}

}  // namespace
}  // namespace orva

// The main window driven by the real meter: a simulated dial-up call on a manual clock,
// started and ended by the watcher, with the counters, the command states and the
// application messages as the window shows them.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocalSocket>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <filesystem>

#include "OfflineNetwork.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "TestProgram.h"
#include "app/ui/Program.h"
#include "core/AppMessages.h"
#include "core/HowUtils.h"
#include "log/Logform.h"
#include "log/ui/Logform.h"
#include "net/Hosts.h"
#include "net/HostsUpkeep.h"
#include "net/MibAgent.h"
#include "phone/ui/vivavoce.h"
#include "platform/TextFile.h"
#include "platform/qt/SingleInstance.h"
#include "simulation/ManualClock.h"
#include "simulation/Simulated.h"

namespace orva {
namespace {

struct MeterWindow : ::testing::Test {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  // Monday 5 January 2026, 10:00:00.
  ManualClock clock{EncodeDate(2026, 1, 5) + EncodeTime(10, 0, 0)};
  NoSound sound;
  SimulatedDialup dialup;
  SimulatedStatistics stats;
  RecordingLauncher launcher;
  // Calls have an address, so the time check and the monitor look names up: never at a real
  // DNS server.
  test::OfflineNetwork network;
  std::unique_ptr<TOrvaProgram> program;

  std::string procTree = "empty";
  void Make(const std::string& extraSettings = "") {
    test::WriteBytes(dir.File("ORVA32.INI"),
                     "[Impostazioni generali]\r\nMostra wizard=0\r\n" + extraSettings);
    // The connection table of a fixture, and a hosts file of the test's own (QuietProgram's).
    ProgramOptions o = test::QuietProgram(dir.path(), dialogs);
    o.sound = &sound;
    o.clock = &clock;
    o.timers = &clock;
    o.dialup = &dialup;
    o.statistics = &stats;
    o.launcher = &launcher;
    o.simulatedLink = &dialup;
    o.network = &network;
    o.mib = std::make_shared<ProcMibAgent>(std::string(ORVA_SOURCE_DIR) + "/tests/data/net/proc/" +
                                           procTree);
    program = std::make_unique<TOrvaProgram>(o);
    program->Start();
    program->Form().TrayAvailable = [] { return true; };
    QApplication::processEvents();  // the first activation
  }
  TMainForm& Form() { return program->Form(); }
  QString Text(const char* name) {
    auto* l = Form().findChild<QLabel*>(QString::fromLatin1(name));
    return l ? l->text() : QStringLiteral("<missing %1>").arg(QString::fromLatin1(name));
  }
  bool Enabled(const char* name) {
    if (auto* a = Form().findChild<QAction*>(QString::fromLatin1(name))) return a->isEnabled();
    auto* w = Form().findChild<QWidget*>(QString::fromLatin1(name));
    return w && w->isEnabled();
  }
  void Seconds(double s) { clock.AdvanceMs(static_cast<std::int64_t>(s * 1000)); }
  std::vector<std::string> LogLines() {
    const auto lines = ReadTextLines(dir.File("ORVA.LOG"));
    return lines ? *lines : std::vector<std::string>{};
  }
  std::vector<std::string> IniLines() {
    const auto lines = ReadTextLines(dir.File("ORVA32.INI"));
    return lines ? *lines : std::vector<std::string>{};
  }
  bool IniHas(const std::string& line) {
    const auto ini = IniLines();
    return std::find(ini.begin(), ini.end(), line) != ini.end();
  }
  template <class W>
  W* TopLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == QLatin1String(name) && w->isVisible()) return qobject_cast<W*>(w);
    return nullptr;
  }
  // A request through the single-instance socket, as `orva32cli send` makes it: the answer
  // once the program answered.
  std::string Send(const std::string& line) {
    if (!instance) {
      instance = std::make_unique<SingleInstance>(QStringLiteral("orva32test"),
                                                  QString::fromStdString(dir.path()));
      EXPECT_TRUE(instance->Acquire());
      instance->OnRequest = [this](const std::string& l) { return program->HandleRequest(l); };
    }
    QLocalSocket client;
    client.connectToServer(instance->SocketPath());
    client.write(line.data(), static_cast<qint64>(line.size()));
    QByteArray answer;
    QObject::connect(&client, &QLocalSocket::readyRead, &client,
                     [&] { answer += client.readAll(); });
    for (int i = 0; i < 200 && client.state() != QLocalSocket::UnconnectedState; ++i) {
      QApplication::processEvents();
      QThread::msleep(5);
    }
    answer += client.readAll();
    return answer.trimmed().toStdString();
  }
  std::unique_ptr<SingleInstance> instance;
};

TEST_F(MeterWindow, SimulatedDialUpCallIsMeteredShownAndRecorded) {
  Make();
  EXPECT_EQ(Text("StatusLb"), QStringLiteral("Sconnesso"));
  EXPECT_EQ(Text("HCostLb"), QStringLiteral("L. 7.620"));
  EXPECT_EQ(Text("TickLb"), QStringLiteral("00.01.00"));
  // Idle: a call can be started, not stopped; the tariff can be chosen.
  for (const char* name : {"Start1", "StartBtn", "Connetti1", "ConnectBtn", "FeeCB", "FeeCB1"})
    EXPECT_TRUE(Enabled(name)) << name;
  for (const char* name : {"Stop1", "StopBtn", "Sconnetti1", "HangupBtn"})
    EXPECT_FALSE(Enabled(name)) << name;

  dialup.Add("Provider");
  Seconds(0.25);  // the dial-up poll sees the link
  ASSERT_TRUE(program->Logic().Call().Metering());
  EXPECT_EQ(Text("ServiceLb"), QStringLiteral("Provider"));
  EXPECT_EQ(Text("RasLb"), QStringLiteral("Connesso"));
  EXPECT_EQ(Text("StatusLb"), QStringLiteral("Connesso"));
  EXPECT_EQ(Form().TrayHint(), QStringLiteral("ORVA32 - Connesso a : Provider"));
  for (const char* name : {"Start1", "StartBtn", "FeeCB", "FeeCB1"})
    EXPECT_FALSE(Enabled(name)) << name;
  for (const char* name : {"Stop1", "StopBtn", "HangupBtn", "Sconnetti1"})
    EXPECT_TRUE(Enabled(name)) << name;

  stats.Set("ppp0", kBytesReceivedCounter, 123456);
  Seconds(185);
  EXPECT_EQ(Text("HCostLb"), QStringLiteral("L. 7.620"));
  EXPECT_EQ(Text("TickLb"), QStringLiteral("00.01.00"));
  const long long ticks = program->Logic().Call().Ticks();
  EXPECT_GE(ticks, 3);
  // Item 1: elapsed time and cost, in both counters and the taskbar title.
  const QString counter =
      QString::fromStdString(
          TimeToStr(MeteredCall::FromSeconds(program->Logic().Call().ElapsedSeconds()))) +
      QStringLiteral(" - ") + QString::number(ticks * 127) + QStringLiteral(".0");
  EXPECT_EQ(Text("L2"), counter);
  EXPECT_EQ(Text("L22"), counter);
  EXPECT_TRUE(Form().TaskbarTitle().startsWith(counter)) << Form().TaskbarTitle().toStdString();
  EXPECT_EQ(Text("BytesRecv"), QStringLiteral("123.456"));

  // The link goes down: the call ends and is logged, the commands come back.
  dialup.RemoveAll();
  Seconds(0.25);
  EXPECT_FALSE(program->Logic().Call().Metering());
  EXPECT_EQ(Text("StatusLb"), QStringLiteral("Sconnesso"));
  EXPECT_TRUE(Enabled("Start1"));
  EXPECT_FALSE(Enabled("Stop1"));
  const auto lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("Provider"), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("\t" + std::to_string(ticks) + "\t"), std::string::npos) << lines[0];
}

// A user who may not write the hosts file: the call's servers wait in "hosts.mqm" without a
// box at call end, the status says how many, and "Applica hosts" applies them with one
// authorisation.
class NoWriteAuthority final : public HostsAuthority {
 public:
  explicit NoWriteAuthority(std::string hosts) : m_hosts(std::move(hosts)) {}
  bool CanWrite(const std::string&) const override { return false; }
  Status RunHelper(const std::string& input) override {
    ++runs;
    const auto request = ParseHelperInput(input);
    if (!request) return Status::Fail(request.error);
    return ApplyHostsRequest(m_hosts, *request);  // what the helper does
  }
  int runs = 0;

 private:
  std::string m_hosts;
};

TEST_F(MeterWindow, HostsTheUserMayNotWriteWaitForApplicaHosts) {
  procTree = "ipv6";
  network.Names().names = {{"10.0.0.2", "www.example.com"},
                           {"2001:db8::1:2:3:4", "v6.example.net"}};
  Make("[TCPIP]\r\nGet network time=0\r\n");
  NoWriteAuthority authority(dir.File("hosts"));
  program->Network().SetHostsAuthority(&authority);
  test::WriteBytes(dir.File("hosts"), "127.0.0.1 localhost\n");
  EXPECT_FALSE(Enabled("ApplicaHosts1"));  // nothing waits yet
  dialup.Add("Provider");
  Seconds(0.25);
  ASSERT_TRUE(program->Logic().Call().Metering());
  for (int i = 0; i < 12; ++i) {
    Seconds(2.2);
    QApplication::processEvents();
  }
  dialup.RemoveAll();
  Seconds(0.25);
  QApplication::processEvents();
  ASSERT_FALSE(program->Logic().Call().Metering());
  EXPECT_TRUE(dialogs.shown.empty()) << dialogs.shown[0].text;
  EXPECT_EQ(test::ReadBytes(dir.File("hosts")), "127.0.0.1 localhost\n");
  EXPECT_EQ(Text("HostsL"), QStringLiteral("2 nomi in attesa di «Applica hosts»"));
  EXPECT_EQ(authority.runs, 0);

  auto* apply = Form().findChild<QAction*>(QStringLiteral("ApplicaHosts1"));
  ASSERT_TRUE(apply);
  EXPECT_EQ(apply->text(), QStringLiteral("Applica hosts"));
  EXPECT_TRUE(apply->isEnabled());
  apply->trigger();
  QApplication::processEvents();
  EXPECT_EQ(authority.runs, 1);
  const std::string hosts = test::ReadBytes(dir.File("hosts"));
  EXPECT_NE(hosts.find("\n10.0.0.2 www.example.com #"), std::string::npos) << hosts;
  EXPECT_NE(hosts.find("\n2001:db8::1:2:3:4 v6.example.net #"), std::string::npos) << hosts;
  EXPECT_EQ(Text("HostsL"), QString());
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_FALSE(apply->isEnabled());  // nothing left to apply
}

// Names left waiting by an earlier session offer "Applica hosts" at start; when another
// program applied them meanwhile, running it says there was nothing to apply instead of
// silently doing nothing, and the command goes off.
TEST_F(MeterWindow, ApplicaHostsWithNothingLeftToApplySaysSo) {
  test::WriteBytes(dir.File("hosts.mqm"), "10.0.0.9 www.example.org #01-05-2026 09.00.00\r\n");
  test::WriteBytes(dir.File("hosts"), "127.0.0.1 localhost\n");
  Make("[TCPIP]\r\nGet network time=0\r\n");
  auto* apply = Form().findChild<QAction*>(QStringLiteral("ApplicaHosts1"));
  ASSERT_TRUE(apply);
  EXPECT_TRUE(apply->isEnabled());
  EXPECT_EQ(Text("HostsL"), QStringLiteral("1 nome in attesa di «Applica hosts»"));

  test::WriteBytes(dir.File("hosts"),
                   "127.0.0.1 localhost\n10.0.0.9 www.example.org #01-05-2026 09.00.00\n");
  apply->trigger();
  QApplication::processEvents();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "Nessun nome è in attesa di essere scritto nel file hosts.");
  EXPECT_EQ(dialogs.shown[0].type, MsgType::Information);
  EXPECT_FALSE(apply->isEnabled());
  EXPECT_EQ(Text("HostsL"), QString());
}

TEST_F(MeterWindow, ManualStartAndStopFromTheButtons) {
  Make();
  Form().findChild<QToolButton*>(QStringLiteral("StartBtn"))->click();
  ASSERT_TRUE(program->Logic().Call().Metering());
  EXPECT_EQ(Text("ServiceLb"), QStringLiteral("Avvio manuale"));
  EXPECT_EQ(Form().findChild<QToolButton*>(QStringLiteral("StopBtn"))->toolTip(),
            QStringLiteral("Arresto manuale"));
  Seconds(61);
  Form().findChild<QToolButton*>(QStringLiteral("StopBtn"))->click();
  EXPECT_FALSE(program->Logic().Call().Metering());
  EXPECT_EQ(LogLines().size(), 1u);
  // The bill counter now holds the call's ticks with VAT.
  Form().SelectCounterItem(6);
  const double period = program->Logic().Call().PeriodCost();
  EXPECT_GT(period, 0);
  EXPECT_TRUE(Text("L22").contains(QString::number(period * 1.2, 'f', 1)))
      << Text("L22").toStdString();
}

TEST_F(MeterWindow, QuitMessageEndsTheCallSavesAndCloses) {
  Make();
  dialup.Add("Provider");
  Seconds(0.25);
  ASSERT_TRUE(program->Logic().Call().Metering());
  Seconds(30);
  Form().SelectCounterItem(3);
  const auto answers = program->HandleRequest(FormatMessageRequest({kMsgQuit, 0, 0}));
  EXPECT_EQ(answers.back(), FormatDone(true));
  // The quit runs once the request is answered.
  QApplication::processEvents();
  EXPECT_FALSE(program->Logic().Call().Metering());
  EXPECT_EQ(LogLines().size(), 1u);
  EXPECT_FALSE(Form().isVisible());
  EXPECT_FALSE(Form().TrayIcon()->isVisible());
  const auto ini = ReadTextLines(dir.File("ORVA32.INI"));
  ASSERT_TRUE(ini);
  EXPECT_NE(std::find(ini->begin(), ini->end(), "Display=3"), ini->end());
  // Nothing asked: neither the password nor the call in progress.
  EXPECT_TRUE(dialogs.prompts.empty());
  EXPECT_TRUE(dialogs.shown.empty());
}

// The log window holds unsaved edits while the meter records calls: the quit message asks it
// first; "Annulla" keeps everything running, "Sì" keeps the edits and every call.
TEST_F(MeterWindow, QuitMessageAsksTheLogWindowFirstAndLosesNoCall) {
  test::WriteBytes(dir.File("ORVA.LOG"),
                   "04/01/26\t09.00.00\t09.01.00\t00.01.00\tT\t1\t127\tn.d\t0\t0\tOld A\t\r\n"
                   "04/01/26\t09.10.00\t09.11.00\t00.01.00\tT\t1\t127\tn.d\t0\t0\tOld B\t\r\n");
  Make();
  program->Windows().OpenLog();
  auto* log = TopLevel<TLog>("Log");
  ASSERT_NE(log, nullptr);
  ASSERT_EQ(log->Model().Count(), 2u);
  log->SelectRows({0});
  log->DeleteSelected(true);  // unsaved
  ASSERT_TRUE(log->Model().Modified());

  // A call ends while the window is open: the window shows it.
  dialup.Add("Provider");
  Seconds(0.25);
  Seconds(65);
  dialup.RemoveAll();
  Seconds(0.25);
  ASSERT_EQ(LogLines().size(), 3u);
  EXPECT_EQ(log->Model().Count(), 2u);

  // A second call is running when the quit comes; "Annulla" in the log window.
  dialup.Add("Provider");
  Seconds(0.25);
  ASSERT_TRUE(program->Logic().Call().Metering());
  dialogs.NextAnswer(MsgAnswer::Cancel);
  // The answer comes at once, before any question.
  EXPECT_EQ(Send(FormatMessageRequest({kMsgQuit, 0, 0})) + "\n", FormatDone(true));
  QApplication::processEvents();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, std::string(kAskSaveChanges));
  EXPECT_TRUE(program->Logic().Call().Metering());
  EXPECT_TRUE(Form().isVisible());
  EXPECT_TRUE(log->isVisible());
  Seconds(10);
  EXPECT_TRUE(program->Logic().Call().Metering());  // the meter goes on

  // "Sì": the edit and both calls are in the log; the settings are saved; all closes.
  dialogs.NextAnswer(MsgAnswer::Yes);
  Send(FormatMessageRequest({kMsgQuit, 0, 0}));
  QApplication::processEvents();
  EXPECT_FALSE(program->Logic().Call().Metering());
  const auto lines = LogLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[0].find("Old B"), std::string::npos);
  EXPECT_NE(lines[1].find("Provider"), std::string::npos);
  EXPECT_NE(lines[2].find("Provider"), std::string::npos);
  EXPECT_EQ(TopLevel<TLog>("Log"), nullptr);
  EXPECT_FALSE(Form().isVisible());
  EXPECT_TRUE(IniHas("Nome file Log=" + dir.File("ORVA.LOG")));
}

// SIGTERM or the end of the session: nobody is asked; the call is recorded, the window's
// edits are saved as "Sì" would, and the windows' values reach the settings.
TEST_F(MeterWindow, UnattendedQuitAsksNothingAndKeepsEverything) {
  test::WriteBytes(dir.File("ORVA.LOG"),
                   "04/01/26\t09.00.00\t09.01.00\t00.01.00\tT\t1\t127\tn.d\t0\t0\tOld A\t\r\n");
  Make("Richiedi servizio=1\r\n");
  program->Windows().OpenLog();
  auto* log = TopLevel<TLog>("Log");
  ASSERT_NE(log, nullptr);
  log->SelectRows({0});
  log->DeleteSelected(true);
  program->Windows().OpenPhoneBook();
  auto* phone = TopLevel<TDialForm>("DialForm");
  ASSERT_NE(phone, nullptr);
  phone->findChild<QSpinBox*>(QStringLiteral("UpDown1"))->setValue(0);
  phone->setGeometry(123, 77, phone->width(), phone->height());
  dialup.Add("Provider");
  Seconds(0.25);
  Seconds(65);
  program->QuitUnattended();
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_FALSE(program->Logic().Call().Metering());
  const auto lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);  // "Old A" deleted and saved; the call recorded
  EXPECT_NE(lines[0].find("Modem: Provider"), std::string::npos) << lines[0];
  EXPECT_TRUE(IniHas("Volume altoparlante=0"));
  const auto ini = IniLines();
  EXPECT_TRUE(std::any_of(ini.begin(), ini.end(), [](const std::string& l) {
    return l.rfind("Posizione=0 77 123 ", 0) == 0;
  }));
  EXPECT_FALSE(Form().isVisible());
}

// "Termina" asks the log window before the call in progress: "Annulla" there asks nothing
// more and leaves the meter running.
TEST_F(MeterWindow, TerminaAsksTheOpenWindowsBeforeTheCall) {
  test::WriteBytes(dir.File("ORVA.LOG"),
                   "04/01/26\t09.00.00\t09.01.00\t00.01.00\tT\t1\t127\tn.d\t0\t0\tOld A\t\r\n");
  Make();
  program->Windows().OpenLog();
  auto* log = TopLevel<TLog>("Log");
  ASSERT_NE(log, nullptr);
  log->SelectRows({0});
  log->DeleteSelected(true);
  dialup.Add("Provider");
  Seconds(0.25);
  dialogs.NextAnswer(MsgAnswer::Cancel);
  Form().Quit1Click();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_TRUE(program->Logic().Call().Metering());
  EXPECT_TRUE(Form().isVisible());
  EXPECT_TRUE(log->isVisible());
  // "No" keeps the log as it is; "Sì" to the call records it; everything closes.
  dialogs.NextAnswer(MsgAnswer::No);
  dialogs.NextAnswer(MsgAnswer::Yes);
  Form().Quit1Click();
  ASSERT_EQ(dialogs.shown.size(), 3u);
  EXPECT_EQ(dialogs.shown[2].text, "Connessione in corso. Esco lo stesso ?");
  EXPECT_FALSE(program->Logic().Call().Metering());
  const auto lines = LogLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("Old A"), std::string::npos);
  EXPECT_FALSE(Form().isVisible());
  EXPECT_EQ(TopLevel<TLog>("Log"), nullptr);
}

// The session asks to commit its data: nobody is asked, everything reaches the disk, and
// the program goes on (the session may still be cancelled).
TEST_F(MeterWindow, CommitDataSavesEverythingWithoutAskingAndKeepsRunning) {
  test::WriteBytes(dir.File("ORVA.LOG"),
                   "04/01/26\t09.00.00\t09.01.00\t00.01.00\tT\t1\t127\tn.d\t0\t0\tOld A\t\r\n");
  Make("Richiedi servizio=1\r\n");
  program->Windows().OpenLog();
  auto* log = TopLevel<TLog>("Log");
  ASSERT_NE(log, nullptr);
  log->SelectRows({0});
  log->DeleteSelected(true);
  Form().SelectCounterItem(4);
  dialup.Add("Provider");
  Seconds(0.25);
  program->CommitDataUnattended();
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_FALSE(program->Logic().Call().Metering());
  const auto lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("Modem: Provider"), std::string::npos);
  EXPECT_FALSE(log->Model().Modified());
  EXPECT_EQ(log->Model().Count(), 1u);
  EXPECT_TRUE(IniHas("Display=4"));
  EXPECT_TRUE(Form().isVisible());
}

// The voice dialer's values reach the settings before the quit message saves them.
TEST_F(MeterWindow, QuitMessageStoresTheOpenWindowsValues) {
  Make();
  program->Windows().OpenPhoneBook();
  auto* phone = TopLevel<TDialForm>("DialForm");
  ASSERT_NE(phone, nullptr);
  phone->findChild<QSpinBox*>(QStringLiteral("UpDown1"))->setValue(3);
  Send(FormatMessageRequest({kMsgQuit, 0, 0}));
  QApplication::processEvents();
  EXPECT_TRUE(IniHas("Volume altoparlante=3"));
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(MeterWindow, MessagesSelectTariffsRedrawAndAnswerThePing) {
  Make();
  EXPECT_EQ(program->HandleRequest(FormatMessageRequest({kMsgStart, 0, 0})).back(),
            FormatDone(true));
  EXPECT_TRUE(program->Logic().Call().Metering());
  EXPECT_FALSE(Enabled("FeeCB"));
  EXPECT_EQ(program->HandleRequest(FormatMessageRequest({kMsgStop, 0, 0})).back(),
            FormatDone(true));
  EXPECT_FALSE(program->Logic().Call().Metering());
  const auto ping = program->HandleRequest(FormatMessageRequest({kMsgPing, 7, 0}));
  ASSERT_EQ(ping.size(), 2u);
  EXPECT_EQ(ping[0].rfind("REPLY 1123 ", 0), 0u) << ping[0];
  EXPECT_EQ(program->HandleRequest("garbage"), std::vector<std::string>{FormatDone(false)});
  EXPECT_EQ(program->HandleRequest(FormatMessageRequest({1100, 0, 0})).back(), FormatDone(false));
  // SHOW brings a hidden window back.
  Form().HideWindow();
  EXPECT_EQ(program->HandleRequest(FormatShowRequest()).back(), FormatDone(true));
  EXPECT_TRUE(Form().isVisible());
}

TEST_F(MeterWindow, ClosingDuringACallAsksAndRecordsTheCall) {
  Make();
  dialup.Add("Provider");
  Seconds(0.25);
  ASSERT_TRUE(program->Logic().Call().Metering());
  dialogs.NextAnswer(MsgAnswer::No);
  Form().Quit1Click();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "Connessione in corso. Esco lo stesso ?");
  EXPECT_TRUE(program->Logic().Call().Metering());
  EXPECT_TRUE(Form().isVisible());
  dialogs.NextAnswer(MsgAnswer::Yes);
  Form().Quit1Click();
  EXPECT_FALSE(program->Logic().Call().Metering());
  EXPECT_EQ(LogLines().size(), 1u);
  EXPECT_FALSE(Form().isVisible());
}

TEST_F(MeterWindow, DialEntriesGetItemsThatDialThem) {
  dialup.entries = {"Casa", "Lavoro & C"};
  Make();
  auto* button = Form().findChild<QToolButton*>(QStringLiteral("ConnectBtn"));
  ASSERT_NE(button->menu(), nullptr);
  QList<QAction*> items;
  for (QAction* a : button->menu()->actions())
    if (!a->isSeparator()) items << a;
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[1]->text(), QStringLiteral("Lavoro && C"));
  items[1]->trigger();
  ASSERT_EQ(launcher.launched.size(), 1u);
  EXPECT_EQ(launcher.launched[0].arguments, (std::vector<std::string>{"pon", "Lavoro & C"}));
  QAction* connect = Form().findChild<QAction*>(QStringLiteral("Connetti1"));
  ASSERT_NE(connect->menu(), nullptr);
  EXPECT_EQ(connect->menu()->actions().size(), 2);
}

TEST_F(MeterWindow, ConnectWithoutEntriesSaysWhereLinksAreConfigured) {
  Make();
  Form().findChild<QToolButton*>(QStringLiteral("ConnectBtn"))->click();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_NE(dialogs.shown[0].text.find("/etc/ppp/peers"), std::string::npos);
  EXPECT_TRUE(launcher.launched.empty());
}

// The user finds the cost warning checked once a minute, opens "Opzioni" during the call,
// sets "Controlla ogni" to 1 second and closes with OK: the warning comes within the second,
// not when the minute the call started with is over.
TEST_F(MeterWindow, WarningPeriodSetWithOkDuringACallAppliesAtOnce) {
  Make(
      "[TCPIP]\r\nGet network time=0\r\n[Messsaggi di avviso]\r\nFrequenza=60\r\n"
      "Attiva costo giornaliero=1\r\nCosto giornaliero=1\r\n");
  dialup.Add("Provider");
  Seconds(0.25);
  ASSERT_TRUE(program->Logic().Call().Metering());
  Seconds(2);
  auto warned = [this] {
    for (const auto& m : dialogs.shown)
      if (m.text.find("ORVA AVVISO") != std::string::npos) return true;
    return false;
  };
  ASSERT_FALSE(warned());  // the first check is a minute after the start
  bool answered = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
    QWidget* form = QApplication::activeModalWidget();
    if (!form || form->objectName() != QStringLiteral("SetupForm")) return;
    poll.stop();
    form->findChild<QSpinBox*>(QStringLiteral("FreqEdit"))->setValue(1);
    form->findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    answered = true;
  });
  poll.start(10);
  Form().findChild<QAction*>(QStringLiteral("Opzioni1"))->trigger();
  ASSERT_TRUE(answered);
  EXPECT_EQ(program->Logic().Call().Metering(), true);
  Seconds(1.1);
  EXPECT_TRUE(warned());
}

// Answers the service choice when it shows: `text` into "Scelta" and "Associa", or "Ignora".
void AnswerServiceChoice(std::optional<QString> text, QString* offered) {
  QTimer::singleShot(0, [text, offered] {
    QWidget* form = QApplication::activeModalWidget();
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(form->objectName(), QStringLiteral("SelServForm"));
    auto* edit = form->findChild<QLineEdit*>(QStringLiteral("Edit1"));
    *offered = edit->text();
    if (!text) return form->findChild<QPushButton*>(QStringLiteral("IgnoraBtn"))->click();
    edit->setText(*text);
    form->findChild<QPushButton*>(QStringLiteral("AssociaBtn"))->click();
  });
}

TEST_F(MeterWindow, ServiceChoiceAtCallEndNamesTheServiceAndRemembersIt) {
  Make("Richiedi servizio=1\r\n");
  dialup.Add("Provider");
  Seconds(0.25);
  QString offered;
  AnswerServiceChoice(QStringLiteral("BBS Amiga"), &offered);
  dialup.RemoveAll();
  Seconds(0.25);
  EXPECT_EQ(offered, QStringLiteral("Modem: Provider"));
  ASSERT_EQ(LogLines().size(), 1u);
  EXPECT_NE(LogLines()[0].find("\tBBS Amiga"), std::string::npos) << LogLines()[0];
  const auto services = ReadTextLines(dir.File("ORVA.SRV"));
  ASSERT_TRUE(services);
  EXPECT_EQ(*services, std::vector<std::string>{"BBS Amiga"});

  // The next call offers it in the list; "Ignora" records "?".
  dialup.Add("Provider");
  Seconds(0.25);
  AnswerServiceChoice(std::nullopt, &offered);
  dialup.RemoveAll();
  Seconds(0.25);
  ASSERT_EQ(LogLines().size(), 2u);
  EXPECT_NE(LogLines()[1].find("\t?"), std::string::npos) << LogLines()[1];
}

}  // namespace
}  // namespace orva

#include <QTest>

#include "app/ui/SimulatedLink.h"

namespace orva {
namespace {

TEST(TSimulatedLink, DiallingTheEntryBringsItsLinkUpAndTrafficMovesTheCounters) {
  TSimulatedLink link("Provider", false);
  EXPECT_EQ(link.Dialup().EnumEntries(), std::vector<std::string>{"Provider"});
  EXPECT_TRUE(link.Dialup().EnumConnections()->empty());
  EXPECT_TRUE(link.Dialer().Launch({{"pon", "Provider"}, "", ShowWindow::swShowNormal}));
  const auto up = link.Dialup().EnumConnections();
  ASSERT_EQ(up->size(), 1u);
  // Dialling again while the link is up does not add a second one.
  EXPECT_FALSE(link.Dialer().Launch({{"pon", "Provider"}, "", ShowWindow::swShowNormal}));
  QTRY_VERIFY_WITH_TIMEOUT(
      link.Statistics().ReadCounter("ppp0", kBytesReceivedCounter).value_or(0) > 0, 3000);
  EXPECT_TRUE(link.Dialup().HangUp((*up)[0].handle));
  EXPECT_TRUE(link.Dialup().EnumConnections()->empty());
}

// A program of "Avvio applicazioni" that leaves a mark in the data directory when it runs.
std::string MarkingProgram(test::TempDir& dir) {
  const std::string program = dir.File("segna.sh");
  test::WriteBytes(program, "#!/bin/sh\necho avviato > \"" + dir.File("segno") + "\"\n");
  std::filesystem::permissions(program, std::filesystem::perms::owner_all);
  return program;
}

// Trying the program on a simulated link starts the programs the user set to start at a
// connection, as a real link would; before, the simulation started none of them.
TEST(SimulatedLinkProgram, ProgramsSetToStartAtAConnectionStart) {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  test::OfflineNetwork network;
  NoSound sound;
  const std::string program = MarkingProgram(dir);
  test::WriteBytes(dir.File("ORVA32.INI"),
                   "[Impostazioni generali]\r\nMostra wizard=0\r\n[TCPIP]\r\nGet network time=0\r\n"
                   "[Avvio applicazioni]\r\nApplicazione 1=" +
                       program + "\r\nFinestra 1=2\r\nProvider 1=qualunque\r\n");
  TSimulatedLink link("Provider", false);
  ProgramOptions o = test::QuietProgram(dir.path(), dialogs);
  o.sound = &sound;
  o.network = &network;
  o.dialup = &link.Dialup();
  o.statistics = &link.Statistics();
  o.launcher = &link.Dialer();
  o.simulatedLink = &link.Dialup();
  TOrvaProgram orva(o);
  orva.Start();
  QApplication::processEvents();
  EXPECT_FALSE(FileExists(dir.File("segno")));
  // "Connetti" on the simulated entry: the link comes up, the call starts, the program runs.
  auto* connect = orva.Form().findChild<QAction*>(QStringLiteral("Connetti1"));
  ASSERT_NE(connect, nullptr);
  ASSERT_NE(connect->menu(), nullptr);
  ASSERT_EQ(connect->menu()->actions().size(), 1);
  connect->menu()->actions()[0]->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(orva.Logic().Call().Metering(), 5000);
  QTRY_VERIFY_WITH_TIMEOUT(FileExists(dir.File("segno")), 5000);
  orva.WMQueryEndSession();
}

}  // namespace
}  // namespace orva

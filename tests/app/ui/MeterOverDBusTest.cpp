// The whole program with NetworkManager and ModemManager as its services, mocked by
// python-dbusmock on a private system bus: a voice call raised by the modem is metered and
// logged as "A voce", "Componi" hands the tariff over and places the call, and a gsm profile
// dialled with "Connetti" is metered until it is deactivated. The meter runs on a manual clock;
// the D-Bus news arrive through the Qt loop.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDBusObjectPath>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <chrono>
#include <cstdlib>

#include "PrivateBus.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "TestProgram.h"
#include "app/ui/Program.h"
#include "core/HowUtils.h"
#include "net/Hosts.h"
#include "net/MibAgent.h"
#include "phone/ui/vivavoce.h"
#include "platform/DataDir.h"
#include "platform/SafeFile.h"
#include "platform/TextFile.h"
#include "platform/qt/DBusValues.h"
#include "platform/qt/FollowingDialup.h"
#include "platform/qt/MmTelephony.h"
#include "platform/qt/NmDialup.h"
#include "platform/qt/SystemServices.h"
#include "simulation/ManualClock.h"
#include "simulation/Simulated.h"

namespace orva {
namespace {

const QString kNm = QStringLiteral("org.freedesktop.NetworkManager");
const QString kMm = QStringLiteral("org.freedesktop.ModemManager1");
const QString kMmRoot = QStringLiteral("/org/freedesktop/ModemManager1");

struct MeterOverDBus : ::testing::Test {
  test::PrivateBus bus;
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  // Monday 5 January 2026, 10:00:00.
  ManualClock clock{EncodeDate(2026, 1, 5) + EncodeTime(10, 0, 0)};
  NoSound sound;
  SimulatedDialup simulated;
  SimulatedStatistics stats;
  RecordingLauncher launcher;
  std::unique_ptr<NmDialup> nm;
  std::unique_ptr<Dialup> chosen;  // the service the program chooses itself
  std::unique_ptr<MmTelephony> mm;
  std::unique_ptr<TOrvaProgram> program;

  void SetUp() override {
    const std::string reason = test::PrivateBus::SkipReason();
    if (!reason.empty()) GTEST_SKIP() << reason;
    std::string error;
    ASSERT_TRUE(bus.Start(error)) << error;
  }
  void TearDown() override {
    program.reset();
    mm.reset();
    nm.reset();
    chosen.reset();
  }
  void StartMock(const char* file, const QString& name) {
    std::string error;
    ASSERT_TRUE(bus.StartMock(test::MockTemplateDir() + QString::fromLatin1(file), name, error))
        << error;
  }
  void Make(bool tariffFiles = false) {
    test::WriteBytes(dir.File("ORVA32.INI"), "[Impostazioni generali]\r\nMostra wizard=0\r\n");
    if (tariffFiles) {
      ASSERT_TRUE(SeedTariffs(dir.path()));
    }
    ProgramOptions o = test::QuietProgram(dir.path(), dialogs);
    o.sound = &sound;
    o.clock = &clock;
    o.timers = &clock;
    o.dialup = chosen ? chosen.get() : nm ? static_cast<Dialup*>(nm.get()) : &simulated;
    o.telephony = mm.get();
    o.statistics = &stats;
    o.launcher = &launcher;
    o.mib =
        std::make_shared<ProcMibAgent>(std::string(ORVA_SOURCE_DIR) + "/tests/data/net/proc/empty");
    program = std::make_unique<TOrvaProgram>(o);
    program->Start();
    program->Form().TrayAvailable = [] { return true; };
    QApplication::processEvents();
  }
  QString Text(const char* name) {
    auto* l = program->Form().findChild<QLabel*>(QString::fromLatin1(name));
    return l ? l->text() : QString();
  }
  std::vector<std::string> LogLines() {
    const auto lines = ReadTextLines(dir.File("ORVA.LOG"));
    return lines ? *lines : std::vector<std::string>{};
  }
  // Pictures for the documentation, when ORVA_SCREENSHOTS names a folder.
  static void Picture(QWidget& w, const char* name) {
    const char* out = std::getenv("ORVA_SCREENSHOTS");
    if (out && *out) w.grab().save(QString::fromUtf8(out) + u'/' + QString::fromLatin1(name));
  }
  void SetCallState(const QString& call, int state, int reason) {
    bus.Mock(kMm, kMmRoot, QStringLiteral("SetCallState"), {call, state, reason});
  }
  // A dial-up profile with a modem that offers it on wwan0; its path.
  QString AddProfile(const QString& name, const QString& uuid) {
    const auto added = bus.Mock(kNm, QStringLiteral("/org/freedesktop"),
                                QStringLiteral("AddDialupProfileWithUuid"),
                                {name, QStringLiteral("gsm"), QStringLiteral("web.omnitel"),
                                 QStringLiteral("wwan0"), uuid});
    return added.isEmpty() ? QString() : added.front().toString();
  }
  // NetworkManager brings the profile's link up as the active connection `name`; its path.
  QString Activate(const QString& profile, const QString& name) {
    const QList<QDBusObjectPath> devices{
        QDBusObjectPath(QStringLiteral("/org/freedesktop/NetworkManager/Devices/modem_wwan0"))};
    const auto added = bus.Mock(
        kNm, QStringLiteral("/org/freedesktop"), QStringLiteral("AddActiveConnection"),
        {QVariant::fromValue(devices), QVariant::fromValue(QDBusObjectPath(profile)),
         QVariant::fromValue(QDBusObjectPath(QStringLiteral("/"))), name, QVariant::fromValue(2u)});
    if (added.isEmpty()) return {};
    const QString path = PathOf(added.front());
    return path.isEmpty() ? added.front().toString() : path;
  }
  static std::size_t Links(Dialup& d) {
    auto links = d.EnumConnections();
    return links ? links->size() : 0;
  }
  // The ticks the month's bill holds for its days, at any price.
  long long BilledTicks() {
    const auto lines = ReadTextLines(dir.File("1_2026.BOL"));
    if (!lines) return -1;
    long long ticks = 0;
    bool day = false;
    for (const std::string& line : *lines) {
      if (!line.empty() && line[0] == '[') day = line != "[Generale]";
      const auto eq = line.find('=');
      if (day && eq != std::string::npos) ticks += std::stoll(line.substr(eq + 1));
    }
    return ticks;
  }
};

TEST_F(MeterOverDBus, IncomingVoiceCallIsMeteredAndLogged) {
  StartMock("modemmanager.py", kMm);
  mm = std::make_unique<MmTelephony>(bus.Connection());
  Make();
  ASSERT_TRUE(test::WaitFor([&] { return mm->VoiceModems() == 1; }));
  const auto added =
      bus.Mock(kMm, kMmRoot, QStringLiteral("AddIncomingCall"), {QStringLiteral("0612345678")});
  ASSERT_EQ(added.size(), 1);
  const QString call = added.front().value<QDBusObjectPath>().path();
  ASSERT_TRUE(test::WaitFor([&] { return Text("StatusLb") == u"Offering state"; }))
      << Text("StatusLb").toStdString();
  EXPECT_FALSE(program->Logic().Call().Metering());

  // Answered: the call is metered from the moment the modem says so.
  const auto sent = std::chrono::steady_clock::now();
  SetCallState(call, 4, 3);
  ASSERT_TRUE(test::WaitFor([&] { return program->Logic().Call().Metering(); }));
  const auto latency = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - sent);
  RecordProperty("SignalToStartCallMicroseconds", static_cast<int>(latency.count()));
  std::printf("D-Bus call state to StartCall: %.1f ms\n", latency.count() / 1000.0);
  EXPECT_EQ(program->Logic().Call().Info().kind, kKindVoice);
  EXPECT_EQ(Text("StatusLb"), QStringLiteral("Connesso"));
  EXPECT_EQ(Text("DevType"), QStringLiteral("A voce"));
  EXPECT_EQ(Text("ServiceLb"), QStringLiteral("Connesso a: 0612345678  "));

  clock.AdvanceMs(125000);
  const long long ticks = program->Logic().Call().Ticks();
  EXPECT_GE(ticks, 2);
  Picture(program->Form(), "main-window-voice-call.png");
  SetCallState(call, 7, 4);
  ASSERT_TRUE(test::WaitFor([&] { return !program->Logic().Call().Metering(); }));
  EXPECT_EQ(Text("StatusLb"), QStringLiteral("Sconnesso"));
  const auto lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("A voce: 0612345678"), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("\t" + std::to_string(ticks) + "\t"), std::string::npos) << lines[0];
}

TEST_F(MeterOverDBus, ComponiHandsTheTariffOverAndPlacesTheCall) {
  StartMock("modemmanager.py", kMm);
  mm = std::make_unique<MmTelephony>(bus.Connection());
  Make(true);
  ASSERT_TRUE(test::WaitFor([&] { return mm->VoiceModems() == 1; }));
  ASSERT_GE(program->Catalogue().descriptions.size(), 2u);
  program->Windows().OpenPhoneBook();
  TDialForm* book = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* f = qobject_cast<TDialForm*>(w)) book = f;
  ASSERT_NE(book, nullptr);
  book->findChild<QLineEdit*>(QStringLiteral("NameEdit"))->setText(QStringLiteral("Mario Rossi"));
  book->findChild<QLineEdit*>(QStringLiteral("NumberEdit"))->setText(QStringLiteral("06-1234567"));
  book->findChild<QComboBox*>(QStringLiteral("TariffeCB"))->setCurrentIndex(1);
  book->findChild<QPushButton*>(QStringLiteral("ComponiBtn"))->click();
  // The tariff is the main window's before the modem dials.
  EXPECT_EQ(program->Logic().Call().SelectedTariff(), 1);
  ASSERT_TRUE(test::WaitFor([&] { return Text("StatusLb") == u"Composizione numero"; }))
      << Text("StatusLb").toStdString();
  const QString call = kMmRoot + QStringLiteral("/Call/0");
  SetCallState(call, 2, 0);
  ASSERT_TRUE(test::WaitFor([&] { return Text("StatusLb") == u"Ringing..."; }));
  SetCallState(call, 4, 3);
  ASSERT_TRUE(test::WaitFor([&] { return program->Logic().Call().Metering(); }));
  clock.AdvanceMs(30000);
  // The other party hangs up; the call this program placed is then deleted from the modem.
  SetCallState(call, 7, 4);
  ASSERT_TRUE(test::WaitFor([&] { return !program->Logic().Call().Metering(); }));
  const auto lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("A voce: Mario Rossi (061234567)"), std::string::npos) << lines[0];
  const auto calls = bus.Call(kMm, kMmRoot + QStringLiteral("/Modem/0"),
                              QStringLiteral("org.freedesktop.ModemManager1.Modem.Voice"),
                              QStringLiteral("ListCalls"));
  ASSERT_EQ(calls.size(), 1);
  EXPECT_TRUE(PathsOf(calls.front()).isEmpty());
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(MeterOverDBus, GsmProfileDialledWithConnettiIsMeteredUntilDeactivated) {
  StartMock("networkmanager_dialup.py", kNm);
  bus.Mock(kNm, QStringLiteral("/org/freedesktop"), QStringLiteral("AddDialupProfile"),
           {QStringLiteral("Vodafone"), QStringLiteral("gsm"), QStringLiteral("web.omnitel"),
            QStringLiteral("wwan0")});
  nm = std::make_unique<NmDialup>(bus.Connection());
  Make();
  ASSERT_TRUE(test::WaitFor([&] { return nm->EnumEntries().size() == 1; }));
  // "Accesso Remoto" shows the profile's user name; its editor is not installed here.
  QString user;
  QTimer::singleShot(0, program.get(), [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* form = qobject_cast<QDialog*>(w);
      if (!form || !form->findChild<QTreeWidget*>(QStringLiteral("lstEntries"))) continue;
      for (auto* tree : form->findChildren<QTreeWidget*>()) {
        const auto page = tree->findItems(QStringLiteral("Accesso Remoto"),
                                          Qt::MatchExactly | Qt::MatchRecursive);
        if (!page.isEmpty()) tree->setCurrentItem(page.front());
      }
      auto* entries = form->findChild<QTreeWidget*>(QStringLiteral("lstEntries"));
      if (entries && entries->topLevelItemCount() > 0)
        entries->setCurrentItem(entries->topLevelItem(0));
      user = form->findChild<QLineEdit*>(QStringLiteral("txtUserName"))->text();
      Picture(*form, "options-accesso-remoto-nm.png");
      form->findChild<QPushButton*>(QStringLiteral("btnEditEntry"))->click();
      form->reject();
    }
  });
  program->Windows().OpenOptions();
  EXPECT_EQ(user, QStringLiteral("web.omnitel"));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "Impossibile accedere alle impostazioni di accesso remoto !");
  dialogs.shown.clear();
  // The entries come with NetworkManager's answer; the dial menu is built then.
  QAction* dial = nullptr;
  ASSERT_TRUE(test::WaitFor([&] {
    auto* menu = program->Form().findChild<QMenu*>(QStringLiteral("ConnectMenu"));
    if (!menu) return false;
    for (QAction* a : menu->actions())
      if (a->data().toString() == u"Vodafone") dial = a;
    return dial != nullptr;
  }));
  dial->trigger();
  ASSERT_TRUE(test::WaitFor([&] {
    auto links = nm->EnumConnections();
    return links && links->size() == 1;
  }));
  clock.AdvanceMs(250);
  ASSERT_TRUE(program->Logic().Call().Metering());
  EXPECT_EQ(Text("ServiceLb"), QStringLiteral("Vodafone"));
  EXPECT_EQ(Text("RasLb"), QStringLiteral("Connesso"));
  EXPECT_EQ(Text("DevType"), QStringLiteral("modem"));
  EXPECT_TRUE(launcher.launched.empty());  // NetworkManager dialled, no program
  stats.Set("wwan0", kBytesReceivedCounter, 4096);
  clock.AdvanceMs(65000);
  EXPECT_EQ(Text("BytesRecv"), QStringLiteral("4.096"));
  const long long ticks = program->Logic().Call().Ticks();

  program->Form().findChild<QToolButton*>(QStringLiteral("HangupBtn"))->click();
  ASSERT_TRUE(test::WaitFor([&] {
    auto links = nm->EnumConnections();
    return links && links->empty();
  }));
  clock.AdvanceMs(250);
  EXPECT_FALSE(program->Logic().Call().Metering());
  const auto lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("Modem: Vodafone"), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("\t" + std::to_string(ticks) + "\t"), std::string::npos) << lines[0];
  EXPECT_TRUE(dialogs.shown.empty());
}

// NetworkManager restarts while a link is up (an upgrade, a crash): it leaves the bus and
// comes back with the same link under a new object. The call goes on; one record, one answer
// tick, the bill with the ticks of the time that passed.
TEST_F(MeterOverDBus, NetworkManagerRestartMidCallKeepsOneCall) {
  const QString uuid = QStringLiteral("0f6a5a0e-8c1e-4b8e-9d3e-5a7b8c9d0e1f");
  StartMock("networkmanager_dialup.py", kNm);
  const QString profile = AddProfile(QStringLiteral("Vodafone"), uuid);
  nm = std::make_unique<NmDialup>(bus.Connection());
  Make();
  ASSERT_TRUE(test::WaitFor([&] { return nm->EnumEntries().size() == 1; }));
  ASSERT_FALSE(Activate(profile, QStringLiteral("3")).isEmpty());
  ASSERT_TRUE(test::WaitFor([&] { return Links(*nm) == 1; }));
  stats.Set("wwan0", kBytesReceivedCounter, 1'000'000);  // the modem's interface existed before
  clock.AdvanceMs(250);
  ASSERT_TRUE(program->Logic().Call().Metering());
  const TDateTime start = program->Logic().Call().CallStart();
  clock.AdvanceMs(65000);
  stats.Set("wwan0", kBytesReceivedCounter, 1'004'096);

  std::string error;
  ASSERT_TRUE(bus.StopMock(kNm, error)) << error;
  ASSERT_TRUE(test::WaitFor([&] { return !nm->EnumConnections(); }));
  clock.AdvanceMs(8000);  // polls while NetworkManager is away
  EXPECT_TRUE(program->Logic().Call().Metering());
  StartMock("networkmanager_dialup.py", kNm);
  const QString again = AddProfile(QStringLiteral("Vodafone"), uuid);
  const QString active = Activate(again, QStringLiteral("0"));
  ASSERT_TRUE(test::WaitFor([&] { return Links(*nm) == 1; }));
  clock.AdvanceMs(250);
  EXPECT_TRUE(program->Logic().Call().Metering());
  EXPECT_EQ(program->Logic().Call().CallStart(), start);
  EXPECT_TRUE(LogLines().empty());
  clock.AdvanceMs(60000);
  const long long ticks = program->Logic().Call().Ticks();
  EXPECT_GE(ticks, 2);

  // The link really ends: NetworkManager deactivates it.
  bus.Mock(kNm, QStringLiteral("/org/freedesktop"), QStringLiteral("SetActiveState"),
           {active, QVariant::fromValue(4u)});
  ASSERT_TRUE(test::WaitFor([&] { return Links(*nm) == 0; }));
  clock.AdvanceMs(250);
  EXPECT_FALSE(program->Logic().Call().Metering());
  const auto lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  const auto fields = SplitTabFields(lines[0]);
  ASSERT_GE(fields.size(), 11u);
  EXPECT_NE(lines[0].find("\t" + std::to_string(ticks) + "\t"), std::string::npos) << lines[0];
  EXPECT_EQ(fields[8], "4096");
  EXPECT_EQ(fields[10], "Modem: Vodafone");
  // One answer tick: the bill holds exactly the call's ticks.
  EXPECT_EQ(BilledTicks(), ticks);
  EXPECT_TRUE(dialogs.shown.empty());
}

// Neither service runs when the program starts; both come later and are used. A voice call
// after the data call logs no bytes.
TEST_F(MeterOverDBus, ServicesStartingAfterTheProgramAreFollowed) {
  chosen = MakeSystemDialup("", bus.Connection());
  mm = std::make_unique<MmTelephony>(bus.Connection());
  Make();
  clock.AdvanceMs(1000);
  EXPECT_FALSE(program->Logic().Call().Metering());

  StartMock("networkmanager_dialup.py", kNm);
  StartMock("modemmanager.py", kMm);
  const QString profile = AddProfile(QStringLiteral("Vodafone"), QStringLiteral("a-uuid"));
  ASSERT_TRUE(test::WaitFor([&] { return chosen->EnumEntries().size() == 1; }));
  ASSERT_TRUE(test::WaitFor([&] { return mm->VoiceModems() == 1; }));
  const QString active = Activate(profile, QStringLiteral("1"));
  ASSERT_TRUE(test::WaitFor([&] { return Links(*chosen) == 1; }));
  stats.Set("wwan0", kBytesReceivedCounter, 500);
  clock.AdvanceMs(250);
  ASSERT_TRUE(program->Logic().Call().Metering());
  EXPECT_EQ(Text("ServiceLb"), QStringLiteral("Vodafone"));
  stats.Set("wwan0", kBytesReceivedCounter, 8692);
  clock.AdvanceMs(30000);
  bus.Mock(kNm, QStringLiteral("/org/freedesktop"), QStringLiteral("SetActiveState"),
           {active, QVariant::fromValue(4u)});
  ASSERT_TRUE(test::WaitFor([&] { return Links(*chosen) == 0; }));
  clock.AdvanceMs(250);
  ASSERT_EQ(LogLines().size(), 1u);
  EXPECT_EQ(SplitTabFields(LogLines()[0]).at(8), "8192");

  const auto added =
      bus.Mock(kMm, kMmRoot, QStringLiteral("AddIncomingCall"), {QStringLiteral("0612345678")});
  ASSERT_EQ(added.size(), 1);
  const QString call = added.front().value<QDBusObjectPath>().path();
  ASSERT_TRUE(test::WaitFor([&] { return Text("StatusLb") == u"Offering state"; }));
  SetCallState(call, 4, 3);
  ASSERT_TRUE(test::WaitFor([&] { return program->Logic().Call().Metering(); }));
  clock.AdvanceMs(20000);
  SetCallState(call, 7, 4);
  ASSERT_TRUE(test::WaitFor([&] { return !program->Logic().Call().Metering(); }));
  const auto lines = LogLines();
  ASSERT_EQ(lines.size(), 2u);
  const auto voice = SplitTabFields(lines[1]);
  ASSERT_GE(voice.size(), 11u);
  EXPECT_EQ(voice[10], "A voce: 0612345678");
  EXPECT_EQ(voice[8], "");
  EXPECT_EQ(voice[9], "");
}

// What a broken or hostile service may send: a profile name with a TAB and 300 characters, an
// active connection's State of the wrong type, a caller number of five thousand digits.
TEST_F(MeterOverDBus, HostilePropertiesNeverEndOrCorruptACall) {
  StartMock("networkmanager_dialup.py", kNm);
  StartMock("modemmanager.py", kMm);
  QString name = QStringLiteral("Casa\tUfficio");
  name += QString(300, QChar(u'x'));
  const QString profile = AddProfile(name, QStringLiteral("b-uuid"));
  nm = std::make_unique<NmDialup>(bus.Connection());
  mm = std::make_unique<MmTelephony>(bus.Connection());
  Make();
  ASSERT_TRUE(test::WaitFor([&] { return nm->EnumEntries().size() == 1; }));
  ASSERT_TRUE(test::WaitFor([&] { return mm->VoiceModems() == 1; }));
  const QString active = Activate(profile, QStringLiteral("2"));
  ASSERT_TRUE(test::WaitFor([&] { return Links(*nm) == 1; }));
  clock.AdvanceMs(250);
  ASSERT_TRUE(program->Logic().Call().Metering());
  bus.Mock(kNm, QStringLiteral("/org/freedesktop"), QStringLiteral("SetActiveStateText"),
           {active, QStringLiteral("4")});
  test::WaitFor([] { return false; }, std::chrono::milliseconds(300));  // the signal arrives
  clock.AdvanceMs(2000);
  EXPECT_TRUE(program->Logic().Call().Metering());
  bus.Mock(kNm, QStringLiteral("/org/freedesktop"), QStringLiteral("SetActiveState"),
           {active, QVariant::fromValue(4u)});
  ASSERT_TRUE(test::WaitFor([&] { return Links(*nm) == 0; }));
  clock.AdvanceMs(250);
  ASSERT_EQ(LogLines().size(), 1u);
  const auto data = SplitTabFields(LogLines()[0]);
  ASSERT_GE(data.size(), 11u);
  EXPECT_EQ(data[10], "Modem: Casa Ufficio" + std::string(256 - 12, 'x'));

  const auto added =
      bus.Mock(kMm, kMmRoot, QStringLiteral("AddIncomingCall"), {QString(5'000, QChar(u'7'))});
  ASSERT_EQ(added.size(), 1);
  const QString call = added.front().value<QDBusObjectPath>().path();
  ASSERT_TRUE(test::WaitFor([&] { return Text("StatusLb") == u"Offering state"; }));
  SetCallState(call, 4, 3);
  ASSERT_TRUE(test::WaitFor([&] { return program->Logic().Call().Metering(); }));
  EXPECT_LE(Text("ServiceLb").size(), 100);
  clock.AdvanceMs(5000);
  SetCallState(call, 7, 4);
  ASSERT_TRUE(test::WaitFor([&] { return !program->Logic().Call().Metering(); }));
  const auto lines = LogLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(SplitTabFields(lines[1]).at(10), "A voce: " + std::string(64, '7'));
}

#ifdef ORVA_CLI
// orva32cli meter is the same meter: it follows NetworkManager on the bus as the window does.
TEST_F(MeterOverDBus, ConsoleMeterChoosesTheServicesAsTheWindowDoes) {
  StartMock("networkmanager_dialup.py", kNm);
  const QString profile = AddProfile(QStringLiteral("Vodafone"), QStringLiteral("c-uuid"));
  const std::string data = dir.path() + "cli/";
  MakeDirectories(data);
  MakeDirectories(dir.path() + "run");
  test::WriteBytes(data + "Time Servers.txt", "127.0.0.1\r\n");
  QProcess meter;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), bus.Address());
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(dir.path() + "run"));
  meter.setProcessEnvironment(env);
  meter.start(QStringLiteral(ORVA_CLI), {QStringLiteral("meter"), QStringLiteral("--data-dir"),
                                         QString::fromStdString(data)});
  ASSERT_TRUE(meter.waitForStarted(5000));
  QByteArray out;
  auto shown = [&](const char* text) {
    out += meter.readAllStandardOutput();
    return out.contains(text);
  };
  ASSERT_TRUE(test::WaitFor([&] { return shown("Sconnesso"); }, std::chrono::seconds(10)))
      << out.toStdString();
  const QString active = Activate(profile, QStringLiteral("5"));
  ASSERT_TRUE(test::WaitFor([&] { return shown("Connesso | Vodafone"); }, std::chrono::seconds(10)))
      << out.toStdString();
  bus.Mock(kNm, QStringLiteral("/org/freedesktop"), QStringLiteral("SetActiveState"),
           {active, QVariant::fromValue(4u)});
  ASSERT_TRUE(
      test::WaitFor([&] { return FileExists(data + "ORVA.LOG"); }, std::chrono::seconds(10)))
      << out.toStdString();
  meter.terminate();
  EXPECT_TRUE(meter.waitForFinished(10000));
  const auto lines = ReadTextLines(data + "ORVA.LOG");
  ASSERT_TRUE(lines.ok());
  ASSERT_EQ(lines->size(), 1u);
  EXPECT_EQ(SplitTabFields((*lines)[0]).at(10), "Modem: Vodafone");
}
#endif

}  // namespace
}  // namespace orva

// NetworkManager and ModemManager as the dial-up and telephony services, against
// python-dbusmock on a private system bus: the entries and connections NetworkManager's
// profiles give, dialling and hang-up, and the call-state events of ModemManager's calls.
#include <gtest/gtest.h>

#include <QDBusObjectPath>
#include <algorithm>

#include "PrivateBus.h"
#include "platform/qt/FollowingDialup.h"
#include "platform/qt/MmTelephony.h"
#include "platform/qt/NmDialup.h"
#include "platform/qt/SystemServices.h"
#include "simulation/Simulated.h"

namespace orva {
namespace {

const QString kNm = QStringLiteral("org.freedesktop.NetworkManager");
const QString kNmRoot = QStringLiteral("/org/freedesktop");
const QString kMm = QStringLiteral("org.freedesktop.ModemManager1");
const QString kMmRoot = QStringLiteral("/org/freedesktop/ModemManager1");

struct DBusProviders : ::testing::Test {
  test::PrivateBus bus;
  void SetUp() override {
    const std::string reason = test::PrivateBus::SkipReason();
    if (!reason.empty()) GTEST_SKIP() << reason;
    std::string error;
    ASSERT_TRUE(bus.Start(error)) << error;
  }
  void StartNm() {
    std::string error;
    ASSERT_TRUE(bus.StartMock(test::MockTemplateDir() + QStringLiteral("networkmanager_dialup.py"),
                              kNm, error))
        << error;
  }
  void StartMm() {
    std::string error;
    ASSERT_TRUE(
        bus.StartMock(test::MockTemplateDir() + QStringLiteral("modemmanager.py"), kMm, error))
        << error;
  }
  QString AddProfile(const char* name, const char* kind, const char* user, const char* ip) {
    const auto out = bus.Mock(kNm, kNmRoot, QStringLiteral("AddDialupProfile"),
                              {QString::fromUtf8(name), QString::fromUtf8(kind),
                               QString::fromUtf8(user), QString::fromUtf8(ip)});
    return out.isEmpty() ? QString() : out.front().toString();
  }
  static std::vector<DialupConnection> Links(NmDialup& nm) {
    auto links = nm.EnumConnections();
    return links ? *links : std::vector<DialupConnection>{};
  }
};

TEST_F(DBusProviders, NetworkManagerProfilesOfDialledKindsAreTheEntries) {
  QDBusConnection connection = bus.Connection();
  NmDialup nm(connection);
  // Not on the bus yet: the connections cannot be asked for.
  EXPECT_FALSE(nm.EnumConnections());
  int changes = 0;
  nm.onEntriesChanged = [&] { ++changes; };
  StartNm();
  AddProfile("Vodafone", "gsm", "web.omnitel", "wwan0");
  AddProfile("Tre", "cdma", "tre", "");
  AddProfile("Aruba DSL", "pppoe", "utente@aruba", "");
  AddProfile("Telefono BT", "bluetooth", "", "");
  AddProfile("Casa", "802-11-wireless", "", "");
  // A name that cannot go in a menu or a table line as it is: it is made safe, not dropped.
  AddProfile("Riga\tdue", "gsm", "", "");
  const std::vector<std::string> expected{"Aruba DSL", "Riga due", "Telefono BT", "Tre",
                                          "Vodafone"};
  ASSERT_TRUE(test::WaitFor([&] { return nm.EnumEntries() == expected; }))
      << nm.EnumEntries().size();
  EXPECT_GT(changes, 0);
  EXPECT_EQ(nm.EntryUser("Vodafone"), "web.omnitel");
  EXPECT_EQ(nm.EntryUser("Aruba DSL"), "utente@aruba");
  EXPECT_EQ(nm.EntryUser("Casa"), "");
  EXPECT_TRUE(nm.DialCommand("Vodafone").empty());
  auto links = nm.EnumConnections();
  ASSERT_TRUE(links);
  EXPECT_TRUE(links->empty());
}

TEST_F(DBusProviders, NetworkManagerDialActivatesAndHangUpDeactivates) {
  StartNm();
  QDBusConnection connection = bus.Connection();
  NmDialup nm(connection);
  std::vector<std::string> errors;
  nm.onError = [&](const std::string& e) { errors.push_back(e); };
  AddProfile("Vodafone", "gsm", "web", "wwan0");
  ASSERT_TRUE(test::WaitFor([&] { return nm.EnumEntries().size() == 1; }))
      << nm.Ready() << " " << nm.EnumConnections().ok();
  RecordingLauncher launcher;
  EXPECT_FALSE(nm.Dial("Sconosciuto", launcher));
  ASSERT_TRUE(nm.Dial("Vodafone", launcher));
  EXPECT_TRUE(launcher.launched.empty());  // no program: NetworkManager dials
  ASSERT_TRUE(test::WaitFor([&] { return Links(nm).size() == 1; }));
  DialupConnection link = Links(nm).front();
  EXPECT_EQ(link.entryName, "Vodafone");
  EXPECT_EQ(link.deviceType, "modem");
  EXPECT_EQ(link.deviceName, "ttyUSB_wwan0");
  EXPECT_EQ(link.interfaceName, "wwan0");
  EXPECT_EQ(nm.GetConnectStatus(link.handle).state, kRasConnected);

  // Activating again (a re-negotiation) reads as connecting; the handle stays.
  const QString active = QStringLiteral("/org/freedesktop/NetworkManager/ActiveConnection/0");
  bus.Mock(kNm, kNmRoot, QStringLiteral("SetActiveState"), {active, QVariant::fromValue(1u)});
  ASSERT_TRUE(test::WaitFor(
      [&] { return nm.GetConnectStatus(link.handle).state == kRasConnectingDevice; }));
  EXPECT_EQ(Links(nm).front().handle, link.handle);
  // Deactivating: the connection is gone from the list at once.
  bus.Mock(kNm, kNmRoot, QStringLiteral("SetActiveState"), {active, QVariant::fromValue(3u)});
  ASSERT_TRUE(test::WaitFor([&] { return Links(nm).empty(); }));
  bus.Mock(kNm, kNmRoot, QStringLiteral("SetActiveState"), {active, QVariant::fromValue(2u)});
  ASSERT_TRUE(test::WaitFor([&] { return Links(nm).size() == 1; }));

  ASSERT_TRUE(nm.HangUp(link.handle));
  ASSERT_TRUE(test::WaitFor([&] { return Links(nm).empty(); }));
  EXPECT_FALSE(nm.HangUp(link.handle));
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(DBusProviders, ServicesAreFollowedAsTheyComeAndGoOnTheBus) {
  QDBusConnection connection = bus.Connection();
  auto automatic = MakeSystemDialup("", connection);
  auto* following = dynamic_cast<FollowingDialup*>(automatic.get());
  ASSERT_TRUE(following);
  EXPECT_FALSE(following->UsingNetworkManager());
  EXPECT_TRUE(dynamic_cast<NmDialup*>(MakeSystemDialup("nm", connection).get()));
  EXPECT_TRUE(dynamic_cast<PppDialup*>(MakeSystemDialup("pppd", connection).get()));
  // ModemManager is followed even before it runs.
  EXPECT_TRUE(dynamic_cast<MmTelephony*>(MakeSystemTelephony(connection).get()));
  int changes = 0;
  following->onEntriesChanged = [&] { ++changes; };
  StartNm();
  ASSERT_TRUE(test::WaitFor([&] { return following->UsingNetworkManager(); }));
  EXPECT_GE(changes, 1);
  // Leaving the bus, NetworkManager stays the service for the grace of a restart.
  std::string error;
  ASSERT_TRUE(bus.StopMock(kNm, error)) << error;
  test::WaitFor([] { return false; }, std::chrono::milliseconds(200));
  EXPECT_TRUE(following->UsingNetworkManager());
  EXPECT_FALSE(following->EnumConnections());
  EXPECT_TRUE(IsDialupChoice("nm") && IsDialupChoice("pppd") && IsDialupChoice(""));
  EXPECT_FALSE(IsDialupChoice("NM") || IsDialupChoice("ppp"));
}

struct LineEvent {
  std::int64_t call;
  int state, detail;
  bool operator==(const LineEvent&) const = default;
};

struct Line {
  std::vector<LineEvent> events;
  Telephony::Callback Callback() {
    return [this](std::int64_t call, int event, int state, int detail) {
      if (event == kLineCallState) events.push_back({call, state, detail});
    };
  }
  bool Saw(int state) const {
    return std::any_of(events.begin(), events.end(),
                       [&](const LineEvent& e) { return e.state == state; });
  }
};

TEST_F(DBusProviders, ModemManagerIncomingCallGivesTheLineEvents) {
  QDBusConnection connection = bus.Connection();
  // Opened before ModemManager runs, the line learns its modems when it comes.
  MmTelephony mm(connection);
  Line line;
  ASSERT_EQ(mm.Open(line.Callback()), TelephonyOpen::Ok);
  EXPECT_EQ(mm.VoiceModems(), 0);
  StartMm();
  ASSERT_TRUE(test::WaitFor([&] { return mm.VoiceModems() == 1; }));

  const auto path =
      bus.Mock(kMm, kMmRoot, QStringLiteral("AddIncomingCall"), {QStringLiteral("0612345678")});
  ASSERT_EQ(path.size(), 1);
  const QString call = path.front().value<QDBusObjectPath>().path();
  ASSERT_TRUE(test::WaitFor([&] { return line.Saw(kCallOffering); }));
  const std::int64_t handle = line.events.back().call;
  bus.Mock(kMm, kMmRoot, QStringLiteral("SetCallState"), {call, 4, 3});
  ASSERT_TRUE(test::WaitFor([&] { return line.Saw(kCallConnected); }));
  const auto info = mm.GetCallInfo(handle);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->calledParty, "0612345678");
  EXPECT_EQ(info->displayableAddress, "");
  EXPECT_EQ(info->mediaMode, kMediaInteractiveVoice);
  // Hanging up from here terminates the call; its removal reads as idle.
  ASSERT_TRUE(mm.Drop(handle));
  ASSERT_TRUE(test::WaitFor([&] { return line.Saw(kCallDisconnected); }));
  bus.Mock(kMm, kMmRoot, QStringLiteral("DropCall"), {QVariant::fromValue(QDBusObjectPath(call))});
  ASSERT_TRUE(test::WaitFor([&] { return line.Saw(kCallIdle); }));
  const std::vector<LineEvent> expected{{handle, kCallOffering, 0},
                                        {handle, kCallConnected, 0},
                                        {handle, kCallDisconnected, 0},
                                        {handle, kCallIdle, 0}};
  EXPECT_EQ(line.events, expected);
  EXPECT_FALSE(mm.GetCallInfo(handle));
}

TEST_F(DBusProviders, ModemManagerPlacesACallAndReportsABusyLine) {
  StartMm();
  QDBusConnection connection = bus.Connection();
  MmTelephony mm(connection);
  Line line;
  ASSERT_EQ(mm.Open(line.Callback()), TelephonyOpen::Ok);
  EXPECT_FALSE(mm.MakeCall("06 1234", "Mario"));  // no modem known yet
  ASSERT_TRUE(test::WaitFor([&] { return mm.VoiceModems() == 1; }));
  EXPECT_FALSE(mm.MakeCall("06;reboot", "Mario"));
  EXPECT_FALSE(mm.MakeCall("", "Mario"));
  std::vector<std::string> errors;
  mm.onError = [&](const std::string& e) { errors.push_back(e); };
  ASSERT_TRUE(mm.MakeCall("06-1234 567", "Mario Rossi"));
  ASSERT_TRUE(test::WaitFor([&] { return line.Saw(kCallDialing); }));
  const std::int64_t handle = line.events.back().call;
  const auto number =
      bus.Call(kMm, QStringLiteral("/org/freedesktop/ModemManager1/Call/0"),
               QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
               {QStringLiteral("org.freedesktop.ModemManager1.Call"), QStringLiteral("Number")});
  ASSERT_EQ(number.size(), 1);
  EXPECT_EQ(number.front().value<QDBusVariant>().variant().toString(), QStringLiteral("061234567"));
  const auto info = mm.GetCallInfo(handle);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->calledParty, "Mario Rossi");
  EXPECT_EQ(info->displayableAddress, "061234567");
  const QString call = QStringLiteral("/org/freedesktop/ModemManager1/Call/0");
  bus.Mock(kMm, kMmRoot, QStringLiteral("SetCallState"), {call, 2, 0});
  ASSERT_TRUE(test::WaitFor([&] { return line.Saw(kCallRingback); }));
  bus.Mock(kMm, kMmRoot, QStringLiteral("SetCallState"), {call, 7, 5});
  // Busy; the call this program placed is deleted by it, which reads as idle.
  ASSERT_TRUE(test::WaitFor([&] { return line.Saw(kCallIdle); }));
  const std::vector<LineEvent> expected{{handle, kCallDialing, 0},
                                        {handle, kCallRingback, 0},
                                        {handle, kCallDisconnected, 32},
                                        {handle, kCallIdle, 0}};
  EXPECT_EQ(line.events, expected);
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace orva

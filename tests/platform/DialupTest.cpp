// The pppd dial-up service over fake /sys, /run, /proc and peers trees.
#include <gtest/gtest.h>

#include "FakePppTree.h"
#include "TempDir.h"
#include "platform/Dialup.h"
#include "platform/SafeFile.h"

namespace orva {
namespace {

using test::TempDir;
using test::WriteBytes;

class PppTree : public ::testing::Test, public test::FakePppTree {};

TEST_F(PppTree, ConnectionIsNamedByTheOwningPppdAndItsState) {
  Interface("ppp0", 7, true);
  Interface("eth0", 2, true);  // does not match the pattern
  addresses["ppp0"] = "10.64.64.64";
  addresses["eth0"] = "192.168.1.2";
  WriteBytes(roots.run + "/ppp0.pid", "4242\n");
  Process(4242, "pppd", std::string("/usr/sbin/pppd\0call\0tiscali\0/dev/ttyS0\0", 38));
  // A second pppd still dialling: no interface yet.
  Process(5000, "pppd", std::string("pppd\0linkname\0libero\0", 21));
  Process(777, "bash", std::string("bash\0", 5));

  auto d = Service();
  auto list = d.EnumConnections();
  ASSERT_TRUE(list.ok());
  ASSERT_EQ(list->size(), 2u);
  const auto& up = (*list)[0];
  EXPECT_EQ(up.entryName, "tiscali");
  EXPECT_EQ(up.handle, 4242);
  EXPECT_EQ(up.deviceName, "/dev/ttyS0");
  EXPECT_EQ(up.interfaceName, "ppp0");
  EXPECT_EQ(up.interfaceIndex, 7);
  EXPECT_EQ(up.ipv4, "10.64.64.64");
  EXPECT_EQ(d.GetConnectStatus(4242).state, kRasConnected);
  const auto& dialling = (*list)[1];
  EXPECT_EQ(dialling.entryName, "libero");
  EXPECT_EQ(d.GetConnectStatus(5000).state, kRasConnectingDevice);
  EXPECT_EQ(d.GetConnectStatus(99999).state, kRasDisconnected);
}

// pppd creates the interface before the line is authenticated and brings it up after IPCP:
// a down interface is a link still being made, never a disconnection.
TEST_F(PppTree, UpWithoutAddressIsNegotiatingAndDownIsStillConnecting) {
  Interface("ppp0", 3, true);  // up, no address yet
  Interface("ppp1", 4, false);
  addresses["ppp1"] = "10.1.1.1";  // an address on a down link does not count
  auto d = Service();
  auto list = d.EnumConnections();
  ASSERT_EQ(list->size(), 2u);
  EXPECT_EQ(d.GetConnectStatus((*list)[0].handle).state, kRasProjecting);
  EXPECT_EQ(d.GetConnectStatus((*list)[1].handle).state, kRasDeviceConnected);
}

TEST_F(PppTree, StalePidFileNamesTheInterfaceAndHangUpSendsNoSignal) {
  // The pid of the file now belongs to another program: it must not be signalled.
  Interface("ppp0", 9, true);
  addresses["ppp0"] = "10.0.0.1";
  WriteBytes(roots.run + "/ppp0.pid", "777\n");
  Process(777, "bash", std::string("bash\0call\0x\0", 12));
  auto d = Service();
  auto list = d.EnumConnections();
  ASSERT_EQ(list->size(), 1u);
  EXPECT_EQ((*list)[0].entryName, "ppp0");
  EXPECT_LT((*list)[0].handle, 0);
  EXPECT_FALSE(d.HangUp((*list)[0].handle).ok);
  EXPECT_FALSE(d.HangUp(777).ok);
  EXPECT_EQ(d.GetConnectStatus((*list)[0].handle).state, kRasConnected);
}

TEST_F(PppTree, UnreadableInterfaceListIsAnEnumerationFailure) {
  roots.sys = dir.path() + "missing";
  auto d = Service();
  EXPECT_FALSE(d.EnumConnections().ok());
}

TEST_F(PppTree, EntriesAreThePeerFilesThatCanBeDialled) {
  for (const char* name : {"tiscali", "libero", "-option", ".hidden", "old~"})
    WriteBytes(roots.peers + "/" + name, "noauth\n");
  MakeDirectories(roots.peers + "/folder");
  auto d = Service();
  EXPECT_EQ(d.EnumEntries(), (std::vector<std::string>{"libero", "tiscali"}));
  EXPECT_EQ(d.DialCommand("tiscali"), (std::vector<std::string>{"pon", "tiscali"}));
  EXPECT_TRUE(d.DialCommand("-f").empty());
  EXPECT_TRUE(d.DialCommand("../etc").empty());
  EXPECT_TRUE(d.DialCommand("").empty());
}

TEST_F(PppTree, EntryUserIsThePeerFilesUserOptionAndTheEditorGetsThePath) {
  WriteBytes(roots.peers + "/tiscali",
             "# user commented\nnoauth\nuser \"mario rossi\" # the account\nremotename isp\n");
  WriteBytes(roots.peers + "/libero", "user first\nuser 'second'\n");
  WriteBytes(roots.peers + "/none", "noauth\nuser\n");
  WriteBytes(roots.peers + "/big", std::string(70000, 'x'));
  auto d = Service();
  EXPECT_EQ(d.EntryUser("tiscali"), "mario rossi");
  EXPECT_EQ(d.EntryUser("libero"), "second");  // pppd takes the last one
  EXPECT_EQ(d.EntryUser("none"), "");
  EXPECT_EQ(d.EntryUser("big"), "");
  EXPECT_EQ(d.EntryUser("missing"), "");
  EXPECT_EQ(d.EntryUser("../tiscali"), "");
  EXPECT_EQ(d.EditCommand("tiscali"),
            (std::vector<std::string>{"xdg-open", roots.peers + "/tiscali"}));
  EXPECT_TRUE(d.EditCommand("-x").empty());
}

TEST(PppUserOption, QuotesEscapesCommentsAndControlCharacters) {
  EXPECT_EQ(PppUserOption("user a\\ b"), "a b");
  EXPECT_EQ(PppUserOption("user \"a#b\""), "a#b");
  EXPECT_EQ(PppUserOption("user ab#c"), "ab#c");  // a "#" inside a word is part of it
  EXPECT_EQ(PppUserOption("user \"a\x01\tb\""), "ab");
  EXPECT_EQ(PppUserOption("user \"unterminated"), "unterminated");
  EXPECT_EQ(PppUserOption("#user x"), "");
}

TEST(InterfacePatterns, ShellStyle) {
  EXPECT_TRUE(MatchesPattern("ppp0", "ppp*"));
  EXPECT_TRUE(MatchesPattern("wan3", "wan?"));
  EXPECT_FALSE(MatchesPattern("eth0", "ppp*"));
  EXPECT_FALSE(MatchesPattern("xppp0", "ppp*"));
}

}  // namespace
}  // namespace orva

// Adapter statistics over a fake sysfs tree.
#include <gtest/gtest.h>

#include "TempDir.h"
#include "platform/SafeFile.h"
#include "platform/SysMon.h"
#include "simulation/ManualClock.h"

namespace orva {
namespace {

using test::TempDir;
using test::WriteBytes;

struct Sysfs {
  Sysfs() {
    MakeDirectories(dir.path() + "class/net/ppp0/statistics");
    Set("ppp0", "rx_bytes", "5000000000\n");  // beyond 32 bits
    Set("ppp0", "tx_bytes", "1234\n");
  }
  void Set(const std::string& ifname, const std::string& file, const std::string& text) {
    WriteBytes(dir.path() + "class/net/" + ifname + "/statistics/" + file, text);
  }
  TempDir dir;
};

TEST(TSysMon, DialupAdapterReadsTheBoundInterfaceAndMissingValuesAreMinusOne) {
  Sysfs fs;
  SysfsStatistics source(fs.dir.path());
  ManualClock clock(EncodeDate(2026, 1, 5));
  TSysMon mon(source, clock);
  const auto objects = mon.ListObjects();
  ASSERT_FALSE(objects.empty());
  EXPECT_EQ(objects[0], kDialupAdapterObject);

  TMonObject& rx = mon.AddMonitor();
  rx.SysObject = kDialupAdapterObject;
  rx.Counter = kBytesReceivedCounter;
  TMonObject& speed = mon.AddMonitor();
  speed.SysObject = kDialupAdapterObject;
  speed.Counter = kConnectSpeedCounter;
  TMonObject& unnamed = mon.AddMonitor();

  EXPECT_EQ(mon.Read(rx), -1);  // no dial-up interface yet
  mon.SetDialupInterface("ppp0");
  EXPECT_EQ(mon.Read(rx), 5000000000LL);
  EXPECT_TRUE(rx.started);
  EXPECT_EQ(mon.Read(speed), -1);  // ppp links have no speed file
  EXPECT_EQ(mon.Read(unnamed), -1);
  mon.SetDialupInterface("ppp1");  // gone
  EXPECT_EQ(mon.Read(rx), -1);
}

TEST(TSysMon, RateCounterGivesUnitsPerSecond) {
  Sysfs fs;
  SysfsStatistics source(fs.dir.path());
  ManualClock clock(EncodeDate(2026, 1, 5));
  TSysMon mon(source, clock);
  TMonObject& rate = mon.AddMonitor();
  rate.SysObject = "ppp0";
  rate.Counter = "tx_bytes/Sec";
  mon.Start(rate);
  EXPECT_TRUE(rate.differentiate);
  mon.Read(rate);
  clock.AdvanceMs(2000);
  fs.Set("ppp0", "tx_bytes", "5234\n");
  EXPECT_EQ(mon.Read(rate), 2000);
}

TEST(SysfsStatistics, SpeedInBitsAndBadTextsAreMissing) {
  Sysfs fs;
  WriteBytes(fs.dir.path() + "class/net/ppp0/speed", "100\n");
  fs.Set("ppp0", "rx_packets", "garbage");
  SysfsStatistics source(fs.dir.path());
  EXPECT_EQ(source.ReadCounter("ppp0", kConnectSpeedCounter), 100000000);
  EXPECT_FALSE(source.ReadCounter("ppp0", "rx_packets"));
  EXPECT_FALSE(source.ReadCounter("../ppp0", kBytesSentCounter));
  EXPECT_FALSE(source.ReadCounter("ppp0", "../../x"));
}

}  // namespace
}  // namespace orva

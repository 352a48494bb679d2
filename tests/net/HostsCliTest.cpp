// orva32cli hosts merge on a hosts file of the test's own, the way the upkeep runs it at the end
// of a call: what the file holds already is never added again, whoever wrote it.
#include <gtest/gtest.h>

#include "RunProgram.h"
#include "TempDir.h"

namespace orva {
namespace {

test::ProgramRun MergeHosts(const test::TempDir& dir) {
  return test::RunProgram(
      {ORVA_CLI, "hosts", "merge", "--data-dir", dir.path(), "--system", dir.File("hosts")});
}

TEST(HostsCli, MergeNeverAddsANameTheFileHoldsNorALocalAddress) {
  test::TempDir dir;
  const std::string system =
      "127.0.0.1\tlocalhost\n"
      "127.0.1.1 desk.home desk\n"
      "# The following lines are desirable for IPv6 capable hosts\n"
      "::1     localhost ip6-localhost ip6-loopback\n"
      "10.0.0.5 old.example #01-01-2020 10.00.00\n"
      "192.168.1.9 nas.home  nas   # my NAS\n";
  test::WriteBytes(dir.File("hosts"), system);
  test::WriteBytes(dir.File("hosts.mqm"),
                   "127.0.0.1 localhost #12-08-2026 10.00.00\r\n"          // the machine itself
                   "::1 ip6-localhost #12-08-2026 10.00.00\r\n"            // the same in IPv6
                   "127.0.0.53 resolver.example #12-08-2026 10.00.00\r\n"  // all of 127/8
                   "169.254.7.7 printer.example #12-08-2026 10.00.00\r\n"  // link-local
                   "fe80::1:2 router.example #12-08-2026 10.00.00\r\n"     // link-local IPv6
                   "::ffff:127.0.0.1 mapped.example #12-08-2026 10.00.00\r\n"
                   "10.9.9.9 DESK #12-08-2026 10.00.00\r\n"         // an alias, in capitals
                   "10.9.9.8 Nas.Home #12-08-2026 10.00.00\r\n"     // a person's line
                   "10.9.9.7 Old.Example #12-08-2026 10.00.01\r\n"  // the program's own line
                   "10.0.0.7 new.example #12-08-2026 10.00.02\r\n"
                   "10.0.0.8 NEW.EXAMPLE #12-08-2026 10.00.03\r\n");
  const auto run = MergeHosts(dir);
  ASSERT_EQ(run.code, 0) << run.out;
  // Only the one new name is added; the program's own line takes the newer time and keeps its
  // address; every other line stays byte for byte.
  const std::string merged =
      "127.0.0.1\tlocalhost\n"
      "127.0.1.1 desk.home desk\n"
      "# The following lines are desirable for IPv6 capable hosts\n"
      "::1     localhost ip6-localhost ip6-loopback\n"
      "10.0.0.5 old.example #12-08-2026 10.00.01\n"
      "192.168.1.9 nas.home  nas   # my NAS\n"
      "10.0.0.7 new.example #12-08-2026 10.00.03\n";
  EXPECT_EQ(test::ReadBytes(dir.File("hosts")), merged);
  // The upkeep runs at the end of every call: the file does not grow.
  ASSERT_EQ(MergeHosts(dir).code, 0);
  ASSERT_EQ(MergeHosts(dir).code, 0);
  EXPECT_EQ(test::ReadBytes(dir.File("hosts")), merged);
}

}  // namespace
}  // namespace orva

// The privileged hosts helper run directly against a hosts file in a temporary folder, its
// refusals, and the call-end road for a user who may not write the hosts file: the names wait
// in "hosts.mqm" and one run of the helper applies them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>

#include "NetFakes.h"
#include "RunProgram.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "core/HowUtils.h"
#include "net/HostsUpkeep.h"
#include "net/Monitor.h"
#include "platform/SafeFile.h"
#include "simulation/ManualClock.h"

namespace orva {
namespace {

test::ProgramRun Helper(const std::string& hosts, const std::string& input) {
  return test::RunProgram({ORVA_HOSTS_HELPER, "apply", "--hosts", hosts}, input);
}

// The helper as the program runs it, without pkexec: the test has the rights already.
class DirectHelper final : public HostsAuthority {
 public:
  explicit DirectHelper(std::string hosts) : m_hosts(std::move(hosts)) {}
  bool CanWrite(const std::string&) const override { return false; }
  Status RunHelper(const std::string& input) override {
    ++runs;
    const auto r = Helper(m_hosts, input);
    return r.code == 0 ? Status::Ok() : Status::Fail("helper " + std::to_string(r.code));
  }
  int runs = 0;

 private:
  std::string m_hosts;
};

TEST(HostsHelper, AppliesCheckedEntriesBackupFirstThroughALink) {
  test::TempDir dir;
  MakeDirectories(dir.File("etc"));
  const std::string original =
      "127.0.0.1 localhost\n10.0.0.5 old.example #t\n# my NAS\n192.168.1.5 nas.home #t0\n"
      "::1 ip6-localhost\n";
  test::WriteBytes(dir.File("etc/hosts"), original);
  ::chmod(dir.File("etc/hosts").c_str(), 0644);
  ASSERT_EQ(::symlink("etc/hosts", dir.File("hosts").c_str()), 0);
  const auto run = Helper(dir.File("hosts"),
                          "10.0.0.7 new.example #12-08-2026 10.00.01\n"
                          "2001:db8::1:2:3:4 v6.example.net #12-08-2026 10.00.02\n"
                          "10.9.9.9 nas.home #12-08-2026 10.00.03\n"
                          "-10.0.0.5 old.example\n");
  ASSERT_EQ(run.code, 0);
  EXPECT_EQ(run.out, "4\n");
  struct stat st {};
  ASSERT_EQ(::lstat(dir.File("hosts").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(test::ReadBytes(dir.File("etc/hosts")),
            "127.0.0.1 localhost\n# my NAS\n192.168.1.5 nas.home #12-08-2026 10.00.03\n"
            "::1 ip6-localhost\n"
            "10.0.0.7 new.example #12-08-2026 10.00.01\n"
            "2001:db8::1:2:3:4 v6.example.net #12-08-2026 10.00.02\n");
  // The copy lies beside the name the file is known by.
  EXPECT_EQ(test::ReadBytes(dir.File("hosts.bak")), original);
  // The same entries again change nothing and write nothing.
  const std::string now = test::ReadBytes(dir.File("etc/hosts"));
  ::unlink(dir.File("hosts.bak").c_str());
  EXPECT_EQ(Helper(dir.File("hosts"), "10.0.0.7 new.example #12-08-2026 10.00.01\n").code, 0);
  EXPECT_EQ(test::ReadBytes(dir.File("etc/hosts")), now);
  EXPECT_FALSE(FileExists(dir.File("hosts.bak")));
}

TEST(HostsHelper, RefusesTheWholeInputAtTheFirstBadLine) {
  test::TempDir dir;
  const std::string hosts = dir.File("hosts");
  test::WriteBytes(hosts, "127.0.0.1 localhost\n");
  const std::string good = "10.0.0.7 new.example #t\n";
  for (const std::string& bad : std::vector<std::string>{
           "10.0.0.256 a.example #t",                      // not an address
           "10.0.0.1%eth0 a.example #t",                   // a zone
           "10.0.0.1 a_b.example #t",                      // not a host name
           "10.0.0.1 a.example;rm #t",                     // not a host name
           "10.0.0.1 a.example b.example #t",              // an alias slipped in
           "10.0.0.1  a.example #t",                       // not the program's own form
           "10.0.0.1 a.example #t\tx",                     // a control character
           "10.0.0.1 a.example #" + std::string(65, '1'),  // a time text too long
           "10.0.0.1 a.example",                           // no "#"
           "-10.0.0.1",                                    // a removal without a name
           "127.0.0.1 localhost #t\r",                     // a CR left in
       }) {
    const auto run = Helper(hosts, good + bad + "\n");
    EXPECT_EQ(run.code, 2) << bad;
    EXPECT_EQ(test::ReadBytes(hosts), "127.0.0.1 localhost\n") << bad;
    EXPECT_FALSE(FileExists(dir.File("hosts.bak"))) << bad;
  }
  std::string huge;
  while (huge.size() <= kHelperMaxInputBytes) huge += good;
  EXPECT_EQ(Helper(hosts, huge).code, 2);
  EXPECT_EQ(test::RunProgram({ORVA_HOSTS_HELPER, "remove"}).code, 3);
  // With borrowed rights no other file may be named.
  ::setenv("PKEXEC_UID", "1000", 1);
  const auto underPkexec = Helper(hosts, good);
  ::unsetenv("PKEXEC_UID");
  EXPECT_EQ(underPkexec.code, 3);
  EXPECT_EQ(test::ReadBytes(hosts), "127.0.0.1 localhost\n");
}

// The names a user's hosts file gives already, on his own lines or the program's, in any case,
// and the machine's own addresses never wait for the helper nor reach the file through it.
TEST(HostsHelper, NeverAddsANameTheFileHoldsNorALocalAddress) {
  test::TempDir dir;
  HostsPaths paths{dir.File("hosts.mqm"), dir.File("hosts")};
  const std::string system =
      "127.0.0.1 localhost\n127.0.1.1 desk.home desk\n::1 localhost ip6-localhost\n"
      "10.0.0.5 old.example #t0\n";
  test::WriteBytes(paths.system, system);
  test::WriteBytes(paths.staging,
                   "127.0.0.1 localhost #t1\r\n::1 ip6-localhost #t1\r\n"
                   "169.254.1.1 printer.example #t1\r\nfe80::1 router.example #t1\r\n"
                   "10.9.9.9 Desk.Home #t1\r\n10.9.9.8 OLD.example #t0\r\n"
                   "10.0.0.7 new.example #t1\r\n");
  const auto pending = PendingStagedEntries(paths);
  ASSERT_EQ(pending.size(), 1u);
  EXPECT_EQ(pending[0].hostName, "new.example");
  DirectHelper helper(paths.system);
  ASSERT_TRUE(ApplyPendingHosts(paths, helper));
  EXPECT_EQ(test::ReadBytes(paths.system), system + "10.0.0.7 new.example #t1\n");
  EXPECT_TRUE(PendingStagedEntries(paths).empty());
  // Well-formed lines of the same kind handed to the helper directly change nothing.
  const std::string now = test::ReadBytes(paths.system);
  const auto run = Helper(paths.system,
                          "127.0.0.1 localhost #t2\n127.0.0.1 LOCALHOST #t2\n"
                          "10.1.1.1 IP6-LOCALHOST #t2\n169.254.1.1 printer.example #t2\n"
                          "10.1.1.2 desk #t2\n10.1.1.3 New.Example #t1\n");
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(test::ReadBytes(paths.system), now);
}

// A call's visited servers, for a user who may not write the hosts file: nothing is shown at
// call end, the names wait in "hosts.mqm" (also over a second call) and one helper run
// applies them all.
TEST(HostsHelper, CallEndNamesWaitThenOneRunAppliesThem) {
  test::TempDir dir;
  HostsPaths paths{dir.File("hosts.mqm"), dir.File("hosts")};
  test::WriteBytes(paths.system, "127.0.0.1 localhost\n");
  ManualClock clock{EncodeDate(2026, 12, 8) + EncodeTime(10, 0, 0)};
  MonitorSettings settings;
  settings.automatedHosts = true;
  test::FakeResolver resolver;
  NetstatObjects netstat = CreateNetstatObjects(
      std::make_shared<ProcMibAgent>(test::TestDataDir() + "net/proc/ipv6"), 0);
  TrafficMonitor monitor{clock, settings, netstat, resolver};
  monitor.CanWriteSystemHosts = [](const std::string&) { return false; };
  auto call = [&](const char* v4name) {
    monitor.CallStart("10.0.0.1");
    clock.AdvanceMs(2000);
    monitor.MeterTick();
    resolver.Complete(test::FakeResolver::Name(v4name));
    resolver.Complete(test::FakeResolver::Addresses({"10.0.0.2"}));
    for (int i = 0; i < 2; ++i) {
      clock.AdvanceMs(2000);
      monitor.MeterTick();
      resolver.Complete(test::FakeResolver::Failed());
    }
    return monitor.CallEnd(clock.Now(), paths, dir.path());
  };
  ASSERT_TRUE(call("first.example"));
  EXPECT_EQ(test::ReadBytes(paths.system), "127.0.0.1 localhost\n");
  EXPECT_EQ(PendingStagedEntries(paths).size(), 1u);
  // The second call's list does not push the first call's name out.
  ASSERT_TRUE(call("second.example"));
  const auto pending = PendingStagedEntries(paths);
  ASSERT_EQ(pending.size(), 2u);
  EXPECT_EQ(pending[0].hostName, "first.example");
  EXPECT_EQ(pending[1].hostName, "second.example");
  EXPECT_EQ(HostsWaitingText(pending.size()),
            "2 nomi in attesa di \xC2\xAB"
            "Applica hosts\xC2\xBB");
  EXPECT_EQ(HostsWaitingText(0), "");

  DirectHelper helper(paths.system);
  const auto applied = ApplyPendingHosts(paths, helper);
  ASSERT_TRUE(applied) << applied.error;
  EXPECT_EQ(*applied, 2u);
  EXPECT_EQ(helper.runs, 1);
  const std::string hosts = test::ReadBytes(paths.system);
  EXPECT_EQ(hosts.rfind("127.0.0.1 localhost\n10.0.0.2 first.example #", 0), 0u) << hosts;
  EXPECT_NE(hosts.find("\n10.0.0.2 second.example #"), std::string::npos) << hosts;
  EXPECT_EQ(test::ReadBytes(dir.File("hosts.bak")), "127.0.0.1 localhost\n");
  EXPECT_TRUE(PendingStagedEntries(paths).empty());
  // Nothing waits: no authorisation is asked.
  EXPECT_EQ(*ApplyPendingHosts(paths, helper), 0u);
  EXPECT_EQ(helper.runs, 1);
}

// The dialog's save of a hosts file this program may not write: one helper run carries the
// added, updated and deleted entries; the list is read again from the file.
TEST(HostsHelper, DialogSaveGoesThroughTheHelper) {
  test::TempDir dir;
  HostsPaths paths{dir.File("hosts.mqm"), dir.File("hosts")};
  test::WriteBytes(paths.system,
                   "# mine\n10.0.0.1 keep.example #t0\n10.0.0.2 gone.example #t0\n"
                   "10.0.0.3 upd.example #t0\n");
  test::WriteBytes(paths.staging, "10.1.1.1 upd.example #t1\r\n10.0.0.9 new.example #t1\r\n");
  test::ScriptedDialogs dialogs;
  DirectHelper helper(paths.system);
  HostsModel dlg(paths, dialogs, nullptr, &helper);
  dlg.Activate();
  dlg.CopyAll();
  const auto& list = dlg.List(1);
  const auto gone = std::find_if(list.begin(), list.end(),
                                 [](const TIpaddr& e) { return e.hostName == "gone.example"; });
  ASSERT_NE(gone, list.end());
  dlg.DeleteSelected(1, {static_cast<int>(gone - list.begin())});
  ASSERT_TRUE(dlg.SaveSystem());
  EXPECT_EQ(helper.runs, 1);
  EXPECT_FALSE(dlg.Modified());
  EXPECT_EQ(test::ReadBytes(paths.system),
            "# mine\n10.0.0.1 keep.example #t0\n10.0.0.3 upd.example #t1\n"
            "10.0.0.9 new.example #t1\n");
  EXPECT_EQ(dlg.List(1).size(), 3u);
  EXPECT_TRUE(FileExists(dir.File("hosts.bak")));
}

// The helper through pkexec, as the program runs it. pkexec sets PKEXEC_UID, so the helper
// refuses a file name other than the system's: the test sees that refusal and touches no
// system file.
TEST(HostsHelper, RunsUnderPkexecWherePolkitExists) {
  const auto which = test::RunProgram({"sh", "-c", "command -v pkexec"});
  if (which.code != 0) GTEST_SKIP() << "pkexec is not installed on this machine";
  if (!FileExists("/run/dbus/system_bus_socket"))
    GTEST_SKIP() << "no system bus, so no polkit authority to ask";
  test::TempDir dir;
  test::WriteBytes(dir.File("hosts"), "127.0.0.1 localhost\n");
  const auto run = test::RunProgram({"pkexec", "--disable-internal-agent", ORVA_HOSTS_HELPER,
                                     "apply", "--hosts", dir.File("hosts")},
                                    "10.0.0.7 new.example #t\n");
  if (run.code == 126 || run.code == 127)
    GTEST_SKIP() << "polkit did not authorise the helper here (pkexec exit " << run.code << ")";
  EXPECT_EQ(run.code, 3);
  EXPECT_EQ(test::ReadBytes(dir.File("hosts")), "127.0.0.1 localhost\n");
}

}  // namespace
}  // namespace orva

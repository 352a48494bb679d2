// The hosts line rule, files kept line for line, the merge and the dialog's list operations.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "core/HowUtils.h"
#include "net/Hosts.h"
#include "platform/SafeFile.h"
#include "platform/TextCodec.h"

namespace orva {
namespace {

TEST(HostsLineRule, TakesOnlyLinesWithHashFromTheFourthCharacter) {
  auto e = ParseHostsLine("10.0.0.1  www.example.com  # 12-08-2026 10.11.12 ");
  ASSERT_TRUE(e);
  EXPECT_EQ(e->address, "10.0.0.1");
  EXPECT_EQ(e->hostName, "");  // two blanks: the name is what stands between the first two
  EXPECT_EQ(e->timeText, "12-08-2026 10.11.12");
  e = ParseHostsLine("10.0.0.1 www.example.com #t");
  ASSERT_TRUE(e);
  EXPECT_EQ(e->hostName, "www.example.com");
  EXPECT_FALSE(ParseHostsLine("10.0.0.1 www.example.com"));  // no "#"
  EXPECT_FALSE(ParseHostsLine("# comment"));
  EXPECT_FALSE(ParseHostsLine("ab#c"));
  EXPECT_TRUE(ParseHostsLine("abc#d"));

  TIpaddr w{"10.0.0.1", "a.example", "t"};
  EXPECT_EQ(FormatHostsLine(w), "10.0.0.1 a.example #t");
  w.address = std::string(30, '1');
  EXPECT_EQ(FormatHostsLine(w), std::string(25, '1') + "a.example #t");
  w.hostName = std::string(300, 'n');
  EXPECT_EQ(FormatHostsLine(w).size(), 255u);
  EXPECT_FALSE(IsWritable({"1.2.3.4", " ? ", "t"}));
}

TEST(HostsLineRule, ValidNamesAndAddresses) {
  for (const char* ok : {"localhost", "www.example.com", "a-b.c9", "x1.2a", "A.B"})
    EXPECT_TRUE(IsValidHostName(ok)) << ok;
  const std::string label64(64, 'a'), name254 = std::string(63, 'a') + "." + std::string(63, 'b') +
                                                "." + std::string(63, 'c') + "." +
                                                std::string(62, 'd');
  for (const std::string& bad :
       {std::string(""), std::string("10.0.0.1"), std::string("127.1"), std::string("a..b"),
        std::string("evil.com evil2"), std::string("evil.com\nx"), std::string("-a.com"),
        std::string("a_b.com"), std::string("trailing."), label64, name254, std::string("?")})
    EXPECT_FALSE(IsValidHostName(bad)) << bad;
  EXPECT_TRUE(IsIPv4Address("0.0.0.0"));
  EXPECT_TRUE(IsIPv4Address("255.255.255.255"));
  for (const char* bad :
       {"256.1.1.1", "1.2.3", "1.2.3.4.5", "::1", "1.2.3.4 ", "1..2.3", "0001.2.3.4"})
    EXPECT_FALSE(IsIPv4Address(bad)) << bad;
}

struct HostsFixture : ::testing::Test {
  test::TempDir dir;
  HostsPaths paths{dir.File("hosts.mqm"), dir.File("etc/hosts")};
  void SetUp() override { MakeDirectories(dir.path() + "etc"); }
};

TEST_F(HostsFixture, MergeKeepsForeignLinesByteForByte) {
  const std::string system =
      "# static table\r\n"
      "127.0.0.1\tlocalhost\r\n"
      "::1 ip6-localhost ip6-loopback # IPv6\r\n"
      "10.0.0.5 old.example #01-01-2020 10.00.00\r\n"
      "10.0.0.6 keep.example   #untouched   \r\n"
      "\r\n"
      "192.168.1.1 router alias # router";  // last line without a line end
  test::WriteBytes(paths.system, system);
  ::chmod(paths.system.c_str(), 0640);
  test::WriteBytes(paths.staging,
                   "10.9.9.9 old.example #12-08-2026 10.00.00\r\n"  // known name, new address
                   "10.0.0.7 new.example #12-08-2026 10.00.01\r\n"
                   "10.0.0.8 ? #12-08-2026 10.00.02\r\n"            // unresolved
                   "10.0.0.9 new.example #12-08-2026 10.00.03\r\n"  // updates the added entry
                   "10.0.0.10 10.0.0.10 #x\r\n"                     // a numeric answer
                   "10.0.0.11 onlyname\r\n");
  ASSERT_TRUE(MergeStagedHosts(paths));
  EXPECT_EQ(test::ReadBytes(paths.system),
            "# static table\r\n"
            "127.0.0.1\tlocalhost\r\n"
            "::1 ip6-localhost ip6-loopback # IPv6\r\n"
            "10.0.0.5 old.example #12-08-2026 10.00.00\r\n"
            "10.0.0.6 keep.example   #untouched   \r\n"
            "\r\n"
            "192.168.1.1 router alias # router\r\n"
            "10.0.0.7 new.example #12-08-2026 10.00.03\r\n");
  struct stat st {};
  ::stat(paths.system.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  // A second merge of the same list changes nothing and writes nothing.
  ::chmod(dir.path().c_str(), 0500);
  EXPECT_TRUE(MergeStagedHosts(paths));
  ::chmod(dir.path().c_str(), 0700);
}

TEST_F(HostsFixture, MergeEdges) {
  // No staging file: nothing happens, not even the system file is made.
  EXPECT_TRUE(MergeStagedHosts(paths));
  EXPECT_FALSE(FileExists(paths.system));
  // A missing system file is created; a Unix file keeps LF line ends.
  test::WriteBytes(paths.staging, "1.2.3.4 a.example #t\r\n");
  EXPECT_TRUE(MergeStagedHosts(paths));
  EXPECT_EQ(test::ReadBytes(paths.system), "1.2.3.4 a.example #t\n");
  test::WriteBytes(paths.system, "127.0.0.1 localhost\n");
  EXPECT_TRUE(MergeStagedHosts(paths));
  EXPECT_EQ(test::ReadBytes(paths.system), "127.0.0.1 localhost\n1.2.3.4 a.example #t\n");
}

TEST_F(HostsFixture, UnwritableSystemFileIsReportedAndLeftAlone) {
  test::WriteBytes(paths.staging, "1.2.3.4 a.example #t\r\n");
  if (::geteuid() == 0) {
    // Root writes any folder; a file of the kernel's read-only tree stands in.
    HostsPaths proc{paths.staging, "/proc/version"};
    const std::string before = test::ReadBytes(proc.system);
    const Status s = MergeStagedHosts(proc);
    EXPECT_FALSE(s);
    EXPECT_NE(s.error.find("/proc/version: "), std::string::npos) << s.error;
    EXPECT_EQ(test::ReadBytes(proc.system), before);
    return;
  }
  test::WriteBytes(paths.system, "127.0.0.1 localhost\n");
  ::chmod((dir.path() + "etc").c_str(), 0500);
  const Status s = MergeStagedHosts(paths);
  ::chmod((dir.path() + "etc").c_str(), 0700);
  EXPECT_FALSE(s);
  EXPECT_NE(s.error.find("Permission denied"), std::string::npos) << s.error;
  EXPECT_EQ(test::ReadBytes(paths.system), "127.0.0.1 localhost\n");
}

TEST(HostsMerge, IndexedMergeMatchesTheLinearRule) {
  // The rule as written: for each staged entry, the first system entry with the same name, in
  // any letter case.
  auto linear = [](std::vector<TIpaddr> sys, const std::vector<TIpaddr>& staged) {
    for (const auto& s : staged) {
      bool found = false;
      for (auto& e : sys) {
        if (EqualsNoCase(e.hostName, s.hostName)) {
          e.timeText = s.timeText;
          found = true;
          break;
        }
      }
      if (!found) sys.push_back({s.address, s.hostName, s.timeText});
    }
    return sys;
  };
  std::vector<TIpaddr> sys, staged;
  for (int i = 0; i < 300; ++i)
    sys.push_back({"10.0.0." + std::to_string(i % 256), "h" + std::to_string(i % 200), "s"});
  for (int i = 0; i < 300; ++i)
    staged.push_back({"10.1.0." + std::to_string(i % 256), "h" + std::to_string((i * 7) % 350),
                      "t" + std::to_string(i)});
  staged.push_back({"1.1.1.1", "H1", "case"});
  auto expected = linear(sys, staged);
  MergeInto(sys, staged);
  ASSERT_EQ(sys.size(), expected.size());
  for (std::size_t i = 0; i < sys.size(); ++i) {
    EXPECT_EQ(sys[i].address, expected[i].address);
    EXPECT_EQ(sys[i].hostName, expected[i].hostName);
    EXPECT_EQ(sys[i].timeText, expected[i].timeText);
  }
}

class RecordingProgress final : public ProgressBox {
 public:
  void Show(const std::string& text, bool) override {
    shown.push_back(text);
    if (abortAfter > 0 && --abortAfter == 0) aborted = true;
  }
  void Close() override { ++closes; }
  bool Aborted() const override { return aborted; }
  std::vector<std::string> shown;
  int abortAfter = 0, closes = 0;
  bool aborted = false;
};

TEST_F(HostsFixture, DialogListsSortDeleteCopyAndSave) {
  test::WriteBytes(paths.staging,
                   "1.1.1.1 beta.example #t1\r\n2.2.2.2 Alpha.example #t2\r\n"
                   "3.3.3.3 gamma.example #t3\r\n4.4.4.4 delta.example #t4\r\n");
  test::WriteBytes(paths.system, "# keep\n5.5.5.5 gamma.example #old\n::1 localhost6 #v6\n");
  test::ScriptedDialogs dialogs;
  RecordingProgress progress;
  HostsModel dlg(paths, dialogs, &progress);
  dlg.Activate();
  ASSERT_EQ(dlg.List(0).size(), 4u);
  EXPECT_EQ(dlg.List(0)[0].hostName, "Alpha.example");
  EXPECT_EQ(dlg.CountText(1), " 2 elementi");  // the IPv6 entry is taken too
  dlg.HeaderClick(0);
  EXPECT_FALSE(dlg.Ascending(0));
  EXPECT_EQ(dlg.List(0)[0].hostName, "gamma.example");

  // "No" keeps the rows.
  dialogs.NextAnswer(MsgAnswer::No);
  EXPECT_EQ(dlg.DeleteSelected(0, {0, 1}), 0);
  EXPECT_EQ(dlg.List(0).size(), 4u);
  // "Interrompi" after the first row: the rows already deleted stay deleted, the file too.
  dialogs.NextAnswer(MsgAnswer::Yes);
  progress.abortAfter = 2;  // the opening text, then the first row
  EXPECT_EQ(dlg.DeleteSelected(0, {3, 1, 2}), 1);
  ASSERT_EQ(dlg.List(0).size(), 3u);
  EXPECT_EQ(dlg.List(0)[2].hostName, "beta.example");  // row 3 (Alpha) went
  EXPECT_EQ(test::ReadBytes(paths.staging).find("Alpha"), std::string::npos);
  progress.aborted = false;

  dlg.CopyAll();
  EXPECT_TRUE(dlg.Modified());
  ASSERT_EQ(dlg.List(1).size(), 4u);
  EXPECT_EQ(dlg.List(1)[0].address, "5.5.5.5");  // the known name keeps its address
  EXPECT_EQ(dlg.List(1)[0].timeText, "t3");
  dialogs.NextAnswer(MsgAnswer::No);
  EXPECT_FALSE(dlg.CanClose());
  ASSERT_TRUE(dlg.SaveSystem());
  EXPECT_FALSE(dlg.Modified());
  EXPECT_TRUE(dlg.CanClose());
  EXPECT_EQ(test::ReadBytes(paths.Backup()),
            "# keep\n5.5.5.5 gamma.example #old\n::1 localhost6 #v6\n");
  EXPECT_EQ(test::ReadBytes(paths.system),
            "# keep\n5.5.5.5 gamma.example #t3\n::1 localhost6 #v6\n"
            "4.4.4.4 delta.example #t4\n1.1.1.1 beta.example #t1\n");
  // The right list's deletion asks nothing and only marks the list.
  EXPECT_EQ(dlg.DeleteSelected(1, {0}), 1);
  EXPECT_TRUE(dlg.Modified());
}

TEST_F(HostsFixture, SortingTheDialogMovesNoEntryAwayFromItsComment) {
  const std::string system =
      "127.0.0.1 localhost\n"
      "# the next one is my NAS\n"
      "192.168.1.5 nas.home #t0\n"
      "\n"
      "bogus line without a hash\n"
      "10.0.0.2 zeta.example #t1\n"
      "# printer\n"
      "10.0.0.3 alpha.example #t2\n";
  test::WriteBytes(paths.system, system);
  test::WriteBytes(paths.staging, "10.0.0.9 mid.example #t9\r\n10.9.9.9 nas.home #t8\r\n");
  test::ScriptedDialogs dialogs;
  HostsModel dlg(paths, dialogs);
  dlg.Activate();
  ASSERT_EQ(dlg.List(1).size(), 3u);
  EXPECT_EQ(dlg.List(1)[0].hostName, "alpha.example");
  dlg.HeaderClick(1);
  EXPECT_EQ(dlg.List(1)[0].hostName, "zeta.example");
  // Saving the sorted list unchanged gives the file back byte for byte.
  ASSERT_TRUE(dlg.SaveSystem());
  EXPECT_EQ(test::ReadBytes(paths.system), system);
  // An update, an addition and a deletion: every comment stays above its own entry.
  dlg.CopyAll();
  const auto& list = dlg.List(1);
  const auto zeta = std::find_if(list.begin(), list.end(),
                                 [](const TIpaddr& e) { return e.hostName == "zeta.example"; });
  ASSERT_NE(zeta, list.end());
  EXPECT_EQ(dlg.DeleteSelected(1, {static_cast<int>(zeta - list.begin())}), 1);
  ASSERT_TRUE(dlg.SaveSystem());
  EXPECT_EQ(test::ReadBytes(paths.system),
            "127.0.0.1 localhost\n"
            "# the next one is my NAS\n"
            "192.168.1.5 nas.home #t8\n"
            "\n"
            "bogus line without a hash\n"
            "# printer\n"
            "10.0.0.3 alpha.example #t2\n"
            "10.0.0.9 mid.example #t9\n");
}

}  // namespace
}  // namespace orva

// The Qt resolver on the event loop: completions arrive after the call, overlapping lookups
// each reach their own callback, an aborted lookup never completes.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/qt/QtResolver.h"

namespace orva {
namespace {

void PumpUntil(const std::function<bool()>& done, int ms = 10000) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The lookups below must be answered by the hosts file, never by a DNS server: true when the
// machine's name service reads /etc/hosts first and that file knows localhost.
bool LocalhostFromHostsFile() {
  std::ifstream nss("/etc/nsswitch.conf");
  std::string line;
  bool filesFirst = false;
  while (std::getline(nss, line)) {
    if (line.rfind("hosts:", 0) != 0) continue;
    std::istringstream words(line.substr(6));
    std::string first;
    words >> first;
    filesFirst = first == "files";
  }
  std::ifstream hosts("/etc/hosts");
  bool known = false;
  while (std::getline(hosts, line)) {
    std::istringstream words(line);
    std::string address, name;
    words >> address;
    if (address != "127.0.0.1") continue;
    while (words >> name && name[0] != '#') known = known || name == "localhost";
  }
  return filesFirst && known;
}

TEST(QtResolver, OverlappingLookupsAllCompleteAndAbortIsSilent) {
  if (!LocalhostFromHostsFile())
    GTEST_SKIP() << "localhost is not answered by /etc/hosts here; no DNS server may be asked";
  QtResolver resolver;
  std::vector<LookupResult> forward, reverse, bad;
  int aborted = 0;
  resolver.LookupName("localhost", [&](const LookupResult& r) { forward.push_back(r); });
  resolver.LookupAddress("127.0.0.1", [&](const LookupResult& r) { reverse.push_back(r); });
  resolver.LookupAddress("not an address", [&](const LookupResult& r) { bad.push_back(r); });
  const int id = resolver.LookupName("localhost", [&](const LookupResult&) { ++aborted; });
  resolver.Abort(id);
  // Nothing runs inside the calls.
  EXPECT_TRUE(forward.empty() && reverse.empty() && bad.empty());
  PumpUntil([&] { return !forward.empty() && !reverse.empty() && !bad.empty(); });
  ASSERT_EQ(forward.size(), 1u);
  ASSERT_TRUE(forward[0].ok) << forward[0].error;
  EXPECT_EQ(forward[0].addresses.front(), "127.0.0.1");
  ASSERT_EQ(reverse.size(), 1u);
  ASSERT_TRUE(reverse[0].ok) << reverse[0].error;
  EXPECT_FALSE(reverse[0].name.empty());
  ASSERT_EQ(bad.size(), 1u);
  EXPECT_FALSE(bad[0].ok);
  QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
  EXPECT_EQ(aborted, 0);
}

}  // namespace
}  // namespace orva

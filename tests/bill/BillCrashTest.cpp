// The bill file, rewritten by a process killed at random moments: every addition that
// returned is on disk, and the file is never torn.
#include <gtest/gtest.h>

#include <cstdio>

#include "KillLoop.h"
#include "TempDir.h"
#include "bill/BigIni.h"
#include "bill/DbsetINI.h"
#include "platform/SafeFile.h"

namespace orva {
namespace {

using test::ExpectWholeIniLines;

TEST(BillFileCrash, KilledWriterLosesNoAcknowledgedTick) {
  test::TempDir dir;
  BillOptions options;
  options.directory = dir.path();
  // One tick a write, spread over the days of the month and two prices.
  auto day = [](long long n) { return static_cast<int>(n % 28) + 1; };
  auto price = [](long long n) { return n % 3 == 0 ? 63.5 : 127.0; };
  const long long reached = test::KillWhileWriting(
      40, 80000,
      [&](long long n) {
        const Status added = TDataSetINI(10, 1999, options).AddTicks(day(n), 1, price(n));
        if (!added) std::fprintf(stderr, "%s\n", added.error.c_str());
        return added.ok;
      },
      [&](long long acked) -> long long {
        const std::string path = dir.File("10_1999.BOL");
        // At most the rewrite that was under way when killed left its temporary file.
        EXPECT_LE(test::RemoveTemporaryLeftovers(dir.path(), "10_1999.BOL"), 1);
        if (acked < 0 && !FileExists(path)) return 0;
        const std::string bytes = test::ReadBytes(path);
        ExpectWholeIniLines(bytes);
        const long long ticks = std::stoll(TDataSetINI(10, 1999, options).TickSum(1, 31));
        // Every acknowledged tick is there; at most the one being written when killed more.
        EXPECT_GE(ticks, acked + 1);
        EXPECT_LE(ticks, acked + 2);
        return ticks;
      });
  EXPECT_GT(reached, 10) << "too few writes to mean much";
  std::printf("%lld ticks added over the kills\n", reached);
}

}  // namespace
}  // namespace orva

// The settings file, saved by a process killed at random moments: every save that returned
// is on disk whole, and the file is never torn.
#include <gtest/gtest.h>

#include "KillLoop.h"
#include "TempDir.h"
#include "core/HowUtils.h"
#include "core/Settings.h"
#include "platform/Registry.h"
#include "platform/SafeFile.h"

namespace orva {
namespace {

using test::ExpectWholeIniLines;

TEST(SettingsFileCrash, KilledSaveLosesNoAcknowledgedSetting) {
  test::TempDir dir;
  Registry registry(dir.path());
  const long long reached = test::KillWhileWriting(
      40, 80000,
      [&](long long n) {
        Settings s;
        s.warnTimeMinutes = static_cast<int>(n);
        s.logFileName = dir.File("call " + std::to_string(n) + ".LOG");
        return static_cast<bool>(SaveSettings(s, dir.path()));
      },
      [&](long long acked) -> long long {
        EXPECT_LE(test::RemoveTemporaryLeftovers(dir.path(), "ORVA32.INI"), 1);
        if (acked < 0 && !FileExists(SettingsFileIn(dir.path()))) return 0;
        ExpectWholeIniLines(test::ReadBytes(SettingsFileIn(dir.path())));
        Settings s;
        LoadSettings(s, dir.path(), registry);
        // One save, whole: both values come from the same one.
        EXPECT_EQ(s.logFileName, dir.File("call " + std::to_string(s.warnTimeMinutes) + ".LOG"));
        EXPECT_GE(s.warnTimeMinutes, acked);
        EXPECT_LE(s.warnTimeMinutes, acked + 1);
        return s.warnTimeMinutes + 1;
      });
  EXPECT_GT(reached, 10) << "too few saves to mean much";
}

}  // namespace
}  // namespace orva

#include "core/HowUtils.h"

#include <gtest/gtest.h>

#include "TempDir.h"
#include "platform/SafeFile.h"

namespace orva {

TEST(HowUtils, GroupThousands) {
  EXPECT_EQ(GroupThousands("999"), "999");
  EXPECT_EQ(GroupThousands("1000"), "1.000");
  EXPECT_EQ(GroupThousands("28800"), "28.800");
  EXPECT_EQ(GroupThousands("1234567"), "1.234.567");
  EXPECT_EQ(GroupInteger(1536), "1.536");
}

TEST(HowUtils, SplitMilliseconds) {
  auto a = SplitMilliseconds(10000);
  EXPECT_EQ(a.hours, 0);
  EXPECT_EQ(a.minutes, 0);
  EXPECT_EQ(a.seconds, 10);
  EXPECT_EQ(a.milliseconds, 0);
  auto b = SplitMilliseconds(3725500);
  EXPECT_EQ(b.hours, 1);
  EXPECT_EQ(b.minutes, 2);
  EXPECT_EQ(b.seconds, 5);
  EXPECT_EQ(b.milliseconds, 500);
}

TEST(HowUtils, SplitTabFields) {
  EXPECT_EQ(SplitTabFields("abc"), std::vector<std::string>{"abc"});
  EXPECT_EQ(SplitTabFields("a\t"), (std::vector<std::string>{"a", " "}));
  EXPECT_EQ(SplitTabFields("a\t\tb"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitTabFields(""), std::vector<std::string>{" "});
}

TEST(HowUtils, NumericMailDate) {
  EXPECT_EQ(NumericMailDate("12 Dec 1999"), "12/12/1999");
  EXPECT_EQ(NumericMailDate("5 Oct 99"), "5/10/99");
  EXPECT_EQ(NumericMailDate("no month here"), "no month here");
}

TEST(HowUtils, DataSubdirectoryCreatesOrReuses) {
  test::TempDir dir;
  EXPECT_EQ(DataSubdirectory(dir.path(), "Urls"), dir.path() + "Urls/");
  EXPECT_TRUE(DirectoryExists(dir.path() + "Urls"));
  test::WriteBytes(dir.path() + "Urls/keep", "x");
  EXPECT_EQ(DataSubdirectory(dir.path(), "Urls"), dir.path() + "Urls/");
  // No data directory is the current folder, never the root.
  EXPECT_EQ(WithTrailingBackslash(""), "./");
  EXPECT_EQ(WithTrailingBackslash("/data"), "/data/");
  EXPECT_EQ(test::ReadBytes(dir.path() + "Urls/keep"), "x");
}

TEST(HowUtils, FormPositions) {
  const FormGeometry current{0, 1, 2, 3, 4};
  EXPECT_EQ(ApplyFormPosition("Default", current, 1024, 768, true), current);
  EXPECT_EQ(ApplyFormPosition("0 100 50 400 300", current, 1024, 768, true),
            (FormGeometry{0, 100, 50, 400, 300}));
  EXPECT_EQ(ApplyFormPosition("0 100 50 400 300", current, 1024, 768, false),
            (FormGeometry{0, 100, 50, 3, 4}));
  EXPECT_EQ(ApplyFormPosition("2", current, 1024, 768, true), (FormGeometry{2, 1, 2, 3, 4}));
  EXPECT_EQ(ApplyFormPosition("0 100 5000 400 300", current, 1024, 768, true).left, 0);
  EXPECT_EQ(FormatFormPosition({0, 100, 50, 400, 300}), "0 100 50 400 300");
  EXPECT_EQ(FormatFormPosition({2, 100, 50, 400, 300}), "2");
}

}  // namespace orva

#include <gtest/gtest.h>

#include <string>

#include "platform/Trim.h"

namespace orva {
namespace {

TEST(Trim, BlanksAreSpacesAndTabsControlsReachTheSpace) {
  const std::string mixed = std::string("\r\n\t  a b\t\0 \x1F", 12);
  EXPECT_EQ(TrimBlanks(" \t a b \t"), "a b");
  EXPECT_EQ(TrimBlanks("\ra b\n"), "\ra b\n");  // a header's CR stays for its reader
  EXPECT_EQ(TrimControls(mixed), "a b");
  EXPECT_EQ(TrimControls("\x7F"
                         "a"),
            "\x7F"
            "a");  // DEL is no blank
  EXPECT_EQ(TrimBlanks(" \t "), "");
  EXPECT_EQ(TrimControls(""), "");
  // Bytes of other scripts are never taken for blanks.
  EXPECT_EQ(TrimControls("\xA0\xE0 "), "\xA0\xE0");
}

}  // namespace
}  // namespace orva

#include "core/UCritto.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/TextCodec.h"

namespace orva {

namespace {
ScrambleRandom Fixed(int r) {
  return [r] { return r; };
}
}  // namespace

TEST(ScramblePassword, KnownLayout) {
  // r = 1, p = 7: "@"+1 = 'A', 'a' + 1 + 7 + 1 = 'j', 'b' + 1 + 7 + 2 = 'l';
  // check = ('A' + 'j' + 'l') % 190 + 64.
  const std::string s = Utf8ToCp1252(ScramblePassword("ab", 7, Fixed(1)));
  ASSERT_EQ(s.size(), 4u);
  EXPECT_EQ(s.substr(0, 3), "Ajl");
  EXPECT_EQ(static_cast<unsigned char>(s[3]), ('A' + 'j' + 'l') % 190 + 64);
  EXPECT_EQ(ScramblePassword("", 7, Fixed(1)), "");
}

TEST(ScramblePassword, RoundTripsEveryPeriodAndRandomValue) {
  const std::string plain = "Pàss wörd=1\\x\"€ÿ0123456789abcdefghij";
  for (int p : {0, 1, 7, 13, 20, 21, -3}) {
    for (int r = 0; r < 20; ++r) {
      const std::string s = ScramblePassword(plain, p, Fixed(r));
      EXPECT_EQ(UnscramblePassword(s, p), plain) << "p=" << p << " r=" << r;
    }
  }
  // A period of 0 or above 20 is 13.
  EXPECT_EQ(ScramblePassword(plain, 0, Fixed(4)), ScramblePassword(plain, 13, Fixed(4)));
  EXPECT_EQ(ScramblePassword(plain, 25, Fixed(4)), ScramblePassword(plain, 13, Fixed(4)));
}

TEST(ScramblePassword, HighCodesWrapModulo256) {
  // 0xFF + r + p + i exceeds a byte; it must come back all the same.
  const std::string plain = "\xC3\xBF\xC3\xBF\xC3\xBF";  // "ÿÿÿ"
  const std::string s = ScramblePassword(plain, 20, Fixed(19));
  EXPECT_EQ(UnscramblePassword(s, 20), plain);
}

TEST(ScramblePassword, TwoScramblingsUsuallyDiffer) {
  std::set<std::string> seen;
  for (int i = 0; i < 20; ++i) {
    const std::string s = ScramblePassword("segreto", 7);
    EXPECT_EQ(UnscramblePassword(s, 7), "segreto");
    seen.insert(s);
  }
  EXPECT_GT(seen.size(), 1u);
}

TEST(UnscramblePassword, DamagedOrForeignTextsGiveEmpty) {
  const std::string s = ScramblePassword("segreto", 7, Fixed(5));
  for (std::size_t i = 0; i < s.size(); ++i) {
    std::string bad = s;
    bad[i] = static_cast<char>(bad[i] ^ 1);
    EXPECT_EQ(UnscramblePassword(bad, 7), "") << i;
  }
  EXPECT_EQ(UnscramblePassword("", 7), "");
  EXPECT_EQ(UnscramblePassword("x", 7), "");
  EXPECT_EQ(UnscramblePassword("hello", 7), "");
  // Another period reads something else, never the password.
  EXPECT_NE(UnscramblePassword(s, 8), "segreto");
}

}  // namespace orva

#include "platform/TextCodec.h"

#include <gtest/gtest.h>

namespace orva {

TEST(TextCodec, EveryByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(TextCodec, KnownCharactersMapBothWays) {
  EXPECT_EQ(Cp1252ToUtf8("\x80"), "€");
  EXPECT_EQ(Cp1252ToUtf8("\xE0"), "à");
  EXPECT_EQ(Cp1252ToUtf8("\x81"), "\xC2\x81");  // undefined byte -> U+0081
  EXPECT_EQ(Utf8ToCp1252("C'è posta"), "C'\xE8 posta");
}

TEST(TextCodec, UnrepresentableAndInvalidBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1252("a\xE4\xB8\xADz"), "a?z");  // CJK character
  EXPECT_EQ(Utf8ToCp1252("a\xFFz"), "a?z");          // invalid UTF-8 byte
  EXPECT_EQ(Utf8ToCp1252("\xC3"), "?");              // truncated sequence
}

TEST(TextCodec, CutCountsCharactersNotBytes) {
  EXPECT_EQ(Utf8Length("àèì"), 3u);
  EXPECT_EQ(Utf8Left("àèìòù", 2), "àè");
  EXPECT_EQ(Utf8Left("ab", 5), "ab");
}

TEST(TextCodec, CaseFoldingCoversLatinLetters) {
  EXPECT_TRUE(EqualsNoCase("Dati Generali", "dati generali"));
  EXPECT_TRUE(EqualsNoCase("CITTÀ", "città"));
  EXPECT_FALSE(EqualsNoCase("abc", "abd"));
}

}  // namespace orva

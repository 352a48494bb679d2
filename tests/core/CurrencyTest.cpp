// Amounts in lire shown in lire or euro, and typed amounts read back as lire.
#include "core/Currency.h"

#include <gtest/gtest.h>

namespace orva {

TEST(FormatAmount, LireStayAsTheyWereAndEuroHaveCentsItalianStyle) {
  struct Case {
    double lire;
    Currency currency;
    const char* text;
  } cases[] = {
      {1234, Currency::Lire, "L. 1.234"},
      {127, Currency::Lire, "L. 127"},
      {1936.27, Currency::Euro, "€ 1,00"},
      {127, Currency::Euro, "€ 0,07"},
      {0, Currency::Euro, "€ 0,00"},
      // 1.234.567,89 euro: dots group the thousands, the comma marks the cents.
      {1234567.89 * kLirePerEuro, Currency::Euro, "€ 1.234.567,89"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatAmount(c.lire, c.currency), c.text) << c.lire;
  EXPECT_EQ(FormatAmount(1234.5, Currency::Lire, 1), "L. 1.234,5");
}

TEST(FormatAmount, TickPricesUnderACentKeepTwoSignificantDigits) {
  // A one-lira or ten-lire tick would read "€ 0,00" with cents only.
  EXPECT_EQ(FormatAmountNumber(1, Currency::Euro), "0,00052");
  EXPECT_EQ(FormatAmountNumber(10, Currency::Euro), "0,0052");
  EXPECT_EQ(FormatAmountNumber(9, Currency::Euro), "0,0046");
  // From a cent on, cents are enough.
  EXPECT_EQ(FormatAmountNumber(19.37, Currency::Euro), "0,01");
  // A rounding that lands on zero never shows a minus sign.
  EXPECT_EQ(FormatAmountNumber(-0.001, Currency::Lire), "0");
}

TEST(ParseAmount, TypedEuroBecomeTheRightLire) {
  struct Case {
    const char* typed;
    Currency currency;
    double lire;
  } cases[] = {
      {"1,50", Currency::Euro, 1.5 * kLirePerEuro},
      {"1.5", Currency::Euro, 1.5 * kLirePerEuro},
      {"1.234,56", Currency::Euro, 1234.56 * kLirePerEuro},
      {"1.500", Currency::Euro, 1500 * kLirePerEuro},
      {"0.050", Currency::Euro, 0.05 * kLirePerEuro},
      {".125", Currency::Euro, 0.125 * kLirePerEuro},
      {"€ 2", Currency::Euro, 2 * kLirePerEuro},
      {" 5 ", Currency::Euro, 5 * kLirePerEuro},
      {"1.000", Currency::Lire, 1000},
      {"L. 127", Currency::Lire, 127},
      {"63,5", Currency::Lire, 63.5},
  };
  for (const auto& c : cases) {
    const auto lire = ParseAmount(c.typed, c.currency);
    ASSERT_TRUE(lire) << c.typed;
    EXPECT_NEAR(*lire, c.lire, 1e-6) << c.typed;
  }
  for (const char* bad : {"", "abc", "1,2,3", "€", "1e9"})
    EXPECT_FALSE(ParseAmount(bad, Currency::Euro)) << bad;
}

TEST(ParseAmount, WhatIsShownReadsBackAsTheSameAmount) {
  for (double euro : {0.07, 1.0, 12.34, 1234.56, 98765.43}) {
    const double lire = euro * kLirePerEuro;
    const auto back = ParseAmount(FormatAmount(lire, Currency::Euro), Currency::Euro);
    ASSERT_TRUE(back) << euro;
    EXPECT_NEAR(*back, lire, 1e-6) << euro;
  }
}

TEST(ShownLireText, ConvertsStoredNumbersAndLeavesOtherTextsAlone) {
  EXPECT_EQ(ShownLireText("3872.54", Currency::Euro), "2,00");
  EXPECT_EQ(ShownLireText("?", Currency::Euro), "?");
  EXPECT_EQ(ShownLireText("2540.5", Currency::Lire), "2540.5");
}

}  // namespace orva

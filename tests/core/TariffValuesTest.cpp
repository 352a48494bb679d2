#include "core/TariffValues.h"

#include <gtest/gtest.h>

#include <limits>

namespace orva {

// The tariff files, the editor, the meter and the counters all judge a tick length here: a
// day-long tick is a tariff's, a longer one is refused, and none at all ticks every minute.
TEST(CheckTickLength, ADayIsTheLongestTickAndZeroOrBelowIsNone) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const struct {
    double seconds;
    TickLength want;
  } cases[] = {
      {0.001, TickLength::Usable},
      {12.5, TickLength::Usable},
      {86400, TickLength::Usable},
      {86400.001, TickLength::OutOfBounds},
      {kInf, TickLength::OutOfBounds},
      {std::numeric_limits<double>::quiet_NaN(), TickLength::OutOfBounds},
      {0, TickLength::None},
      {-60, TickLength::None},
      {-kInf, TickLength::None},
  };
  for (const auto& c : cases) EXPECT_EQ(CheckTickLength(c.seconds), c.want) << c.seconds;
}

}  // namespace orva

// What a tick length is.
#include "core/TariffValues.h"

#include <cmath>

#include "core/Amounts.h"

namespace orva {

TickLength CheckTickLength(double seconds) {
  if (seconds <= 0) return TickLength::None;
  return std::isfinite(seconds) && seconds <= kMaxTickSeconds ? TickLength::Usable
                                                              : TickLength::OutOfBounds;
}

}  // namespace orva

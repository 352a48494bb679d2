// The meter's state as the counter display takes it, for the window and the console meter.
#pragma once

#include "core/MeteredCall.h"
#include "meter/CounterInput.h"

namespace orva {

// Everything but the item and the decimals, which the display keeps itself.
CounterInput MeterCounters(const MeteredCall& call, TDateTime now);

}  // namespace orva

// What the counters read of the meter: the call state, the tariff of the moment and the call
// record, with the item and the decimals the display shows them by.
#pragma once

#include <string>

#include <optional>

#include "core/Currency.h"
#include "core/PeriodForecast.h"
#include "core/TariffValues.h"
#include "platform/DateTime.h"

namespace orva {

// One reading: MeterCounters fills all but the item, the decimals and the currency.
struct CounterInput {
  int item = 1;                        // "Display", 1..7
  int decimals = 1;                    // "Cifre decimali"
  Currency currency = Currency::Lire;  // "Valuta": what the amounts are shown in
  bool metering = false;
  TDateTime now = 0;
  TDateTime tickStart = 0;
  TDateTime elapsed = 0;  // days
  int ticks = 0;
  double cost = 0;        // lire without VAT
  double periodCost = 0;  // bill period cost
  // That cost projected to the month's end; none on the month's first day.
  std::optional<PeriodForecastCost> periodForecast;
  // "Costo periodo" when its warning is on (filled with the item, by the display).
  std::optional<PeriodLimit> periodLimit;
  TariffValues tariff;  // the tariff of the moment
  // The call record.
  std::string status = "Sconnesso";
  std::string entryName, speed, hostName, ipAddress;
  std::string bytesReceived = "0", bytesSent = "0";
};

}  // namespace orva

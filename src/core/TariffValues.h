// The tariff in force: the values an evaluation gives for a moment, which the meter charges by
// and the counters show. Their defaults (the tariff without a file) and what makes a tick
// length usable are written here once.
#pragma once

#include <string>

namespace orva {

// The tariff without a file: 60-second ticks at 127 lire, VAT 20 %, no fixed charge.
inline constexpr double kDefaultTickSeconds = 60.0;
inline constexpr double kDefaultTickCost = 127.0;
inline constexpr const char* kDefaultTickText = "00.01.00";
inline constexpr double kDefaultVatRate = 0.2;

struct TariffValues {
  double tickSeconds = kDefaultTickSeconds;  // length of one tick in seconds, always usable
  double tickCost = kDefaultTickCost;        // lire, VAT excluded
  std::string tickText = kDefaultTickText;   // tick length as "hh.mm.ss"
  double vatRate = kDefaultVatRate;          // a fraction: cost x (1 + rate)
  int fixedCharge = 0;                       // "Addebito fisso"
  int fixedChargeUnit = 0;                   // 0 a number of ticks, 1 an amount in lire
  bool discountActive = false;
  // The file writes its prices in euro ("Valuta=Euro" in "Dati generali"): the band prices
  // are turned into lire as they are read, so tickCost and fixedCharge are lire all the same.
  bool euroPrices = false;
  // The tariff file whose bands gave tick seconds and tick text; empty before the first
  // evaluation. In a minute that no band names they are kept only when they are that file's
  // own: a first evaluation, or one of another file, takes them from the band whose last
  // minute it is (the band that began last before the moment), so a call on a new tariff
  // never runs on the ticks of the old one.
  std::string tickFrom;

  bool operator==(const TariffValues&) const = default;
};

enum class TickLength {
  Usable,      // above zero and at most a day
  None,        // zero or below: a band without a tick length ticks every 60 seconds
  OutOfBounds  // longer than a day, or not a number: no tariff holds it
};

// What a tick length in seconds is. The tariff files, the tariff editor, the meter and the
// counters all judge a tick length by this.
TickLength CheckTickLength(double seconds);

}  // namespace orva

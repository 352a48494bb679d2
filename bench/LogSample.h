// A realistic connection log for the benchmarks: calls in the order the meter appends them,
// spread over years, mostly short dial-up sessions with a tail of long ones, voice and fax
// calls without speed or bytes, a few manual runs and hand-entered calls, a tariff with a
// one-second tick ("?" ticks), costs with and without decimals and calls across midnight.
// The same seed gives the same bytes. A home log knows a few dozen services; with
// `everyNumberNew` every voice and fax call has a number of its own (an office switchboard),
// which gives thousands of distinct services.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "log/LogFile.h"
#include "platform/DateTime.h"
#include "platform/TextCodec.h"

namespace orva::bench {

struct SampleTariff {
  const char* abbreviation;
  int tickSeconds;  // 1: the tick is not counted ("?")
  double tickPrice;
  double answer;  // the answer charge in lire
};

inline constexpr SampleTariff kSampleTariffs[] = {
    {"TI-U", 360, 127, 127},                             // urban, long ticks at night
    {"TI-I", 60, 127, 127},                              // interurban
    {"WIND", 30, 63.5, 0},                               // half-lira ticks give decimals
    {"INFOSTRADA", 60, 110, 220}, {"FLAT", 1, 0.28, 0},  // per-second billing: "?" ticks
};

inline constexpr const char* kSampleProviders[] = {
    "Tiscali",  "Libero", "Telecom Italia Net", "Infostrada", "Wind",    "Jumpy",
    "Kataweb",  "Tin.it", "Virgilio",           "Galactica",  "Mclink",  "Inwind",
    "Clubnet",  "Iol",    "Supereva",           "Tiscalinet", "Ats Net", "Interbusiness",
    "Cybernet", "Nettuno"};
inline constexpr const char* kSampleCallers[] = {"Mario Rossi", "Studio Bianchi", "Ufficio",
                                                 "Casa",        "Giulia Verdi",   "Banca"};
inline constexpr const char* kSampleNumbers[] = {"0655512345", "0233344455", "0698765432",
                                                 "0516789012", "0114567890", "0817654321"};

// `lines` log lines, CR LF ended, in Windows-1252 as the meter writes them.
inline std::string MakeSampleLog(std::size_t lines, bool everyNumberNew = false,
                                 std::uint32_t seed = 1999) {
  std::mt19937 rng(seed);
  auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  std::lognormal_distribution<double> minutes(2.0, 1.0);  // median about 7 minutes
  std::string bytes;
  bytes.reserve(lines * 110);
  TDateTime moment = EncodeDate(1996, 1, 1) + EncodeTime(9, 0, 0);
  // About ten years of calls whatever the count: the mean gap between two calls.
  const double gapDays = 3650.0 / static_cast<double>(lines ? lines : 1);
  for (std::size_t i = 0; i < lines; ++i) {
    moment += gapDays * std::uniform_real_distribution<double>(0.2, 1.8)(rng);
    const TDateTime start = std::floor(moment / kOneSecond) * kOneSecond;
    const int kind = uniform(0, 99);
    int seconds = static_cast<int>(std::min(4.0 * 3600, minutes(rng) * 60.0)) + uniform(1, 59);
    const SampleTariff& tariff = kSampleTariffs[uniform(0, 4)];
    std::string service, speed = "n.d", received = "0", sent = "0";
    if (kind < 75) {  // a dial-up connection
      service = std::string("Modem: ") + kSampleProviders[uniform(0, 19)];
      if (uniform(0, 19) != 0)
        speed = std::to_string(
            std::array<int, 7>{14400, 19200, 28800, 31200, 33600, 48000, 52000}[uniform(0, 6)]);
      const double rate = uniform(200, 4500);  // bytes per second received
      received = std::to_string(static_cast<long long>(seconds * rate));
      sent = std::to_string(static_cast<long long>(seconds * rate * uniform(3, 15) / 100.0));
    } else if (kind < 88) {  // a voice call
      seconds = std::min(seconds, 1800);
      const int who = uniform(0, 5);
      service = std::string("A voce: ") + kSampleCallers[who];
      if (everyNumberNew)
        service += " (06" + std::to_string(uniform(1000000, 9999999)) + ")";
      else if (who % 2 == 0)
        service += std::string(" (") + kSampleNumbers[who] + ")";
    } else if (kind < 92) {
      seconds = std::min(seconds, 300);
      service = "FAX G3: Studio Bianchi (" +
                (everyNumberNew ? "0239" + std::to_string(uniform(100000, 999999))
                                : std::string(kSampleNumbers[1])) +
                ")";
    } else if (kind < 98) {  // metered by hand
      service = "Sconosciuto: Avvio manuale";
    } else {  // entered in the log window
      service = "Nessuno";
      speed = received = sent = "n.d";
    }
    const TDateTime end = start + seconds * kOneSecond;
    const long long ticks = seconds / tariff.tickSeconds + 1;
    const double cost = tariff.answer + static_cast<double>(ticks) * tariff.tickPrice;
    const std::string tickText = tariff.tickSeconds <= 1 ? "?" : std::to_string(ticks);
    std::string line = DateToStr(start) + "\t" + FormatLogTime(start) + "\t" + FormatLogTime(end) +
                       "\t" + FormatLogDuration(start, end) + "\t" + tariff.abbreviation + "\t" +
                       tickText + "\t" + FormatLogCost(cost, 1) + "\t" + speed + "\t" + received +
                       "\t" + sent + "\t" + service + "\t\r\n";
    bytes += Utf8ToCp1252(line);
    moment = end;
  }
  return bytes;
}

}  // namespace orva::bench

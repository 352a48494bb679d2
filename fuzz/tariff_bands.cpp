// Fuzzes band lines: any list of lines is searched at several times of day without a crash,
// and a match always leaves a usable tick (a length within bounds and an "hh.mm.ss" text).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/TextCodec.h"
#include "tariff/Tariffe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text =
      orva::Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  orva::BandList bands;
  std::string_view rest = text;
  while (!rest.empty() && bands.size() < 64) {
    const auto nl = rest.find('\n');
    bands.emplace_back(rest.substr(0, nl));
    rest = nl == std::string_view::npos ? std::string_view{} : rest.substr(nl + 1);
  }
  for (const auto& line : bands) {
    const orva::BandFields f = orva::SplitBandLine(line);
    if (f.cost.empty()) std::abort();
    if (f.start.size() + f.end.size() + f.seconds.size() > line.size()) std::abort();
  }
  for (double t : {0.0, 0.25, 0.5, 0.7708333333, 0.99999, 1.0}) {
    for (bool fixedPoint : {false, true}) {
      orva::TariffResult r;
      const orva::Status status = orva::FindBand(bands, t, r, fixedPoint);
      if (orva::CheckTickLength(r.values.tickSeconds) != orva::TickLength::Usable) std::abort();
      if (r.values.tickText.size() != 8) std::abort();
      if (!status && status.error.empty()) std::abort();
    }
  }
  return 0;
}

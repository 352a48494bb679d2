// Fuzzes tariff files: the evaluation's own reader agrees with the INI routines on every key
// it reads, any file evaluates (or reports a bad band) without a crash, and a short call
// re-prices to three texts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/IniFile.h"
#include "platform/TextCodec.h"
#include "tariff/RawIni.h"
#include "tariff/Ricalcolo.h"
#include "tariff/Tariffe.h"

namespace {

void Agree(const orva::RawIni& raw, const orva::TIniFile& ini, const char* section,
           const char* key) {
  const auto a = raw.Value(section, key);
  const bool present = ini.ValueExists(section, key);
  if (a.has_value() != present) std::abort();
  if (a && orva::Cp1252ToUtf8(*a) != ini.ReadString(section, key, "")) std::abort();
  if (raw.Integer(section, key, -7) != ini.ReadInteger(section, key, -7)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  orva::RawIni raw;
  raw.Index(bytes);
  const auto ini = orva::TIniFile::FromText(orva::Cp1252ToUtf8(bytes));
  for (const char* key : {"Aliquota IVA", "Addebito fisso", "Addebito fisso espresso in"})
    Agree(raw, ini, "Dati generali", key);
  Agree(raw, ini, "Sconto", "Attivo a");
  Agree(raw, ini, "Sconto", "Dopo");
  for (const char* section : {"Tariffa feriale", "Tariffa festiva scontata"}) {
    for (const char* key : {"Fasce", "1", "2", "3"}) Agree(raw, ini, section, key);
  }

  const orva::TariffFile parsed = orva::ParseTariffFile(ini);
  if (parsed.abbreviation.size() > 5 * 4) std::abort();

  const orva::LoadedTariff tariff("fuzz.TRF", bytes);
  const orva::TDateTime days[] = {45404.4, 45407.9, 45410.2, 45416.5};  // weekdays, holiday
  for (double moment : days) {
    orva::TariffResult r;
    const orva::Status status = tariff.Evaluate(7, 0.05, moment, r, true);
    if (orva::CheckTickLength(r.values.tickSeconds) != orva::TickLength::Usable) std::abort();
    if (!status && status.error.find("fuzz.TRF") == std::string::npos) std::abort();
  }
  // Ten minutes: at most 600 rounds whatever the tick length.
  const auto texts = orva::RecalculateCall(tariff, 45404.5, 45404.5 + 600.0 / 86400, 2);
  if (texts && (texts->duration != "00.10.00" || texts->cost.empty())) std::abort();
  return 0;
}

// Fuzzes the INI reader: any bytes parse, and every read and write on the result is safe.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/IniFile.h"
#include "platform/TextCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text =
      orva::Cp1252ToUtf8(std::string(reinterpret_cast<const char*>(data), size));
  auto ini = orva::TIniFile::FromText(text);
  for (const auto& section : ini.ReadSections()) {
    for (const auto& key : ini.ReadSection(section)) {
      ini.ReadString(section, key, "");
      ini.ReadInteger(section, key, 0);
    }
  }
  ini.WriteString("Dati generali", "Fasce", "1");
  ini.EraseSection("Tariffa feriale");
  ini.DeleteKey("Dati generali", "Fasce");
  return 0;
}

// Fuzzes the bill's INI reader: any bytes load, what is written back loads to the same
// content, and every read and write on the result is safe.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bill/BigIni.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto ini = orva::TBigIniFile::FromBytes(bytes);
  const std::string written = ini.Serialize();
  if (orva::TBigIniFile::FromBytes(written).Serialize() != written) __builtin_trap();

  std::vector<std::string> all;
  ini.ReadAll(all);
  std::vector<std::string> sections;
  for (const auto& line : all)
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']')
      sections.push_back(line.substr(1, line.size() - 2));
  for (const auto& section : sections) {
    std::vector<std::string> keys, values;
    ini.ReadSection(section, keys);
    ini.ReadSectionValues(section, values);
    if (keys.size() > values.size()) __builtin_trap();
    for (const auto& key : keys) {
      ini.ReadString(section, key, "0");
      ini.ReadInteger(section, key, 0);
      ini.ReadBool(section, key, false);
    }
  }
  ini.WriteString("Generale", "Programma", "ORVA32 4.1 del 28/10/99");
  ini.WriteInteger("15/10/99", "127.0", ini.ReadInteger("15/10/99", "127.0", 0) / 2 + 1);
  if (!sections.empty()) ini.EraseSection(sections.front());
  ini.Serialize();
  return 0;
}

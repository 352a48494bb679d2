#include "core/WindowPlaces.h"

namespace orva {
namespace {

std::string HeaderKey(std::size_t column) {
  return "Header " + std::to_string(column);
}

}  // namespace

std::optional<FormGeometry> WindowPlaces::Place(WindowPlaceKey key, const FormGeometry& current,
                                                int screenWidth, int screenHeight,
                                                bool withSize) const {
  const TIniFile ini(m_file);
  if (ini.ReadString(key.section, key.key, "Default") == "Default") return std::nullopt;
  return RestoreFormPosition(ini, key.section, key.key, current, screenWidth, screenHeight,
                             withSize);
}

std::vector<int> WindowPlaces::ColumnWidths(WindowPlaceKey key,
                                            const std::vector<int>& defaults) const {
  const TIniFile ini(m_file);
  std::vector<int> widths = defaults;
  for (std::size_t i = 0; i < widths.size(); ++i) {
    const int w = ini.ReadInteger(key.section, HeaderKey(i), defaults[i]);
    if (w > 0) widths[i] = w;
  }
  return widths;
}

Status WindowPlaces::Store(WindowPlaceKey key, const FormGeometry& place,
                           const std::vector<int>& columnWidths) {
  TIniFile ini(m_file);
  for (std::size_t i = 0; i < columnWidths.size(); ++i)
    ini.WriteInteger(key.section, HeaderKey(i), columnWidths[i]);
  SaveFormPosition(ini, key.section, key.key, place);
  return ini.UpdateFile();
}

}  // namespace orva

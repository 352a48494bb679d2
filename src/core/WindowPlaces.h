// The places of the program's own windows, kept in ORVA32.INI under the keys they have always
// had: read when a window opens, written in one rewrite when it closes. The windows keep no
// file of their own; the program hands them this store.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/HowUtils.h"
#include "platform/Result.h"

namespace orva {

struct WindowPlaceKey {
  std::string_view section;
  std::string_view key;
};

inline constexpr WindowPlaceKey kLogWindowPlace{"Log settings", "Log"};
inline constexpr WindowPlaceKey kLogEntryPlace{"Log entry", "Window pos"};
inline constexpr WindowPlaceKey kVisitedServersPlace{"Log settings", "Show url"};
inline constexpr WindowPlaceKey kTariffEditorPlace{"Impostazioni tariffe", "Posizione"};

class WindowPlaces {
 public:
  explicit WindowPlaces(std::string settingsFile) : m_file(std::move(settingsFile)) {}

  // The place stored for `key`, fitted to a screen of the given size; none while the window
  // has never been closed with one ("Default"). `current` fills what the stored text leaves
  // out: the size unless `withSize`, everything for a maximised window.
  std::optional<FormGeometry> Place(WindowPlaceKey key, const FormGeometry& current,
                                    int screenWidth, int screenHeight, bool withSize) const;
  // The column widths "Header <i>" stored in the key's section; a width missing or not
  // positive gives the default.
  std::vector<int> ColumnWidths(WindowPlaceKey key, const std::vector<int>& defaults) const;
  // Writes the place, and the column widths when there are any, in one rewrite of the file.
  Status Store(WindowPlaceKey key, const FormGeometry& place,
               const std::vector<int>& columnWidths = {});

 private:
  std::string m_file;
};

}  // namespace orva

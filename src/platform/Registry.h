// The registry values the program keeps, in one INI file "registry.ini" in the data
// directory: a section per key path ("HKEY_CURRENT_USER\Software\VALDO\Settings"), one line
// per value. Every string value round-trips whatever it holds: "\", control characters and
// blanks at either end are written as "\\" and "\xHH".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/IniFile.h"

namespace orva {

inline constexpr std::string_view kValdoSettingsKey =
    "HKEY_CURRENT_USER\\Software\\VALDO\\Settings";
inline constexpr std::string_view kOrvaInstallKey = "HKEY_CURRENT_USER\\Software\\Zefir\\ORVA32";
inline constexpr std::string_view kRubrixKey = "HKEY_CURRENT_USER\\Software\\Zefir\\Rubrix";
inline constexpr std::string_view kRunKey =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class Registry {
 public:
  // The file "registry.ini" in dataDir.
  explicit Registry(const std::string& dataDir);

  // A missing value reads as empty / 0.
  std::optional<std::string> ReadString(std::string_view key, std::string_view name) const;
  int ReadInteger(std::string_view key, std::string_view name) const;
  bool ValueExists(std::string_view key, std::string_view name) const;

  // Each write is saved at once; a failure leaves the old stored value and is returned.
  Status WriteString(std::string_view key, std::string_view name, std::string_view value);
  Status WriteInteger(std::string_view key, std::string_view name, int value);
  Status DeleteValue(std::string_view key, std::string_view name);

 private:
  TIniFile m_ini;
};

std::string EscapeRegistryString(std::string_view value);
std::string UnescapeRegistryString(std::string_view stored);

}  // namespace orva

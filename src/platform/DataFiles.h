// The data directory as one value, and the names of the files the program keeps there by
// default, each spelt once.
#pragma once

#include <string>
#include <string_view>

namespace orva {

inline constexpr std::string_view kSettingsFileName = "ORVA32.INI";
inline constexpr std::string_view kDefaultLogName = "ORVA.LOG";
inline constexpr std::string_view kServiceFileName = "ORVA.SRV";
inline constexpr std::string_view kMailboxFileName = "POP3.LST";
inline constexpr std::string_view kPhoneBookFileName = "rubrica.tel";
inline constexpr std::string_view kTimeServersFileName = "Time Servers.txt";
inline constexpr std::string_view kHostsStagingFileName = "hosts.mqm";

// A folder of the program's data: its path always ends in "/" (no folder at all is the
// current one, never the root), so a file of it is the path and the name.
class DataPath {
 public:
  explicit DataPath(std::string_view dir);
  const std::string& Dir() const { return m_dir; }
  // The file `name` of the folder, as written.
  std::string File(std::string_view name) const { return m_dir + std::string(name); }
  // The file `name` as the folder spells it: an existing file whose name differs only in
  // letter case is that file (files copied from Windows keep their upper-case names).
  std::string Found(std::string_view name) const;

 private:
  std::string m_dir;
};

}  // namespace orva

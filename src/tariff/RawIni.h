// A read-only index over the bytes of an INI file, for the tariff evaluation that reads its
// file at every tick: no copies of lines or values. Names are compared as the INI routines
// compare them (first section and first key of a name win, letter case ignored); the names
// looked up are ASCII, so comparing the raw bytes without regard to ASCII case is the same.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orva {

class RawIni {
 public:
  // Indexes bytes that the caller keeps alive and unchanged while the index is used.
  void Index(std::string_view bytes);
  // The value (blanks around it removed) of a key; none when the section or key is missing.
  std::optional<std::string_view> Value(std::string_view section, std::string_view key) const;
  // A decimal integer value; def when missing or not an integer.
  int Integer(std::string_view section, std::string_view key, int def) const;
  // The number of key lines of a section (0 when it is missing).
  int KeyCount(std::string_view section) const;

 private:
  struct Entry {
    bool header;
    std::string_view name;   // section name or key
    std::string_view value;  // keys only
  };
  // Index of the first header of that name, or npos.
  std::size_t FindSection(std::string_view section) const;
  std::vector<Entry> m_entries;
};

// Reads a whole file into buffer (its capacity is reused). A name not found as given is
// looked for without regard to letter case. False when there is no readable file.
bool ReadWholeFile(const std::string& path, std::string& buffer);

}  // namespace orva

// INI files read and written as the Windows profile routines do: section and key names
// compared without regard to case, the first occurrence wins, the value is the text after the
// first "=" with surrounding blanks removed, a write changes only its own line and keeps every
// other line and comment in place, a missing file reads as empty.
//
// Changes are kept in memory until UpdateFile(), which rewrites the file crash-safely; the
// destructor writes pending changes too (its failure is not reported, like the Windows
// routines' write failures).
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Result.h"
#include "platform/SafeFile.h"
#include "platform/Trim.h"

namespace orva {

class TIniFile {
 public:
  // Reads the file (found without regard to case when the exact name is missing).
  explicit TIniFile(std::string path, SafeWriteOptions options = {});
  // An INI without a file (UpdateFile then does nothing): for parsing text.
  static TIniFile FromText(std::string_view utf8Text);
  ~TIniFile();
  TIniFile(TIniFile&&) noexcept = default;
  TIniFile& operator=(TIniFile&&) noexcept = default;
  TIniFile(const TIniFile&) = delete;
  TIniFile& operator=(const TIniFile&) = delete;

  const std::string& FileName() const { return m_path; }

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def) const;
  // Decimal integer (blanks around it allowed); anything else yields def.
  int ReadInteger(std::string_view section, std::string_view key, int def) const;
  // An integer other than 0 is true.
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, long long value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  std::vector<std::string> ReadSections() const;
  // The key names of a section, in file order (first occurrence of each).
  std::vector<std::string> ReadSection(std::string_view section) const;
  std::vector<std::pair<std::string, std::string>> ReadSectionValues(
      std::string_view section) const;

  void EraseSection(std::string_view section);
  void DeleteKey(std::string_view section, std::string_view key);

  bool Modified() const { return m_modified; }
  // Empty when the file was read or is missing; else why it could not be read. Such an object
  // never rewrites the file, so content it could not see is not lost.
  const std::string& LoadError() const { return m_loadError; }
  // Writes pending changes; Ok when nothing was pending. The file is read again under the
  // writers' lock and the changes made on what it holds now, so a key another program wrote
  // since this object read the file is kept.
  Status UpdateFile();
  // The whole content as lines (UTF-8).
  const std::vector<std::string>& Lines() const { return m_lines; }

 private:
  TIniFile() = default;
  struct Entry {
    std::size_t line;    // index into m_lines
    std::string folded;  // section name or key, case-folded
  };
  struct Section {
    std::string name;
    std::size_t header;       // line of "[name]"
    std::size_t end;          // one past its last line
    std::vector<Entry> keys;  // in file order
  };
  void Parse();
  const Section* FindSection(std::string_view section) const;
  const Entry* FindKey(const Section& s, std::string_view key) const;

  // One change as it was asked, so that it can be made again on the file as another writer
  // left it.
  struct Change {
    enum Kind { Write, Erase, Delete } kind;
    std::string section, key, value;
  };
  void Apply(const Change& change);
  void Record(Change change);

  std::string m_path;
  SafeWriteOptions m_options;
  std::vector<std::string> m_lines;
  std::vector<Section> m_sections;
  bool m_modified = false;
  // The file's lines as last read or written, and the changes made since.
  std::vector<std::string> m_fileLines;
  std::vector<Change> m_changes;
  std::string m_loadError;
};

}  // namespace orva

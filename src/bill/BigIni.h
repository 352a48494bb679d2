// The in-memory INI file of the bill: the whole file held as sections of raw lines, section
// lookups that start at the section used last (the bill view sweeps the days of a month in
// order), and a crash-safe rewrite when something changed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"
#include "platform/SafeFile.h"

namespace orva {

class TBigIniFile {
 public:
  // Loads the file (found without regard to case when the exact name is missing). A missing
  // file gives an empty object.
  explicit TBigIniFile(std::string fileName, SafeWriteOptions options = {});
  // An object loaded from Windows-1252 bytes, with no file behind it (UpdateFile does nothing).
  static TBigIniFile FromBytes(std::string_view bytes);
  // Writes pending changes; a failure here goes unreported, so callers that must know call
  // UpdateFile themselves first.
  virtual ~TBigIniFile();
  TBigIniFile(TBigIniFile&&) noexcept = default;
  TBigIniFile& operator=(TBigIniFile&&) noexcept = default;
  TBigIniFile(const TBigIniFile&) = delete;
  TBigIniFile& operator=(const TBigIniFile&) = delete;

  const std::string& FileName() const { return m_fileName; }
  bool Modified() const { return m_modified; }
  // Empty when the file loaded (or was missing); otherwise why it could not be read. Such an
  // object never rewrites the file, so content it could not see is not lost.
  const std::string& LoadError() const { return m_loadError; }

  // The text after the first "=" of the key's line, or def when section or key is missing.
  virtual std::string ReadString(std::string_view section, std::string_view key,
                                 std::string_view def);
  // Creates the section at the end when missing, appends the key when missing, otherwise
  // replaces the key's line. Line ends in key or value become blanks: one entry, one line.
  virtual void WriteString(std::string_view section, std::string_view key, std::string_view value);
  // Decimal, or hexadecimal after "$" or "0x" (any case); def when the text does not convert.
  virtual int ReadInteger(std::string_view section, std::string_view key, int def);
  virtual void WriteInteger(std::string_view section, std::string_view key, int value);
  virtual bool ReadBool(std::string_view section, std::string_view key, bool def);
  virtual void WriteBool(std::string_view section, std::string_view key, bool value);
  // Appends the key of every "key=value" line of the section.
  virtual void ReadSection(std::string_view section, std::vector<std::string>& list);
  // Appends the section's raw lines.
  virtual void ReadSectionValues(std::string_view section, std::vector<std::string>& list);
  // Empties the section; an empty section is left out of the file.
  virtual void EraseSection(std::string_view section);
  // Appends "[name]", the lines and one empty line for every section holding lines.
  virtual void ReadAll(std::vector<std::string>& list);
  // Rewrites the file when something changed and a file name is known.
  virtual Status UpdateFile();

  // Forgets pending changes, so that destroying the object writes nothing: a caller that was
  // told its write failed must not find it done later behind its back.
  void DiscardChanges() { m_modified = false; }

  // The file's content as it would be written: Windows-1252 bytes, CR LF line ends.
  std::string Serialize() const;

 protected:
  TBigIniFile() = default;

 private:
  struct Section {
    std::string name;
    std::vector<std::string> lines;
  };
  void Load(std::string_view bytes);
  // Index of the section named exactly `name`, searching once round from the section used
  // last; the found index becomes the new starting point. -1 when missing.
  std::ptrdiff_t FindSection(std::string_view name);
  // The line of `key` in the section, or -1.
  static std::ptrdiff_t FindKey(const Section& s, std::string_view key);

  std::string m_fileName;
  SafeWriteOptions m_options;
  std::vector<Section> m_sections;
  std::size_t m_lastSection = 0;
  bool m_modified = false;
  std::string m_loadError;
};

// The class the bill data set uses; it adds nothing the bill needs.
class TBiggerIniFile : public TBigIniFile {
 public:
  using TBigIniFile::TBigIniFile;
};

}  // namespace orva

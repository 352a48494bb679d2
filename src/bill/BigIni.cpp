// The bill's in-memory INI file.
#include "bill/BigIni.h"

#include <sys/stat.h>

#include <cerrno>
#include <limits>

#include "platform/IniFile.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"
#include "platform/Trim.h"

namespace orva {
namespace {

constexpr char kEndOfFileMark = 26;  // Ctrl-Z, written by old DOS-era editors

// The key of a "key=value" line: the text before the first "=", as written.
bool KeyOf(std::string_view line, std::string_view& key) {
  const auto eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = line.substr(0, eq);
  return true;
}

std::string OneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

// Optional blanks and sign, then decimal digits or "$" and hexadecimal digits, all of it
// within the int range.
bool ConvertInteger(std::string_view text, int& out) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  bool hex = false;
  if (i < text.size() && text[i] == '$') {
    hex = true;
    ++i;
  }
  if (i >= text.size()) return false;
  const long long base = hex ? 16 : 10;
  const long long limit = negative ? -static_cast<long long>(std::numeric_limits<int>::min())
                                   : std::numeric_limits<int>::max();
  long long value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return false;
    value = value * base + digit;
    if (value > limit) return false;
  }
  out = static_cast<int>(negative ? -value : value);
  return true;
}

}  // namespace

TBigIniFile::TBigIniFile(std::string fileName, SafeWriteOptions options)
    : m_fileName(ResolveNoCase(fileName)), m_options(options) {
  // Only a missing file is an empty bill; one that is there but cannot be read is an error.
  struct stat st {};
  if (::stat(m_fileName.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
    const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
    if (err != ENOENT) m_loadError = m_fileName + ": " + SystemErrorText(err);
    return;
  }
  auto bytes = ReadFileBytes(m_fileName);
  if (!bytes) {
    m_loadError = bytes.error.empty() ? SystemErrorText(EIO) : bytes.error;
    return;
  }
  Load(*bytes);
}

TBigIniFile TBigIniFile::FromBytes(std::string_view bytes) {
  TBigIniFile ini;
  ini.Load(bytes);
  return ini;
}

TBigIniFile::~TBigIniFile() {
  // A destructor cannot report: whoever needs to know the file was written calls UpdateFile.
  if (m_modified) static_cast<void>(UpdateFile());
}

void TBigIniFile::Load(std::string_view bytes) {
  Section* current = nullptr;
  bool dropping = false;  // inside a repeated section
  for (auto& line : SplitLines(Cp1252ToUtf8(bytes))) {
    if (line.empty() || (line.size() == 1 && line[0] == kEndOfFileMark)) continue;
    // Blanks around a header do not make it an entry line (an editor may leave them).
    const std::string_view head = TrimBlanks(line);
    if (head.size() >= 2 && head.front() == '[' && head.back() == ']') {
      std::string name(head.substr(1, head.size() - 2));
      dropping = false;
      for (const auto& s : m_sections) {
        if (EqualsNoCase(s.name, name)) {
          dropping = true;
          break;
        }
      }
      if (dropping) {
        current = nullptr;
      } else {
        m_sections.push_back(Section{std::move(name), {}});
        current = &m_sections.back();
      }
      continue;
    }
    if (current) current->lines.push_back(std::move(line));
  }
}

std::ptrdiff_t TBigIniFile::FindSection(std::string_view name) {
  const std::size_t n = m_sections.size();
  if (n == 0) return -1;
  if (m_lastSection >= n) m_lastSection = 0;
  for (std::size_t step = 0; step < n; ++step) {
    const std::size_t i = (m_lastSection + step) % n;
    if (m_sections[i].name == name) {
      m_lastSection = i;
      return static_cast<std::ptrdiff_t>(i);
    }
  }
  return -1;
}

std::ptrdiff_t TBigIniFile::FindKey(const Section& s, std::string_view key) {
  for (std::size_t i = 0; i < s.lines.size(); ++i) {
    std::string_view k;
    if (KeyOf(s.lines[i], k) && EqualsNoCase(k, key)) return static_cast<std::ptrdiff_t>(i);
  }
  return -1;
}

std::string TBigIniFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view def) {
  const auto si = FindSection(section);
  if (si < 0) return std::string(def);
  const Section& s = m_sections[static_cast<std::size_t>(si)];
  const auto li = FindKey(s, key);
  if (li < 0) return std::string(def);
  const std::string& line = s.lines[static_cast<std::size_t>(li)];
  return line.substr(line.find('=') + 1);
}

void TBigIniFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
  auto si = FindSection(section);
  if (si < 0) {
    m_sections.push_back(Section{OneLine(section), {}});
    si = static_cast<std::ptrdiff_t>(m_sections.size() - 1);
    m_lastSection = static_cast<std::size_t>(si);
  }
  Section& s = m_sections[static_cast<std::size_t>(si)];
  std::string line = OneLine(key) + "=" + OneLine(value);
  const auto li = FindKey(s, key);
  if (li < 0) {
    s.lines.push_back(std::move(line));
    m_modified = true;
  } else if (s.lines[static_cast<std::size_t>(li)] != line) {
    s.lines[static_cast<std::size_t>(li)] = std::move(line);
    m_modified = true;
  }
}

int TBigIniFile::ReadInteger(std::string_view section, std::string_view key, int def) {
  std::string text = ReadString(section, key, "");
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    text.replace(0, 2, "$");
  int value = 0;
  return ConvertInteger(text, value) ? value : def;
}

void TBigIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

bool TBigIniFile::ReadBool(std::string_view section, std::string_view key, bool def) {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TBigIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TBigIniFile::ReadSection(std::string_view section, std::vector<std::string>& list) {
  const auto si = FindSection(section);
  if (si < 0) return;
  for (const auto& line : m_sections[static_cast<std::size_t>(si)].lines) {
    std::string_view key;
    if (KeyOf(line, key)) list.emplace_back(key);
  }
}

void TBigIniFile::ReadSectionValues(std::string_view section, std::vector<std::string>& list) {
  const auto si = FindSection(section);
  if (si < 0) return;
  const auto& lines = m_sections[static_cast<std::size_t>(si)].lines;
  list.insert(list.end(), lines.begin(), lines.end());
}

void TBigIniFile::EraseSection(std::string_view section) {
  const auto si = FindSection(section);
  if (si < 0) return;
  auto& lines = m_sections[static_cast<std::size_t>(si)].lines;
  if (lines.empty()) return;
  lines.clear();
  m_modified = true;
}

void TBigIniFile::ReadAll(std::vector<std::string>& list) {
  for (const auto& s : m_sections) {
    if (s.lines.empty()) continue;
    list.push_back("[" + s.name + "]");
    list.insert(list.end(), s.lines.begin(), s.lines.end());
    list.emplace_back();
  }
}

std::string TBigIniFile::Serialize() const {
  std::vector<std::string> lines;
  for (const auto& s : m_sections) {
    if (s.lines.empty()) continue;
    lines.push_back("[" + s.name + "]");
    lines.insert(lines.end(), s.lines.begin(), s.lines.end());
    lines.emplace_back();
  }
  return EncodeTextLines(lines);
}

Status TBigIniFile::UpdateFile() {
  if (!m_modified || m_fileName.empty()) return Status::Ok();
  if (!m_loadError.empty()) return Status::Fail(m_loadError);
  Status st = ReplaceFile(m_fileName, Serialize(), m_options);
  if (st) m_modified = false;
  return st;
}

}  // namespace orva

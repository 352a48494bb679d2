// The INI routines.
#include "platform/IniFile.h"

#include <cerrno>

#include "platform/FileLock.h"
#include "platform/Numbers.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"
#include "platform/Trim.h"

namespace orva {

namespace {

// "[name]" -> name; false when the line is no section header.
bool SectionHeader(std::string_view line, std::string_view& name) {
  line = TrimBlanks(line);
  if (line.empty() || line.front() != '[') return false;
  const auto close = line.find(']');
  if (close == std::string_view::npos) return false;
  name = TrimBlanks(line.substr(1, close - 1));
  return true;
}

// "key=value" -> key; false for comments and lines without "=".
bool KeyOf(std::string_view line, std::string_view& key) {
  const auto t = TrimBlanks(line);
  if (t.empty() || t.front() == ';') return false;
  const auto eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = TrimBlanks(line.substr(0, eq));
  return !key.empty();
}

}  // namespace

namespace {

// The file's lines; a missing file is empty, one that is there but cannot be read an error.
Result<std::vector<std::string>> ReadIniLines(const std::string& path) {
  auto lines = ReadTextLines(path);
  if (!lines && !FileExists(path) && !DirectoryExists(path) && errno == ENOENT)
    return Result<std::vector<std::string>>::Ok({});
  return lines;
}

}  // namespace

TIniFile::TIniFile(std::string path, SafeWriteOptions options)
    : m_path(ResolveNoCase(path)), m_options(options) {
  if (auto lines = ReadIniLines(m_path))
    m_lines = std::move(*lines);
  else
    m_loadError = lines.error;
  m_fileLines = m_lines;
  Parse();
}

void TIniFile::Record(Change change) {
  if (!m_path.empty()) m_changes.push_back(std::move(change));
}

void TIniFile::Apply(const Change& change) {
  switch (change.kind) {
    case Change::Write:
      WriteString(change.section, change.key, change.value);
      break;
    case Change::Erase:
      EraseSection(change.section);
      break;
    case Change::Delete:
      DeleteKey(change.section, change.key);
      break;
  }
}

TIniFile TIniFile::FromText(std::string_view utf8Text) {
  TIniFile ini;
  ini.m_lines = SplitLines(utf8Text);
  ini.Parse();
  return ini;
}

TIniFile::~TIniFile() {
  // A destructor cannot report: whoever needs to know the file was written calls UpdateFile.
  if (m_modified && !m_path.empty()) static_cast<void>(UpdateFile());
}

void TIniFile::Parse() {
  m_sections.clear();
  Section* current = nullptr;
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    std::string_view name;
    if (SectionHeader(m_lines[i], name)) {
      if (current) current->end = i;
      m_sections.push_back(Section{std::string(name), i, m_lines.size(), {}});
      current = &m_sections.back();
      continue;
    }
    std::string_view key;
    if (current && KeyOf(m_lines[i], key)) current->keys.push_back(Entry{i, FoldCase(key)});
  }
}

const TIniFile::Section* TIniFile::FindSection(std::string_view section) const {
  for (const auto& s : m_sections)
    if (EqualsNoCase(s.name, section)) return &s;
  return nullptr;
}

const TIniFile::Entry* TIniFile::FindKey(const Section& s, std::string_view key) const {
  const std::string folded = FoldCase(key);
  for (const auto& e : s.keys)
    if (e.folded == folded) return &e;
  return nullptr;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view def) const {
  const Section* s = FindSection(section);
  if (!s) return std::string(def);
  const Entry* e = FindKey(*s, key);
  if (!e) return std::string(def);
  const std::string& line = m_lines[e->line];
  return std::string(TrimBlanks(std::string_view(line).substr(line.find('=') + 1)));
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
  const Section* s = FindSection(section);
  if (!s || !FindKey(*s, key)) return def;
  const auto v = ParseInteger(ReadString(section, key, ""));
  return v ? *v : def;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  Record({Change::Write, std::string(section), std::string(key), std::string(value)});
  std::string line = std::string(key) + "=" + std::string(value);
  if (const Section* s = FindSection(section)) {
    if (const Entry* e = FindKey(*s, key)) {
      if (m_lines[e->line] == line) return;
      m_lines[e->line] = std::move(line);
    } else {
      // After the section's last non-blank line, so blank separators stay where they are.
      std::size_t at = s->end;
      while (at > s->header + 1 && TrimBlanks(m_lines[at - 1]).empty()) --at;
      m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    }
  } else {
    m_lines.push_back("[" + std::string(section) + "]");
    m_lines.push_back(std::move(line));
  }
  m_modified = true;
  Parse();
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, long long value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

bool TIniFile::SectionExists(std::string_view section) const {
  return FindSection(section) != nullptr;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(section);
  return s && FindKey(*s, key);
}

std::vector<std::string> TIniFile::ReadSections() const {
  std::vector<std::string> out;
  for (const auto& s : m_sections) {
    bool seen = false;
    for (const auto& o : out) seen = seen || EqualsNoCase(o, s.name);
    if (!seen) out.push_back(s.name);
  }
  return out;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const {
  std::vector<std::string> out;
  const Section* s = FindSection(section);
  if (!s) return out;
  std::vector<std::string> folded;
  for (const auto& e : s->keys) {
    bool seen = false;
    for (const auto& f : folded) seen = seen || f == e.folded;
    if (seen) continue;
    folded.push_back(e.folded);
    std::string_view key;
    KeyOf(m_lines[e.line], key);
    out.emplace_back(key);
  }
  return out;
}

std::vector<std::pair<std::string, std::string>> TIniFile::ReadSectionValues(
    std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> out;
  for (const auto& key : ReadSection(section)) out.emplace_back(key, ReadString(section, key, ""));
  return out;
}

void TIniFile::EraseSection(std::string_view section) {
  Record({Change::Erase, std::string(section), {}, {}});
  bool changed = false;
  // Every occurrence goes, as with the Windows routine.
  for (;;) {
    const Section* s = FindSection(section);
    if (!s) break;
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(s->header),
                  m_lines.begin() + static_cast<std::ptrdiff_t>(s->end));
    changed = true;
    Parse();
  }
  m_modified = m_modified || changed;
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  Record({Change::Delete, std::string(section), std::string(key), {}});
  const Section* s = FindSection(section);
  if (!s) return;
  const Entry* e = FindKey(*s, key);
  if (!e) return;
  m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(e->line));
  m_modified = true;
  Parse();
}

Status TIniFile::UpdateFile() {
  if (!m_modified || m_path.empty()) return Status::Ok();
  if (!m_loadError.empty()) return Status::Fail(m_loadError);
  const Result<FileUpdateLock> lock = LockForUpdate(m_path);
  if (!lock) return Status::Fail(lock.error);
  auto now = ReadIniLines(m_path);
  if (!now) return Status::Fail(now.error);
  if (*now != m_fileLines) {
    // Another program wrote the file since it was read here: this object's changes are made
    // again on what it holds now.
    TIniFile current;
    current.m_lines = std::move(*now);
    current.Parse();
    for (const auto& change : m_changes) current.Apply(change);
    m_lines = std::move(current.m_lines);
    Parse();
  }
  Status st = WriteTextLines(m_path, m_lines, m_options);
  if (st) {
    m_modified = false;
    m_fileLines = m_lines;
    m_changes.clear();
  }
  return st;
}

}  // namespace orva

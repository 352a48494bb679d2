// The raw INI index used by the tariff evaluation.
#include "tariff/RawIni.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Numbers.h"
#include "platform/SafeFile.h"
#include "platform/Trim.h"

namespace orva {
namespace {

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

bool ReadFd(int fd, std::string& buffer) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
  buffer.resize(static_cast<std::size_t>(st.st_size) + 1);
  std::size_t used = 0;
  for (;;) {
    if (used == buffer.size()) buffer.resize(buffer.size() * 2 + 64);
    const ssize_t n = ::read(fd, buffer.data() + used, buffer.size() - used);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
  }
  buffer.resize(used);
  return true;
}

bool ReadPath(const std::string& path, std::string& buffer) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ReadFd(fd, buffer);
  ::close(fd);
  return ok;
}

}  // namespace

void RawIni::Index(std::string_view bytes) {
  m_entries.clear();
  bool inSection = false;
  while (!bytes.empty()) {
    // Lines end with CR LF, LF or a lone CR.
    std::size_t end = 0;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    const std::string_view line = bytes.substr(0, end);
    if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() &&
        bytes[end + 1] == '\n')
      ++end;
    bytes.remove_prefix(std::min(end + 1, bytes.size()));

    const std::string_view t = TrimBlanks(line);
    if (t.empty()) continue;
    if (t.front() == '[') {
      const auto close = t.find(']');
      if (close != std::string_view::npos) {
        m_entries.push_back({true, TrimBlanks(t.substr(1, close - 1)), {}});
        inSection = true;
        continue;
      }
    }
    if (!inSection || t.front() == ';') continue;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = TrimBlanks(line.substr(0, eq));
    if (key.empty()) continue;
    m_entries.push_back({false, key, TrimBlanks(line.substr(eq + 1))});
  }
}

std::size_t RawIni::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < m_entries.size(); ++i)
    if (m_entries[i].header && EqualsAsciiNoCase(m_entries[i].name, section)) return i;
  return std::string_view::npos;
}

std::optional<std::string_view> RawIni::Value(std::string_view section,
                                              std::string_view key) const {
  const std::size_t s = FindSection(section);
  if (s == std::string_view::npos) return std::nullopt;
  for (std::size_t i = s + 1; i < m_entries.size() && !m_entries[i].header; ++i)
    if (EqualsAsciiNoCase(m_entries[i].name, key)) return m_entries[i].value;
  return std::nullopt;
}

int RawIni::Integer(std::string_view section, std::string_view key, int def) const {
  const auto v = Value(section, key);
  if (!v) return def;
  const auto n = ParseInteger(*v);
  return n ? *n : def;
}

int RawIni::KeyCount(std::string_view section) const {
  const std::size_t s = FindSection(section);
  if (s == std::string_view::npos) return 0;
  int n = 0;
  for (std::size_t i = s + 1; i < m_entries.size() && !m_entries[i].header; ++i) ++n;
  return n;
}

bool ReadWholeFile(const std::string& path, std::string& buffer) {
  if (ReadPath(path, buffer)) return true;
  if (errno != ENOENT) return false;
  // Files copied from Windows come in any letter case.
  const std::string other = ResolveNoCase(path);
  return other != path && ReadPath(other, buffer);
}

}  // namespace orva

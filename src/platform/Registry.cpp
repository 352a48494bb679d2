// The file-backed registry.
#include "platform/Registry.h"

#include "platform/Numbers.h"
#include "platform/SafeFile.h"

namespace orva {

std::string EscapeRegistryString(std::string_view value) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  out.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    const auto c = static_cast<unsigned char>(value[i]);
    const bool edgeBlank = (c == ' ' || c == '\t') && (i == 0 || i + 1 == value.size());
    if (c == '\\') {
      out += "\\\\";
    } else if (c < 0x20 || c == 0x7F || edgeBlank) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string UnescapeRegistryString(std::string_view s) {
  auto hex = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      if (s[i + 1] == '\\') {
        out += '\\';
        ++i;
        continue;
      }
      if (s[i + 1] == 'x' && i + 3 < s.size() && hex(s[i + 2]) >= 0 && hex(s[i + 3]) >= 0) {
        out += static_cast<char>(hex(s[i + 2]) * 16 + hex(s[i + 3]));
        i += 3;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

Registry::Registry(const std::string& dataDir) : m_ini(JoinPath(dataDir, "registry.ini")) {}

std::optional<std::string> Registry::ReadString(std::string_view key, std::string_view name) const {
  if (!m_ini.ValueExists(key, name)) return std::nullopt;
  return UnescapeRegistryString(m_ini.ReadString(key, name, ""));
}

int Registry::ReadInteger(std::string_view key, std::string_view name) const {
  return m_ini.ReadInteger(key, name, 0);
}

bool Registry::ValueExists(std::string_view key, std::string_view name) const {
  return m_ini.ValueExists(key, name);
}

Status Registry::WriteString(std::string_view key, std::string_view name, std::string_view value) {
  m_ini.WriteString(key, name, EscapeRegistryString(value));
  return m_ini.UpdateFile();
}

Status Registry::WriteInteger(std::string_view key, std::string_view name, int value) {
  m_ini.WriteInteger(key, name, value);
  return m_ini.UpdateFile();
}

Status Registry::DeleteValue(std::string_view key, std::string_view name) {
  m_ini.DeleteKey(key, name);
  return m_ini.UpdateFile();
}

}  // namespace orva

// Names a hosts file holds already and addresses that are never added to one.
#include "net/HostsKnown.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstdint>

#include "platform/TextCodec.h"

namespace orva {

namespace {

bool IsLocalOnlyIPv4(std::uint32_t hostOrder) {
  const std::uint32_t first = hostOrder >> 24;
  const std::uint32_t second = (hostOrder >> 16) & 0xFF;
  return first == 127 || (first == 169 && second == 254);
}

}  // namespace

bool IsLocalOnlyAddress(std::string_view text) {
  const std::string copy(text);
  in_addr v4{};
  if (::inet_pton(AF_INET, copy.c_str(), &v4) == 1) return IsLocalOnlyIPv4(ntohl(v4.s_addr));
  in6_addr v6{};
  if (::inet_pton(AF_INET6, copy.c_str(), &v6) != 1) return false;
  if (IN6_IS_ADDR_LOOPBACK(&v6) || IN6_IS_ADDR_LINKLOCAL(&v6)) return true;
  if (IN6_IS_ADDR_V4MAPPED(&v6)) {
    const unsigned char* b = v6.s6_addr;
    const std::uint32_t mapped = (std::uint32_t{b[12]} << 24) | (std::uint32_t{b[13]} << 16) |
                                 (std::uint32_t{b[14]} << 8) | std::uint32_t{b[15]};
    return IsLocalOnlyIPv4(mapped);
  }
  return false;
}

namespace {

// Calls `name` with every word after the address, up to a "#".
template <class F>
void ForEachHostName(std::string_view line, F&& name) {
  line = line.substr(0, line.find('#'));
  bool address = true;  // the first word
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i == start) continue;
    if (!address) name(line.substr(start, i - start));
    address = false;
  }
}

}  // namespace

std::vector<std::string> HostNamesOnLine(std::string_view line) {
  std::vector<std::string> words;
  ForEachHostName(line, [&words](std::string_view w) { words.emplace_back(w); });
  return words;
}

std::string HostNameKey(std::string_view name) {
  return FoldCase(name);
}

void AddHostNamesOfLine(HostNameSet& names, std::string_view line) {
  ForEachHostName(line, [&names](std::string_view w) { names.insert(HostNameKey(w)); });
}

namespace {

// A name FoldCase leaves as it is: ASCII without capitals.
bool IsFolded(std::string_view name) {
  for (const char c : name)
    if ((c >= 'A' && c <= 'Z') || static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

bool HostNameIndex::Insert(std::string_view name, std::size_t number) {
  if (IsFolded(name)) return m_numbers.emplace(name, number).second;
  std::string key = HostNameKey(name);
  if (m_numbers.count(key)) return false;
  m_folded.push_back(std::move(key));
  m_numbers.emplace(m_folded.back(), number);
  return true;
}

const std::size_t* HostNameIndex::Find(std::string_view name) const {
  const auto it = IsFolded(name) ? m_numbers.find(name) : m_numbers.find(HostNameKey(name));
  return it == m_numbers.end() ? nullptr : &it->second;
}

void HostNameIndex::InsertNamesOfLine(std::string_view line, std::size_t number) {
  ForEachHostName(line, [&](std::string_view w) { Insert(w, number); });
}

}  // namespace orva

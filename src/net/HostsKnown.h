// What a hosts file already knows: the names on its lines, whoever wrote them, and the
// addresses that no hosts file learns from a call.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace orva {

// Loopback (127.0.0.0/8, ::1) and link-local (169.254.0.0/16, fe80::/10) addresses, also as
// IPv4-mapped IPv6: every machine has its own, so a name seen at one is no server of the call.
bool IsLocalOnlyAddress(std::string_view text);

// The host names a hosts file line gives: every word after the address, up to a "#".
std::vector<std::string> HostNamesOnLine(std::string_view line);

// Host names compare without regard to letter case, as the resolver compares them.
std::string HostNameKey(std::string_view name);

// The names of a set of lines, as keys.
using HostNameSet = std::unordered_set<std::string>;
void AddHostNamesOfLine(HostNameSet& names, std::string_view line);

// Host names as keys (letter case aside) with a number each, without a copy of every name: a
// name without capitals is kept as a view of the text it lies in, which must stay where it is
// while the index lives; only a name with capitals is folded into the index's own storage.
class HostNameIndex {
 public:
  void Reserve(std::size_t names) { m_numbers.reserve(names); }
  // Adds the name with its number; false when the name was there already (it keeps its first
  // number).
  bool Insert(std::string_view name, std::size_t number);
  // The name's number, or none.
  const std::size_t* Find(std::string_view name) const;
  // Every name of a hosts file line (see HostNamesOnLine), numbered `number`.
  void InsertNamesOfLine(std::string_view line, std::size_t number);

 private:
  std::unordered_map<std::string_view, std::size_t> m_numbers;
  std::deque<std::string> m_folded;
};

}  // namespace orva

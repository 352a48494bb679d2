// What a hosts file already knows: the names on its lines, whoever wrote them, and the
// addresses that no hosts file learns from a call.
#pragma once

#include <string>
#include <string_view>
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

}  // namespace orva

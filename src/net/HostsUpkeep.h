// Hosts upkeep for a user who may not write the system hosts file: the names found at call end
// wait in "hosts.mqm" until one authorised run of the privileged helper applies them. Also the
// helper's side: its input, checked line by line, and how it applies it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "net/Hosts.h"
#include "net/Url.h"
#include "platform/Result.h"

namespace orva {

// The staged entries that the merge would still add to the system hosts file or change there
// (a name it lacks, or a newer time text), in staging order. Entries the system file may not
// take (unresolved, not an address, not a host name) are not counted.
std::vector<TIpaddr> PendingStagedEntries(const HostsPaths& paths);

// Call end: writes the visited servers to "hosts.mqm" as the program always has; names still
// waiting there from earlier calls are kept (the new list merged into them), so nothing waits
// in vain. Servers at loopback or link-local addresses are left out; an empty list leaves the
// file untouched.
Status StageVisitedServers(const VisitedList& visited, const HostsPaths& paths);

// "3 nomi in attesa di «Applica hosts»", or "" when none wait.
std::string HostsWaitingText(std::size_t count);

// What the helper is asked to do: entries to add or update by the merge rule, and entries
// (address and name) to take out of the file.
struct HostsHelperRequest {
  std::vector<TIpaddr> upserts;
  std::vector<TIpaddr> removals;
};

// Bounds of the helper's input.
constexpr std::size_t kHelperMaxInputBytes = 1 << 20;
constexpr std::size_t kHelperMaxLines = 20000;

// The helper's input: one line per entry, "address name #time" exactly as the program writes
// it, or "-address name" for a removal; LF line ends.
std::string FormatHelperInput(const HostsHelperRequest& request);
// Checks every line (a well-formed IPv4 or IPv6 address, a valid host name, a time text of at
// most 64 printable characters, nothing else on the line, the bounds above); the first bad
// line fails the whole input, naming its number.
Result<HostsHelperRequest> ParseHelperInput(std::string_view input);
// Applies a request to the hosts file: a copy of the current file as "hosts.bak" beside it
// first, then the safe rewrite (links, owner, group and mode kept). Nothing is written when
// nothing changes; a missing hosts file is created.
Status ApplyHostsRequest(const std::string& hostsPath, const HostsHelperRequest& request);

// Who may write the system hosts file: this program itself when it can, else the privileged
// helper after one authorisation.
class HostsAuthority {
 public:
  virtual ~HostsAuthority() = default;
  virtual bool CanWrite(const std::string& path) const;
  // Runs the helper with `input` (one authorisation for all of it); the failure text otherwise.
  virtual Status RunHelper(const std::string& input) = 0;
};

// Applies what waits in "hosts.mqm": directly when the file is writable, else through the
// helper. The count applied, or the failure.
Result<std::size_t> ApplyPendingHosts(const HostsPaths& paths, HostsAuthority& authority);

}  // namespace orva

// Names waiting for the hosts file, and the privileged helper's input and work.
#include "net/HostsUpkeep.h"

#include <unordered_map>

#include "net/HostsKnown.h"
#include "platform/SafeFile.h"

namespace orva {

namespace {

bool SystemMayTake(const TIpaddr& e) {
  return IsWritable(e) && IsIPAddress(e.address) && IsValidHostName(e.hostName) &&
         !IsLocalOnlyAddress(e.address);
}

bool PrintableTime(std::string_view text) {
  if (text.size() > 64) return false;
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || c == '#') return false;
  }
  return true;
}

}  // namespace

std::vector<TIpaddr> PendingStagedEntries(const HostsPaths& paths) {
  std::vector<TIpaddr> pending;
  auto staged = LoadHostsFile(paths.staging, false);
  if (!staged) return pending;
  std::unordered_map<std::string, std::string> known;  // name -> time text of its first entry
  HostNameSet foreign;                                 // names on a person's lines
  if (auto system = LoadHostsFile(paths.system, true)) {
    for (const TIpaddr& e : system->entries) {
      if (system->lines[static_cast<std::size_t>(e.line)].own)
        known.emplace(HostNameKey(e.hostName), e.timeText);
    }
    foreign = system->ForeignNames();
  }
  std::unordered_map<std::string, std::size_t> seen;
  for (const TIpaddr& e : staged->entries) {
    if (!SystemMayTake(e)) continue;
    const std::string key = HostNameKey(e.hostName);
    const auto k = known.find(key);
    if (k != known.end() && k->second == e.timeText) continue;
    // The merge never adds nor changes these: they would wait for ever.
    if (foreign.count(key) > 0) continue;
    // A name staged twice waits once, with its last time text (what the merge would leave).
    if (auto s = seen.find(key); s != seen.end()) {
      pending[s->second].timeText = e.timeText;
      continue;
    }
    seen.emplace(key, pending.size());
    TIpaddr p = e;
    p.line = -1;
    pending.push_back(std::move(p));
  }
  return pending;
}

Status StageVisitedServers(const VisitedList& visited, const HostsPaths& paths) {
  const std::string format = "mm-dd-yyyy hh.nn.ss";
  // The machine's own addresses (a local proxy, a printer on the link) are no servers of the
  // call: their names never wait for the hosts file.
  VisitedList servers;
  for (const auto& e : visited.Entries()) {
    if (IsLocalOnlyAddress(e.address) || !servers.Add(e.address, e.host.firstSeen)) continue;
    servers[servers.Count() - 1].host = e.host;
  }
  if (servers.Count() == 0) return Status::Ok();
  std::vector<TIpaddr> waiting = PendingStagedEntries(paths);
  if (waiting.empty()) return SaveVisitedList(servers, paths.staging, format);
  std::vector<TIpaddr> fresh;
  for (const auto& e : servers.Entries())
    fresh.push_back({e.address, e.host.hostName, FormatDateTime(format, e.host.firstSeen)});
  MergeInto(waiting, fresh);
  return SaveHostsList(paths.staging, waiting);
}

std::string HostsWaitingText(std::size_t count) {
  if (count == 0) return {};
  return std::to_string(count) + (count == 1 ? " nome" : " nomi") +
         " in attesa di \xC2\xAB"
         "Applica hosts\xC2\xBB";
}

std::string FormatHelperInput(const HostsHelperRequest& request) {
  std::string out;
  for (const TIpaddr& e : request.upserts) out += FormatHostsLine(e) + "\n";
  for (const TIpaddr& e : request.removals) out += "-" + e.address + " " + e.hostName + "\n";
  return out;
}

Result<HostsHelperRequest> ParseHelperInput(std::string_view input) {
  using R = Result<HostsHelperRequest>;
  if (input.size() > kHelperMaxInputBytes) return R::Fail("input too large");
  HostsHelperRequest request;
  std::size_t number = 0, start = 0;
  while (start < input.size()) {
    std::size_t end = input.find('\n', start);
    if (end == std::string_view::npos) end = input.size();
    const std::string_view line = input.substr(start, end - start);
    start = end + 1;
    if (++number > kHelperMaxLines) return R::Fail("too many lines");
    const std::string where = "line " + std::to_string(number) + ": ";
    if (line.empty()) continue;
    if (line.size() > 255) return R::Fail(where + "too long");
    if (line.front() == '-') {
      const std::string_view rest = line.substr(1);
      const std::size_t space = rest.find(' ');
      if (space == std::string_view::npos) return R::Fail(where + "not \"-address name\"");
      TIpaddr e;
      e.address = std::string(rest.substr(0, space));
      e.hostName = std::string(rest.substr(space + 1));
      if (!IsIPAddress(e.address) || !IsValidHostName(e.hostName))
        return R::Fail(where + "not \"-address name\"");
      request.removals.push_back(std::move(e));
      continue;
    }
    auto e = ParseHostsLine(line);
    if (!e || !IsIPAddress(e->address)) return R::Fail(where + "not an address");
    if (!IsValidHostName(e->hostName)) return R::Fail(where + "not a host name");
    if (!PrintableTime(e->timeText)) return R::Fail(where + "bad time text");
    // Nothing but the three fields, written the program's way: no aliases or blanks slip in.
    e->line = -1;
    if (FormatHostsLine(*e) != line) return R::Fail(where + "not a hosts entry");
    request.upserts.push_back(std::move(*e));
  }
  return R::Ok(std::move(request));
}

Status ApplyHostsRequest(const std::string& hostsPath, const HostsHelperRequest& request) {
  std::string current;
  const bool exists = FileExists(hostsPath);
  if (exists) {
    auto bytes = ReadFileBytes(hostsPath);
    if (!bytes) return Status::Fail(bytes.error);
    current = std::move(*bytes);
  }
  const HostsFile file = HostsFile::Parse(current, true);
  std::vector<TIpaddr> list = file.entries;
  for (const TIpaddr& r : request.removals) {
    const std::string address = CanonicalAddress(r.address);
    std::erase_if(list, [&](const TIpaddr& e) {
      return e.hostName == r.hostName && CanonicalAddress(e.address) == address;
    });
  }
  MergeInto(list, request.upserts);
  const std::string bytes = file.Render(list);
  if (exists && bytes == current) return Status::Ok();
  if (exists) {
    HostsPaths paths{{}, hostsPath};
    if (Status s = ReplaceFile(paths.Backup(), current); !s) return s;
  }
  return ReplaceFile(hostsPath, bytes);
}

bool HostsAuthority::CanWrite(const std::string& path) const {
  return CanReplaceFile(path);
}

Result<std::size_t> ApplyPendingHosts(const HostsPaths& paths, HostsAuthority& authority) {
  using R = Result<std::size_t>;
  const std::vector<TIpaddr> pending = PendingStagedEntries(paths);
  if (pending.empty()) return R::Ok(0);
  if (authority.CanWrite(paths.system)) {
    if (Status s = MergeStagedHosts(paths); !s) return R::Fail(s.error);
    return R::Ok(pending.size());
  }
  HostsHelperRequest request;
  request.upserts = pending;
  if (Status s = authority.RunHelper(FormatHelperInput(request)); !s) return R::Fail(s.error);
  return R::Ok(pending.size());
}

}  // namespace orva

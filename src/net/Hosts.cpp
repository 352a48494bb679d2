// Hosts lists: the line rule, files kept line for line, the indexed merge and the dialog logic.
#include "net/Hosts.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <unordered_map>

#include "core/HowUtils.h"
#include "net/HostsKnown.h"
#include "net/HostsUpkeep.h"
#include "platform/DataFiles.h"
#include "platform/SafeFile.h"
#include "platform/TextCodec.h"
#include "platform/Trim.h"

namespace orva {

std::optional<TIpaddr> ParseHostsLine(std::string_view line) {
  const std::size_t hash = line.find('#');
  if (hash == std::string_view::npos || hash < 3) return std::nullopt;
  TIpaddr e;
  const std::size_t space1 = line.find(' ');
  e.address = std::string(TrimControls(line.substr(0, space1)));
  if (space1 != std::string_view::npos) {
    const std::size_t space2 = line.find(' ', space1 + 1);
    const std::size_t end = space2 == std::string_view::npos ? line.size() : space2;
    e.hostName = std::string(TrimControls(line.substr(space1 + 1, end - space1 - 1)));
  }
  e.timeText = std::string(TrimControls(line.substr(hash + 1)));
  return e;
}

std::string FormatHostsLine(const TIpaddr& entry) {
  std::string line =
      IsIPv6Address(entry.address) ? entry.address + " " : Utf8Left(entry.address + " ", 25);
  line += entry.hostName + " #" + entry.timeText;
  return Utf8Left(line, 255);
}

bool IsWritable(const TIpaddr& entry) {
  return TrimControls(entry.hostName) != "?";
}

bool IsValidHostName(std::string_view name) {
  if (name.empty() || name.size() > 253) return false;
  std::size_t start = 0;
  bool lastAllDigits = false;
  while (true) {
    std::size_t dot = name.find('.', start);
    if (dot == std::string_view::npos) dot = name.size();
    const std::string_view label = name.substr(start, dot - start);
    if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-')
      return false;
    lastAllDigits = true;
    for (char c : label) {
      const bool digit = c >= '0' && c <= '9';
      const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
      if (!digit && !letter && c != '-') return false;
      if (!digit) lastAllDigits = false;
    }
    if (dot == name.size()) break;
    start = dot + 1;
  }
  return !lastAllDigits;
}

bool IsIPv4Address(std::string_view text) {
  int parts = 0;
  std::size_t i = 0;
  while (true) {
    int value = 0, digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      value = value * 10 + (text[i] - '0');
      if (++digits > 3) return false;
      ++i;
    }
    if (digits == 0 || value > 255) return false;
    ++parts;
    if (i == text.size()) break;
    if (text[i] != '.' || parts == 4) return false;
    ++i;
  }
  return parts == 4;
}

bool IsIPv6Address(std::string_view text) {
  if (text.size() < 2 || text.size() > 45 || text.find(':') == std::string_view::npos) return false;
  const std::string copy(text);
  in6_addr a{};
  return ::inet_pton(AF_INET6, copy.c_str(), &a) == 1;
}

bool IsIPAddress(std::string_view text) {
  return IsIPv4Address(text) || IsIPv6Address(text);
}

std::string CanonicalAddress(std::string_view text) {
  if (!IsIPv6Address(text)) return std::string(text);
  const std::string copy(text);
  in6_addr a{};
  char out[INET6_ADDRSTRLEN] = {};
  if (::inet_pton(AF_INET6, copy.c_str(), &a) != 1 || !::inet_ntop(AF_INET6, &a, out, sizeof out))
    return copy;
  return out;
}

HostsFile HostsFile::Parse(std::string_view bytes, bool system) {
  HostsFile f;
  f.system = system;
  // Room for every line at once: a large file is not moved line after line as it grows.
  const auto breaks = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
  f.lines.reserve(breaks);
  f.entries.reserve(breaks);
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = start;
    while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') ++end;
    Line line;
    line.bytes = std::string(bytes.substr(start, end - start));
    std::size_t next = end;
    if (end < bytes.size()) {
      next =
          end + ((bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1);
      line.ending = std::string(bytes.substr(end, next - end));
    }
    std::string decoded;
    std::string_view text = line.bytes;
    if (!system) {
      decoded = Cp1252ToUtf8(line.bytes);
      text = decoded;
    }
    auto entry = ParseHostsLine(text);
    // The system file also holds lines this program does not own (IPv6 entries, aliases
    // without "#", hand-written names): only its own kind of entry is taken.
    if (entry && system && (!IsIPAddress(entry->address) || !IsValidHostName(entry->hostName)))
      entry.reset();
    if (entry) {
      entry->line = static_cast<int>(f.lines.size());
      line.taken = true;
      line.own = FormatHostsLine(*entry) == text;
      f.entries.push_back(std::move(*entry));
    }
    f.lines.push_back(std::move(line));
    start = next;
  }
  return f;
}

std::unordered_set<std::string> HostsFile::ForeignNames() const {
  HostNameSet names;
  for (const Line& l : lines) {
    if (!l.own) AddHostNamesOfLine(names, system ? l.bytes : Cp1252ToUtf8(l.bytes));
  }
  return names;
}

std::string HostsFile::NewLineEnding() const {
  for (const Line& l : lines) {
    if (!l.ending.empty()) return l.ending;
  }
  return system ? "\n" : "\r\n";
}

std::string HostsFile::Render(const std::vector<TIpaddr>& list) const {
  auto mayWrite = [this](const TIpaddr& e) {
    if (!IsWritable(e)) return false;
    // Into the system file goes only what a resolver would accept as a name and address.
    return !system || e.line >= 0 || (IsIPAddress(e.address) && IsValidHostName(e.hostName));
  };
  auto encode = [this](const std::string& text) { return system ? text : Utf8ToCp1252(text); };
  auto entryText = [&](const TIpaddr& e) -> std::string {
    if (e.line >= 0 && static_cast<std::size_t>(e.line) < lines.size()) {
      const Line& l = lines[static_cast<std::size_t>(e.line)];
      const std::string& original = l.bytes;
      // A person's line in the system file keeps his comment: only the program's own lines
      // take a new time text.
      if (!e.changed || (system && !l.own)) return original;
      // An updated entry keeps everything up to its "#" (aliases, blanks) and takes the new
      // time text.
      const std::size_t hash = original.find('#');
      if (hash != std::string::npos) {
        const std::string decoded = system ? original : Cp1252ToUtf8(original);
        const std::size_t h = decoded.find('#');
        return encode(Utf8Left(decoded.substr(0, h + 1) + e.timeText, 255));
      }
    }
    return encode(FormatHostsLine(e));
  };

  // Each entry read from the file goes back to its own line, whatever order the list has
  // (the dialog sorts what it shows): a comment keeps standing above the entry it speaks of.
  // Entries deleted from the list leave their lines; added entries follow in list order.
  std::vector<const TIpaddr*> atLine(lines.size(), nullptr);
  std::vector<const TIpaddr*> added;
  for (const TIpaddr& e : list) {
    if (!mayWrite(e)) continue;
    const bool own = e.line >= 0 && static_cast<std::size_t>(e.line) < lines.size() &&
                     lines[static_cast<std::size_t>(e.line)].taken &&
                     atLine[static_cast<std::size_t>(e.line)] == nullptr;
    if (own)
      atLine[static_cast<std::size_t>(e.line)] = &e;
    else
      added.push_back(&e);
  }
  if (system) {
    // A name that any line of the system file gives already (the program's own entries, a
    // person's lines, aliases), in whatever case, is never added again: the first line would
    // win anyway and the file would only grow. Nor is an address of the machine itself.
    HostNameIndex known;
    known.Reserve(lines.size() + added.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (!lines[i].taken || atLine[i]) known.InsertNamesOfLine(lines[i].bytes, i);
    }
    std::erase_if(added, [&known](const TIpaddr* e) {
      return IsLocalOnlyAddress(e->address) || !known.Insert(e->hostName, 0);
    });
  }
  std::string out;
  std::size_t size = 0;
  for (const Line& l : lines) size += l.bytes.size() + l.ending.size();
  out.reserve(size + added.size() * 64);
  bool endsOpen = false;  // the last line written has no line end
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line& l = lines[i];
    if (l.taken && !atLine[i]) continue;  // a deleted entry: the line goes
    out += l.taken ? entryText(*atLine[i]) : l.bytes;
    out += l.ending;
    endsOpen = l.ending.empty();
  }
  const std::string ending = NewLineEnding();
  for (const TIpaddr* e : added) {
    if (endsOpen && !out.empty()) out += ending;
    TIpaddr fresh = *e;
    fresh.line = -1;
    out += entryText(fresh);
    out += ending;
    endsOpen = false;
  }
  return out;
}

std::string HostsPaths::Backup() const {
  return JoinPath(DirectoryOf(system), "hosts.bak");
}

HostsPaths HostsPathsIn(const std::string& dataDir, std::string systemHosts) {
  return {DataPath(dataDir).Found(kHostsStagingFileName), std::move(systemHosts)};
}

Result<HostsFile> LoadHostsFile(const std::string& path, bool system) {
  auto bytes = ReadFileBytes(path);
  if (!bytes) return Result<HostsFile>::Fail(bytes.error);
  return Result<HostsFile>::Ok(HostsFile::Parse(*bytes, system));
}

Status SaveHostsList(const std::string& path, const std::vector<TIpaddr>& list) {
  HostsFile empty;
  std::vector<TIpaddr> added = list;
  for (auto& e : added) e.line = -1;
  return ReplaceFile(path, empty.Render(added));
}

void MergeInto(std::vector<TIpaddr>& system, const std::vector<TIpaddr>& staged) {
  // The first system entry of each name, in any case; later duplicates never match. The
  // index looks at the names where they lie: the list makes room for every staged entry first,
  // so no name moves while it is indexed.
  system.reserve(system.size() + staged.size());
  HostNameIndex byName;
  byName.Reserve(system.size() + staged.size());
  for (std::size_t i = 0; i < system.size(); ++i) byName.Insert(system[i].hostName, i);
  for (const TIpaddr& s : staged) {
    if (const std::size_t* at = byName.Find(s.hostName)) {
      TIpaddr& target = system[*at];
      if (target.timeText != s.timeText) {
        target.timeText = s.timeText;
        target.changed = true;
      }
      continue;
    }
    system.push_back({s.address, s.hostName, s.timeText, -1, false});
    byName.Insert(system.back().hostName, system.size() - 1);
  }
}

Status MergeStagedHosts(const HostsPaths& paths, ProgressBox* progress) {
  if (!FileExists(paths.staging)) return Status::Ok();
  if (!FileExists(paths.system)) {
    if (Status s = ReplaceFile(paths.system, ""); !s) return s;
  }
  auto show = [progress](const std::string& text) {
    if (progress) progress->Show(text, false);
  };
  struct Closer {
    ProgressBox* p;
    ~Closer() {
      if (p) p->Close();
    }
  } closer{progress};
  show("Caricamento Liste...");
  auto staged = LoadHostsFile(paths.staging, false);
  if (!staged) return Status::Fail(staged.error);
  auto systemBytes = ReadFileBytes(paths.system);
  if (!systemBytes) return Status::Fail(systemBytes.error);
  HostsFile system = HostsFile::Parse(*systemBytes, true);
  // Rendering reads the file's lines, not its entries: they move into the list.
  std::vector<TIpaddr> list = std::move(system.entries);
  // A name seen at the machine's own address (a local proxy, "localhost") is no server of
  // the call: it neither enters nor updates the system file.
  std::erase_if(staged->entries, [](const TIpaddr& e) { return IsLocalOnlyAddress(e.address); });
  show("Inserimento/Aggiornamento indirizzi...");
  if (progress) {
    // The box shows the names as they go; the index does the work.
    for (const TIpaddr& e : staged->entries) {
      progress->Show(e.hostName, false);
      progress->Pump();
    }
  }
  MergeInto(list, staged->entries);
  show("Scrittura file Hosts...");
  const std::string bytes = system.Render(list);
  if (bytes == *systemBytes) return Status::Ok();
  return ReplaceFile(paths.system, bytes);
}

HostsModel::HostsModel(HostsPaths paths, Dialogs& dialogs, ProgressBox* progress,
                       HostsAuthority* authority)
    : m_paths(std::move(paths)), m_dialogs(dialogs), m_progress(progress), m_authority(authority) {
  m_layout[1].system = true;
}

void HostsModel::Progress(const std::string& text, bool stop) {
  if (m_progress) {
    m_progress->Show(text, stop);
    m_progress->Pump();
  }
}

void HostsModel::Activate() {
  LoadList(0, m_paths.staging);
  LoadList(1, m_paths.system);
}

void HostsModel::LoadList(int side, const std::string& path) {
  m_files[side] = path;
  m_ascending[side] = true;
  Progress("Un attimo, prego sto caricando la lista...", false);
  auto file = LoadHostsFile(path, side == 1);
  m_layout[side] = file ? std::move(*file) : HostsFile{};
  m_layout[side].system = side == 1;
  m_lists[side] = m_layout[side].entries;
  if (m_progress) {
    for (std::size_t i = 1000; i <= m_lists[side].size(); i += 1000)
      Progress("Caricati " + std::to_string(i) + " elementi.", false);
  }
  Progress("Ordinamento...", false);
  Sort(side);
  if (m_progress) m_progress->Close();
}

std::string HostsModel::CountText(int side) const {
  return " " + std::to_string(m_lists[side].size()) + " elementi";
}

void HostsModel::Sort(int side) {
  auto& list = m_lists[side];
  std::vector<std::pair<std::string, std::size_t>> keys;
  keys.reserve(list.size());
  for (std::size_t i = 0; i < list.size(); ++i) keys.emplace_back(FoldCase(list[i].hostName), i);
  const bool up = m_ascending[side];
  std::stable_sort(keys.begin(), keys.end(), [up](const auto& a, const auto& b) {
    return up ? a.first < b.first : b.first < a.first;
  });
  std::vector<TIpaddr> sorted;
  sorted.reserve(list.size());
  for (const auto& k : keys) sorted.push_back(std::move(list[k.second]));
  list = std::move(sorted);
}

void HostsModel::HeaderClick(int side) {
  m_ascending[side] = !m_ascending[side];
  Sort(side);
}

int HostsModel::DeleteSelected(int side, std::vector<int> rows) {
  auto& list = m_lists[side];
  m_stagingWrite = Status::Ok();
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  rows.erase(std::remove_if(rows.begin(), rows.end(),
                            [&](int r) { return r < 0 || r >= static_cast<int>(list.size()); }),
             rows.end());
  if (rows.empty()) return 0;
  if (side == 0 && m_dialogs.Message("Cancello gli indirizzi selezioanti?", MsgType::Confirmation,
                                     MsgButtons::YesNo) == MsgAnswer::No)
    return 0;
  Progress("Cancellazione elementi...", true);
  int deleted = 0;
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    const std::string name = list[static_cast<std::size_t>(*it)].hostName;
    list.erase(list.begin() + *it);
    ++deleted;
    Progress(name + "\n\n" + std::to_string(deleted) + " elementi cancellati!", true);
    if (m_progress && m_progress->Aborted()) break;
  }
  if (m_progress) m_progress->Close();
  if (side == 0) {
    // The staging list is the program's own file: it is rewritten at once, keeping its other
    // lines when the list was read from it.
    const std::string staging = ResolveNoCase(m_paths.staging);
    m_stagingWrite = m_files[0] == staging ? ReplaceFile(staging, m_layout[0].Render(list))
                                           : SaveHostsList(staging, list);
  } else {
    m_modified = true;
  }
  return deleted;
}

void HostsModel::CopySelected(const std::vector<int>& rows) {
  std::vector<TIpaddr> picked;
  for (int r : rows) {
    if (r >= 0 && r < static_cast<int>(m_lists[0].size()))
      picked.push_back(m_lists[0][static_cast<std::size_t>(r)]);
  }
  Progress("Inserimento elementi...", false);
  for (const auto& e : picked) Progress(e.hostName, false);
  for (auto& e : picked) e.line = -1;
  // What the file would not take is not shown as copied either.
  const HostNameSet foreign = m_layout[1].ForeignNames();
  std::erase_if(picked, [&foreign](const TIpaddr& e) {
    return IsLocalOnlyAddress(e.address) || foreign.count(HostNameKey(e.hostName)) > 0;
  });
  MergeInto(m_lists[1], picked);
  if (m_progress) m_progress->Close();
  m_modified = true;
}

void HostsModel::CopyAll() {
  std::vector<int> all(m_lists[0].size());
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
  CopySelected(all);
}

Status HostsModel::SaveLeft(const std::string& path) {
  return SaveHostsList(path, m_lists[0]);
}

Status HostsModel::SaveSystem() {
  const std::string& path = m_paths.system;
  if (m_authority && !m_authority->CanWrite(path)) {
    // What changed against the file as read: the helper applies it to the file as it is now.
    HostsHelperRequest request;
    std::vector<bool> kept(m_layout[1].lines.size(), false);
    for (const TIpaddr& e : m_lists[1]) {
      if (e.line >= 0 && static_cast<std::size_t>(e.line) < kept.size())
        kept[static_cast<std::size_t>(e.line)] = true;
      const bool fresh = e.line < 0 || e.changed;
      if (fresh && IsWritable(e) && IsIPAddress(e.address) && IsValidHostName(e.hostName))
        request.upserts.push_back(e);
    }
    for (const TIpaddr& e : m_layout[1].entries) {
      if (!kept[static_cast<std::size_t>(e.line)]) request.removals.push_back(e);
    }
    if (Status s = m_authority->RunHelper(FormatHelperInput(request)); !s) return s;
    m_modified = false;
    const bool ascending = m_ascending[1];
    LoadList(1, m_files[1].empty() ? path : m_files[1]);
    if (!ascending) HeaderClick(1);
    return Status::Ok();
  }
  if (FileExists(path)) {
    // A copy, not a rename: the system file stays in place until the new one replaces it.
    auto current = ReadFileBytes(path);
    if (!current) return Status::Fail(current.error);
    if (Status s = ReplaceFile(m_paths.Backup(), *current); !s) return s;
  }
  if (Status s = ReplaceFile(path, m_layout[1].Render(m_lists[1])); !s) return s;
  m_modified = false;
  return Status::Ok();
}

bool HostsModel::CanClose() {
  if (!m_modified) return true;
  return m_dialogs.Message(
             "La lista dei servers di sistema non è stata salvata e le modifiche andranno "
             "perdute, esco lo stesso?",
             MsgType::Confirmation, MsgButtons::YesNo) != MsgAnswer::No;
}

}  // namespace orva

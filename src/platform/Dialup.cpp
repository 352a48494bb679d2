// The pppd dial-up service and its in-memory stand-in.
#include "platform/Dialup.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <fnmatch.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/Numbers.h"
#include "platform/SafeFile.h"

namespace orva {
namespace {

std::vector<std::string> ListDirectory(const std::string& dir, bool* ok = nullptr) {
  std::vector<std::string> names;
  DIR* d = ::opendir(dir.c_str());
  if (ok) *ok = d != nullptr;
  if (!d) return names;
  while (dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    names.push_back(name);
  }
  ::closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

// The first line of a small file, without its line end; none when unreadable.
std::optional<std::string> FirstLine(const std::string& path) {
  auto bytes = ReadFileBytes(path);
  if (!bytes) return std::nullopt;
  std::string text = *bytes;
  const auto end = text.find_first_of("\r\n");
  if (end != std::string::npos) text.resize(end);
  return text;
}

std::optional<long long> ReadNumberFile(const std::string& path) {
  auto line = FirstLine(path);
  if (!line) return std::nullopt;
  return ParseInteger64(*line);
}

}  // namespace

bool MatchesPattern(const std::string& name, const std::string& pattern) {
  return ::fnmatch(pattern.c_str(), name.c_str(), 0) == 0;
}

bool IsDialableEntryName(const std::string& name) {
  if (name.empty() || name.size() > 256 || name[0] == '-' || name[0] == '.') return false;
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7F || c == '/') return false;
  return true;
}

PppDialup::PppDialup(PppRoots roots, std::vector<std::string> patterns, AddressLookup addressOf)
    : m_roots(std::move(roots)),
      m_patterns(std::move(patterns)),
      m_addressOf(addressOf ? std::move(addressOf) : AddressLookup(&SystemAddressOf)) {
  if (m_patterns.empty()) m_patterns.push_back("ppp*");
}

std::string PppDialup::SystemAddressOf(const std::string& interfaceName) {
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return {};
  std::string result;
  for (ifaddrs* a = list; a; a = a->ifa_next) {
    if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET || !a->ifa_name) continue;
    if (interfaceName != a->ifa_name) continue;
    char text[INET_ADDRSTRLEN] = {};
    const auto* in = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
    if (::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text)) result = text;
    break;
  }
  ::freeifaddrs(list);
  return result;
}

std::vector<std::string> PppDialup::EnumEntries() {
  std::vector<std::string> entries;
  for (const auto& name : ListDirectory(m_roots.peers)) {
    if (!IsDialableEntryName(name) || name.back() == '~') continue;
    struct stat st {};
    if (::stat(JoinPath(m_roots.peers, name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
      entries.push_back(name);
  }
  return entries;
}

std::vector<std::string> PppDialup::Cmdline(int pid) const {
  std::vector<std::string> args;
  auto bytes = ReadFileBytes(m_roots.proc + "/" + std::to_string(pid) + "/cmdline");
  if (!bytes) return args;
  std::string current;
  for (char c : *bytes) {
    if (c == '\0') {
      args.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) args.push_back(current);
  return args;
}

bool PppDialup::IsPppd(int pid) const {
  auto comm = FirstLine(m_roots.proc + "/" + std::to_string(pid) + "/comm");
  return comm && *comm == "pppd";
}

// The peer a pppd runs for: its "call NAME" argument, else its "linkname NAME".
std::string PppDialup::PeerName(int pid) const {
  const auto args = Cmdline(pid);
  std::string linkname;
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == "call") return args[i + 1];
    if (args[i] == "linkname" && linkname.empty()) linkname = args[i + 1];
  }
  return linkname;
}

// pppd writes its pid into /run/<interface>.pid; it counts only while that pid is a pppd.
int PppDialup::PidOfInterface(const std::string& ifname) const {
  auto pid = ReadNumberFile(m_roots.run + "/" + ifname + ".pid");
  if (!pid || *pid <= 0 || *pid > 0x7FFFFFFF) return 0;
  return IsPppd(static_cast<int>(*pid)) ? static_cast<int>(*pid) : 0;
}

Result<std::vector<DialupConnection>> PppDialup::EnumConnections() {
  bool ok = false;
  const std::string netDir = m_roots.sys + "/class/net";
  const auto interfaces = ListDirectory(netDir, &ok);
  if (!ok) {
    return Result<std::vector<DialupConnection>>::Fail("Impossibile leggere " + netDir + ": " +
                                                       SystemErrorText(errno));
  }
  std::vector<Seen> seen;
  std::vector<int> owners;
  for (const auto& ifname : interfaces) {
    if (std::none_of(m_patterns.begin(), m_patterns.end(),
                     [&](const std::string& p) { return MatchesPattern(ifname, p); }))
      continue;
    const std::string dir = netDir + "/" + ifname;
    DialupConnection c;
    c.interfaceName = ifname;
    c.interfaceIndex = static_cast<int>(ReadNumberFile(dir + "/ifindex").value_or(-1));
    const int pid = PidOfInterface(ifname);
    if (pid > 0) owners.push_back(pid);
    c.handle =
        pid > 0 ? pid : -static_cast<std::int64_t>(c.interfaceIndex < 0 ? 0 : c.interfaceIndex) - 1;
    c.entryName = pid > 0 ? PeerName(pid) : std::string();
    if (c.entryName.empty()) c.entryName = ifname;
    c.deviceType = "modem";
    c.deviceName = ifname;
    if (pid > 0) {
      for (const auto& a : Cmdline(pid))
        if (a.rfind("/dev/", 0) == 0) c.deviceName = a;
    }
    // IFF_UP is bit 0 of the interface flags.
    auto flags = FirstLine(dir + "/flags");
    long long flagValue = 0;
    if (flags) {
      char* end = nullptr;
      flagValue = std::strtoll(flags->c_str(), &end, 16);
    }
    const bool up = (flagValue & 1) != 0;
    c.ipv4 = up ? m_addressOf(ifname) : std::string();
    c.linkId =
        "pppd:" + std::to_string(pid) + ":" + ifname + ":" + std::to_string(c.interfaceIndex);
    // pppd creates the interface when the line answers and brings it up only once IP is
    // negotiated: down is a link still being made (or, after a connection, one going, which
    // ends its call because it is no longer connected). Up without an address: IP being
    // negotiated; up with one: connected.
    seen.push_back({!up              ? kRasDeviceConnected
                    : c.ipv4.empty() ? kRasProjecting
                                     : kRasConnected,
                    c});
  }
  // A pppd that has no interface yet is still dialling.
  for (const auto& name : ListDirectory(m_roots.proc)) {
    auto pid = ParseInteger(name);
    if (!pid || *pid <= 0 || !IsPppd(*pid)) continue;
    if (std::find(owners.begin(), owners.end(), *pid) != owners.end()) continue;
    DialupConnection c;
    c.handle = *pid;
    c.linkId = "pppd:" + name;
    c.entryName = PeerName(*pid);
    if (c.entryName.empty()) c.entryName = "pppd " + name;
    c.deviceType = "modem";
    for (const auto& a : Cmdline(*pid))
      if (a.rfind("/dev/", 0) == 0) c.deviceName = a;
    seen.push_back({kRasConnectingDevice, c});
  }
  m_last = seen;
  std::vector<DialupConnection> result;
  for (const auto& s : seen) result.push_back(s.connection);
  return Result<std::vector<DialupConnection>>::Ok(std::move(result));
}

DialupStatus PppDialup::GetConnectStatus(std::int64_t handle) {
  for (const auto& s : m_last) {
    if (s.connection.handle == handle)
      return {s.state, 0, s.connection.deviceType, s.connection.deviceName};
  }
  return {};
}

std::string PppDialup::ErrorText(int code) {
  std::string text = "Errore " + std::to_string(code) + ": " + SystemErrorText(code);
  if (text.size() > 100) text.resize(100);
  return text;
}

Status PppDialup::HangUp(std::int64_t handle) {
  if (handle <= 0 || handle > 0x7FFFFFFF || !IsPppd(static_cast<int>(handle)))
    return Status::Fail("Nessun pppd gestisce questa connessione");
  if (::kill(static_cast<pid_t>(handle), SIGTERM) != 0) return Status::Fail(SystemErrorText(errno));
  return Status::Ok();
}

std::vector<std::string> PppDialup::DialCommand(const std::string& entry) {
  if (!IsDialableEntryName(entry)) return {};
  return {"pon", entry};
}

// The value of the last "user" option of a pppd options file: words are separated by blanks,
// "#" starts a comment, double or single quotes group a word, "\\" escapes the next character.
std::string PppUserOption(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  char quote = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quote) {
      if (c == quote) {
        quote = 0;
      } else if (c == '\\' && i + 1 < text.size()) {
        word += text[++i];
      } else {
        word += c;
      }
      continue;
    }
    if (c == '#' && !inWord) {
      while (i < text.size() && text[i] != '\n') ++i;
      continue;
    }
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
      continue;
    }
    inWord = true;
    if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '\\' && i + 1 < text.size()) {
      word += text[++i];
    } else {
      word += c;
    }
  }
  if (inWord) words.push_back(word);
  std::string user;
  for (std::size_t i = 0; i + 1 < words.size(); ++i)
    if (words[i] == "user") user = words[++i];
  // Shown in a one-line field: control characters go.
  user.erase(std::remove_if(user.begin(), user.end(),
                            [](unsigned char c) { return c < 0x20 || c == 0x7F; }),
             user.end());
  return user;
}

std::string PppDialup::EntryUser(const std::string& entry) {
  if (!IsDialableEntryName(entry)) return {};
  const std::string path = JoinPath(m_roots.peers, entry);
  struct stat st {};
  // A peer file is a few lines; anything large is not one.
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > 65536) return {};
  auto bytes = ReadFileBytes(path);
  return bytes ? PppUserOption(*bytes) : std::string();
}

std::vector<std::string> PppDialup::EditCommand(const std::string& entry) {
  if (!IsDialableEntryName(entry)) return {};
  return {"xdg-open", JoinPath(m_roots.peers, entry)};
}

Status Dialup::Dial(const std::string& entry, Launcher& launcher) {
  const auto command = DialCommand(entry);
  if (command.empty()) return Status::Fail("Voce di accesso remoto non valida: " + entry);
  return launcher.Launch({command, "", ShowWindow::swShowNormal});
}

}  // namespace orva

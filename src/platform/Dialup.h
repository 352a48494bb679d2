// The dial-up networking service: the entries that can be dialled, the connections that are
// up or coming up, their state, hang-up and dialling.
// NetworkManager's dial-up profiles are one Linux service (platform/qt/NmDialup); pppd is the
// other: entries are the files of /etc/ppp/peers, a connection is a
// network interface matching the configured patterns (default "ppp*"), named by the pppd peer
// that owns it. SimulatedDialup (simulation/Simulated.h) stands in for it in simulations and tests.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Process.h"
#include "platform/Result.h"

namespace orva {

// Connection states as the watcher knows them (the dial-up service's numbering).
inline constexpr int kRasConnectingDevice = 2;
inline constexpr int kRasDeviceConnected = 3;
inline constexpr int kRasProjecting = 10;
inline constexpr int kRasConnected = 8192;
inline constexpr int kRasDisconnected = 8193;

struct DialupConnection {
  std::int64_t handle = 0;  // identifies the connection for status and hang-up
  std::string entryName;    // the peer name, or the interface when no pppd owns it
  std::string deviceType;
  std::string deviceName;
  std::string interfaceName;  // empty while pppd has no interface yet
  int interfaceIndex = -1;
  std::string ipv4;  // the local IPv4 address, empty when none
  // The link itself: a line that drops and is dialled again is another link, so another
  // identity (pppd: its pid, interface and interface index). Empty: the handle, interface and
  // index stand for it.
  std::string linkId;
  // What the link was dialled from, kept when the service restarts and hands out new objects
  // for the same link (NetworkManager: the profile's UUID); empty when the service has none.
  std::string profileId;
};

struct DialupStatus {
  int state = kRasDisconnected;
  int error = 0;
  std::string deviceType;
  std::string deviceName;
};

class Dialup {
 public:
  virtual ~Dialup() = default;
  // The dial-up entries, sorted. Empty when there are none or they cannot be read.
  virtual std::vector<std::string> EnumEntries() = 0;
  // The connections in a stable order; a failure when the service cannot be asked.
  virtual Result<std::vector<DialupConnection>> EnumConnections() = 0;
  virtual DialupStatus GetConnectStatus(std::int64_t handle) = 0;
  // The service's text for an error code, at most 100 characters.
  virtual std::string ErrorText(int code) = 0;
  virtual Status HangUp(std::int64_t handle) = 0;
  // The argument vector that dials an entry; empty when the name cannot be dialled.
  virtual std::vector<std::string> DialCommand(const std::string& entry) = 0;
  // Dials an entry. A service dialled by a program (pppd's "pon") hands its dial command to
  // the launcher, which starts it without waiting; a service that dials by itself overrides
  // this. The connection is then seen by the enumeration.
  virtual Status Dial(const std::string& entry, Launcher& launcher);
  // The user name stored with an entry, empty when none. Passwords are never read.
  virtual std::string EntryUser(const std::string&) { return {}; }
  // The argument vector that opens an entry's settings; empty when there is no editor.
  virtual std::vector<std::string> EditCommand(const std::string&) { return {}; }

  // Where the user configures the entries, for the message shown when there are none.
  virtual std::string ConfigurationHint() const {
    return "Le connessioni si configurano in /etc/ppp/peers.";
  }

  // Called when the entries changed after the start (a service that learns them while the
  // program runs); the dial menus are then built again.
  std::function<void()> onEntriesChanged;
  // A request the service refused later (a service that answers asynchronously), with its text.
  std::function<void(const std::string& text)> onError;
};

// Where the Linux service looks; tests point these at fake trees.
struct PppRoots {
  std::string sys = "/sys";
  std::string run = "/run";
  std::string peers = "/etc/ppp/peers";
  std::string proc = "/proc";
};

class PppDialup final : public Dialup {
 public:
  using AddressLookup = std::function<std::string(const std::string& interfaceName)>;
  // patterns: shell-style interface name patterns ("ppp*"). addressOf gives an interface's
  // IPv4 address (empty when none); by default the system's interface addresses.
  explicit PppDialup(PppRoots roots = {}, std::vector<std::string> patterns = {"ppp*"},
                     AddressLookup addressOf = {});

  std::vector<std::string> EnumEntries() override;
  Result<std::vector<DialupConnection>> EnumConnections() override;
  DialupStatus GetConnectStatus(std::int64_t handle) override;
  std::string ErrorText(int code) override;
  Status HangUp(std::int64_t handle) override;
  std::vector<std::string> DialCommand(const std::string& entry) override;
  // The "user" option of the peer file.
  std::string EntryUser(const std::string& entry) override;
  // The peer file opened by the desktop's handler for text files (xdg-open).
  std::vector<std::string> EditCommand(const std::string& entry) override;

  // The system's IPv4 address of an interface (getifaddrs); empty when none.
  static std::string SystemAddressOf(const std::string& interfaceName);

 private:
  struct Seen {
    int state;
    DialupConnection connection;
  };
  bool IsPppd(int pid) const;
  std::vector<std::string> Cmdline(int pid) const;
  std::string PeerName(int pid) const;
  int PidOfInterface(const std::string& ifname) const;

  PppRoots m_roots;
  std::vector<std::string> m_patterns;
  AddressLookup m_addressOf;
  std::vector<Seen> m_last;  // what the last enumeration saw, for the status query
};

// A dial-up service held in memory: tests and the console's simulated connection.

// A dial-up entry name that may be handed to a dialler: not empty, no "/", not starting with
// "-" or ".", no control characters.
bool IsDialableEntryName(const std::string& name);

// The value of the last "user" option in the text of a pppd options file; empty when none.
std::string PppUserOption(const std::string& text);

// Shell-style match of "*", "?" and "[...]" (fnmatch without flags).
bool MatchesPattern(const std::string& name, const std::string& pattern);

}  // namespace orva

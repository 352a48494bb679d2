// The main window's network time check: the server list "Time Servers.txt", the walk through
// it, and what the label SyncroL and the button ClockBtn show. The window only copies
// SyncroL(), SyncroLHint() and ClockBtnEnabled() to its widgets when OnChanged fires.
#pragma once

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "net/Sntp.h"
#include "platform/Clock.h"

namespace orva {

// The local zone at an instant: minutes east of UTC and the zone's name.
struct ZoneInfo {
  int offsetMinutes = 0;
  std::string name;
};
using ZoneProvider = std::function<ZoneInfo(std::time_t utc)>;
// The C library's zone data (TZ, /etc/localtime).
ZoneInfo LocalZoneAt(std::time_t utc);

// A clock difference (days, its sign dropped) as "hh.mm.ss", with the whole days in front
// when there are any: "3g 01.02.03".
std::string FormatClockDifference(double days);

// The entries of a server list: each line cut before its first "#" and trimmed; blank
// entries stay.
std::vector<std::string> ParseTimeServers(const std::vector<std::string>& lines);

// Copies the shipped "Time Servers.txt" into the data directory when it holds none, so a new
// installation has servers to ask; an existing list, the user's, is never touched.
void SeedTimeServers(const std::string& dataDir);

class TNetworkTimeCheck {
 public:
  static constexpr const char* kClockBtnHint = "Preleva l'ora dalla rete";

  TNetworkTimeCheck(TSNTPClient& client, const Clock& clock, ZoneProvider zone = LocalZoneAt);

  // At start-up: the list from the program folder (or the given file).
  void LoadTimeServers(const std::string& path);
  void SetServers(std::vector<std::string> servers);
  const std::vector<std::string>& Servers() const { return m_servers; }
  int ServerIndex() const { return m_index; }

  // A call started (index back to -1, nothing kept) or ended.
  void CallStarted();
  void CallEnded();
  // Checks run only while the call has a local IP address and "Get network time" is on.
  void SetCallHasAddress(bool on) { m_callHasAddress = on; }
  void SetGetNetworkTime(bool on) { m_getNetworkTime = on; }

  void CheckNetworkTime();
  void ClockBtnClick();

  // The client's events.
  void SNTPClient1DataAvailable(int error);
  void SNTPClient1Timeout();
  void SNTPClient1WinsockError(const std::string& errorText);
  void SNTPClient1ResolveError();
  void SNTPClient1ReceiveError();

  const std::string& SyncroL() const { return m_syncroL; }
  const std::string& SyncroLHint() const { return m_syncroLHint; }
  bool ClockBtnEnabled() const { return m_clockBtnEnabled; }
  // Local clock minus network time (days) and the network date, kept for the call.
  std::optional<double> Difference() const { return m_difference; }
  TDateTime NetworkDate() const { return m_networkDate; }

  std::function<void()> OnChanged;

 private:
  void Show(std::string text);
  void Failed(std::string text);

  TSNTPClient& m_client;
  const Clock& m_clock;
  ZoneProvider m_zone;
  std::vector<std::string> m_servers;
  int m_index = -1;
  int m_failuresInRow = 0;
  bool m_callHasAddress = false;
  bool m_getNetworkTime = false;
  std::string m_syncroL, m_syncroLHint;
  bool m_clockBtnEnabled = true;
  std::optional<double> m_difference;
  TDateTime m_networkDate = 0;
};

}  // namespace orva

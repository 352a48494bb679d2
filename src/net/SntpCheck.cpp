// The network time check as the main window runs it.
#include "net/SntpCheck.h"

#include <time.h>

#include <cmath>

#include "platform/DataDir.h"
#include "platform/DataFiles.h"
#include "platform/TextFile.h"
#include "platform/Trim.h"

namespace orva {

namespace {}  // namespace

std::string FormatClockDifference(double days) {
  const long long seconds = std::llround(std::fabs(days) * kSecondsPerDay);
  const long long whole = seconds / 86400;
  const std::string time =
      FormatDateTime("hh:mm:ss", static_cast<double>(seconds % 86400) / kSecondsPerDay);
  return whole > 0 ? std::to_string(whole) + "g " + time : time;
}

ZoneInfo LocalZoneAt(std::time_t utc) {
  std::tm tm{};
  ZoneInfo z;
  if (!localtime_r(&utc, &tm)) return z;
  z.offsetMinutes = static_cast<int>(tm.tm_gmtoff / 60);
  if (tm.tm_zone) z.name = tm.tm_zone;
  return z;
}

std::vector<std::string> ParseTimeServers(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  out.reserve(lines.size());
  for (const auto& line : lines)
    out.emplace_back(TrimBlanks(std::string_view(line).substr(0, line.find('#'))));
  return out;
}

void SeedTimeServers(const std::string& dataDir) {
  const std::string target = DataPath(dataDir).File(kTimeServersFileName);
  if (FileExists(ResolveNoCase(target))) return;
  const std::string from = FindShippedData(std::string(kTimeServersFileName),
                                           [](const std::string& p) { return FileExists(p); });
  // Without the copy the check reads no server list and says so when it runs.
  if (auto bytes = ReadFileBytes(from); !from.empty() && bytes)
    static_cast<void>(ReplaceFile(target, *bytes));
}

TNetworkTimeCheck::TNetworkTimeCheck(TSNTPClient& client, const Clock& clock, ZoneProvider zone)
    : m_client(client), m_clock(clock), m_zone(std::move(zone)) {
  m_client.OnDataAvailable = [this](int error) { SNTPClient1DataAvailable(error); };
  m_client.OnTimeout = [this] { SNTPClient1Timeout(); };
  m_client.OnWinsockError = [this](const std::string& t) { SNTPClient1WinsockError(t); };
  m_client.OnResolveError = [this] { SNTPClient1ResolveError(); };
  m_client.OnReceiveError = [this] { SNTPClient1ReceiveError(); };
}

void TNetworkTimeCheck::Show(std::string text) {
  m_syncroL = std::move(text);
  if (OnChanged) OnChanged();
}

void TNetworkTimeCheck::LoadTimeServers(const std::string& path) {
  m_index = -1;
  auto lines = ReadTextLines(ResolveNoCase(path));
  if (!lines) {
    m_servers.clear();
    return Show("File Time Servers.txt non trovato!");
  }
  m_servers = ParseTimeServers(*lines);
}

void TNetworkTimeCheck::SetServers(std::vector<std::string> servers) {
  m_servers = std::move(servers);
  m_index = -1;
}

void TNetworkTimeCheck::CallStarted() {
  m_index = -1;
  m_failuresInRow = 0;
  m_difference.reset();
  m_networkDate = 0;
}

void TNetworkTimeCheck::CallEnded() {
  m_callHasAddress = false;
}

void TNetworkTimeCheck::CheckNetworkTime() {
  if (!m_callHasAddress || !m_getNetworkTime) return;
  if (m_servers.empty()) return Show("Il file Time Servers.txt non contiene nessun server!");
  m_clockBtnEnabled = false;
  m_index = m_index + 1 >= static_cast<int>(m_servers.size()) ? 0 : m_index + 1;
  const std::string& server = m_servers[static_cast<std::size_t>(m_index)];
  Show("Controllo data/ora da " + server);
  m_client.HostAddr = server;
  m_client.SetTimeout(1500);
  m_client.RequestTime();
}

void TNetworkTimeCheck::ClockBtnClick() {
  m_failuresInRow = 0;
  CheckNetworkTime();
}

void TNetworkTimeCheck::SNTPClient1DataAvailable(int error) {
  if (error != 0) return Failed(m_syncroL);
  m_failuresInRow = 0;
  const TDateTime now = m_clock.Now();
  TDateTime network = m_client.Answer().transmitTime;
  // The zone rules of this moment turn the UTC answer into local time, to the minute (zones
  // with half-hour offsets exist).
  const ZoneInfo zone = m_zone(ToTimeT(now));
  network += zone.offsetMinutes / (24.0 * 60.0);
  m_syncroLHint = zone.name;
  const std::string date = FormatDateTime("ddd dd-mm-yy", network) + " - ";
  if (now > network)
    m_syncroL = date + "Diff. ora locale/GMT +" + FormatClockDifference(now - network);
  else
    m_syncroL = date + "Diff. ora locale/GMT -" + FormatClockDifference(network - now);
  m_difference = now - network;
  m_networkDate = DatePart(network);
  m_clockBtnEnabled = true;
  if (OnChanged) OnChanged();
}

// Each failure moves on to the next server, until every entry of the list has failed once in
// a row: then the check rests until the button or the next call asks again, instead of
// spinning through a list of dead or blank entries for the whole call.
void TNetworkTimeCheck::Failed(std::string text) {
  Show(std::move(text));
  ++m_failuresInRow;
  if (m_failuresInRow >= static_cast<int>(m_servers.size())) {
    m_clockBtnEnabled = true;
    if (OnChanged) OnChanged();
    return;
  }
  CheckNetworkTime();
}

void TNetworkTimeCheck::SNTPClient1Timeout() {
  Failed("SNTP - timeout");
}

void TNetworkTimeCheck::SNTPClient1WinsockError(const std::string& errorText) {
  Failed("SNTP - Winsock Error " + errorText);
}

// Says which entry of the list failed and, when the resolver gave one, why.
void TNetworkTimeCheck::SNTPClient1ResolveError() {
  const std::string& name = m_client.ResolvedName();
  if (name.empty()) return Failed("SNTP - riga senza nome del server");
  const std::string& why = m_client.ResolveProblem();
  Failed("SNTP - nome del server non risolto: " + name + (why.empty() ? "" : " (" + why + ")"));
}

void TNetworkTimeCheck::SNTPClient1ReceiveError() {
  Failed("SNTP - invalid reply (" + m_client.ReplyProblem() + ")");
}

}  // namespace orva

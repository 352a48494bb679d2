// Adapter statistics over sysfs.
#include "platform/SysMon.h"

#include <dirent.h>

#include <algorithm>
#include <cmath>

#include "platform/Numbers.h"
#include "platform/SafeFile.h"

namespace orva {
namespace {

constexpr std::string_view kRateSuffix = "/Sec";

// The sysfs file of a counter name, relative to the interface folder.
std::string CounterFile(const std::string& counter) {
  if (counter == kBytesReceivedCounter) return "statistics/rx_bytes";
  if (counter == kBytesSentCounter) return "statistics/tx_bytes";
  if (counter == kConnectSpeedCounter) return "speed";
  return "statistics/" + counter;
}

bool SafeName(const std::string& name) {
  return !name.empty() && name.find('/') == std::string::npos && name != "." && name != "..";
}

}  // namespace

bool SysfsStatistics::Available() const {
  return DirectoryExists(m_root + "/class/net");
}

std::vector<std::string> SysfsStatistics::Interfaces() const {
  std::vector<std::string> names;
  DIR* d = ::opendir((m_root + "/class/net").c_str());
  if (!d) return names;
  while (dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<std::int64_t> SysfsStatistics::ReadCounter(const std::string& interfaceName,
                                                         const std::string& counter) const {
  if (!SafeName(interfaceName) || counter.empty() || counter.find("..") != std::string::npos)
    return std::nullopt;
  const auto bytes =
      ReadFileBytes(m_root + "/class/net/" + interfaceName + "/" + CounterFile(counter));
  if (!bytes) return std::nullopt;
  std::string text = *bytes;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  auto value = ParseInteger64(text);
  if (!value || *value < 0) return std::nullopt;
  // The link speed is given in Mbit/s; the counter is in bit/s.
  if (counter == kConnectSpeedCounter) {
    if (*value > 100000000) return std::nullopt;
    return *value * 1000000;
  }
  return value;
}

TSysMon::~TSysMon() {
  for (auto& m : Monitors)
    if (m.started) Stop(m);
}

std::vector<std::string> TSysMon::ListObjects() const {
  std::vector<std::string> names;
  if (!m_source.Available()) return names;
  names.push_back(kDialupAdapterObject);
  for (auto& i : m_source.Interfaces()) names.push_back(i);
  return names;
}

TMonObject& TSysMon::AddMonitor() {
  return Monitors.emplace_back();
}

std::string TSysMon::InterfaceOf(const std::string& object) const {
  if (object == kDialupAdapterObject || object == kDialupAdapterObjectIt) return m_dialupInterface;
  return object;
}

void TSysMon::Start(TMonObject& monitor) {
  if (monitor.SysObject.empty() || monitor.Counter.empty()) return;
  monitor.started = true;
  const std::string& c = monitor.Counter;
  monitor.differentiate =
      c.size() > kRateSuffix.size() &&
      c.compare(c.size() - kRateSuffix.size(), kRateSuffix.size(), kRateSuffix) == 0;
}

std::int64_t TSysMon::Read(TMonObject& monitor) {
  if (monitor.SysObject.empty() || monitor.Counter.empty()) return -1;
  if (!monitor.started) Start(monitor);
  std::string counter = monitor.Counter;
  if (monitor.differentiate) counter.resize(counter.size() - kRateSuffix.size());
  const auto value = m_source.ReadCounter(InterfaceOf(monitor.SysObject), counter);
  if (!value) return -1;
  const std::uint64_t now = m_clock.TickCount();
  std::int64_t result = *value;
  if (monitor.differentiate) {
    const std::uint64_t ms = now - monitor.lastTick;
    result = ms == 0 ? 0
                     : static_cast<std::int64_t>(
                           std::llround(static_cast<double>(*value - monitor.lastValue) * 1000.0 /
                                        static_cast<double>(ms)));
  }
  monitor.lastValue = *value;
  monitor.lastTick = now;
  return result;
}

void TSysMon::Stop(TMonObject& monitor) {
  monitor.started = false;
}

}  // namespace orva

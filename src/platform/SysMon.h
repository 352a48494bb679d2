// Adapter statistics: counters of the dial-up link (bytes received, bytes sent, connect speed)
// read through a small monitor, TSysMon, holding TMonObject counters. On Linux the counters
// come from /sys/class/net/<interface>/statistics; the object "Dial-Up Adapter" stands for the
// interface of the current dial-up connection, any other object name for that interface.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/Clock.h"

namespace orva {

inline constexpr const char* kDialupAdapterObject = "Dial-Up Adapter";
inline constexpr const char* kDialupAdapterObjectIt = "Dispositivo di accesso remoto";
inline constexpr const char* kBytesReceivedCounter = "TotalBytesRecvd";
inline constexpr const char* kBytesSentCounter = "TotalBytesXmit";
inline constexpr const char* kConnectSpeedCounter = "ConnectSpeed";

// Where counter values come from.
class StatisticsSource {
 public:
  virtual ~StatisticsSource() = default;
  // False when the statistics cannot be read at all.
  virtual bool Available() const = 0;
  virtual std::vector<std::string> Interfaces() const = 0;
  // A counter of an interface; none when the interface or the counter is missing.
  virtual std::optional<std::int64_t> ReadCounter(const std::string& interfaceName,
                                                  const std::string& counter) const = 0;
};

// sysfs: <root>/class/net/<if>/statistics/rx_bytes, tx_bytes, and <if>/speed (Mbit/s).
class SysfsStatistics final : public StatisticsSource {
 public:
  explicit SysfsStatistics(std::string sysRoot = "/sys") : m_root(std::move(sysRoot)) {}
  bool Available() const override;
  std::vector<std::string> Interfaces() const override;
  std::optional<std::int64_t> ReadCounter(const std::string& interfaceName,
                                          const std::string& counter) const override;

 private:
  std::string m_root;
};

struct TMonObject {
  std::string SysObject;
  std::string Counter;
  bool differentiate = false;
  std::uint64_t lastTick = 0;
  std::int64_t lastValue = 0;
  bool started = false;
};

class TSysMon {
 public:
  TSysMon(const StatisticsSource& source, const Clock& clock) : m_source(source), m_clock(clock) {}
  ~TSysMon();
  TSysMon(const TSysMon&) = delete;
  TSysMon& operator=(const TSysMon&) = delete;

  // The objects that can be read: the dial-up adapter and every interface.
  std::vector<std::string> ListObjects() const;
  // A new counter in Monitors (the reference stays valid for the monitor's life).
  TMonObject& AddMonitor();
  void Start(TMonObject& monitor);
  // The counter's value: -1 when a name is empty or the value cannot be read. A rate counter
  // (name ending in "/Sec") gives units per second since the last reading.
  std::int64_t Read(TMonObject& monitor);
  void Stop(TMonObject& monitor);

  // The interface the object "Dial-Up Adapter" stands for (empty: none).
  void SetDialupInterface(const std::string& interfaceName) { m_dialupInterface = interfaceName; }
  const std::string& DialupInterface() const { return m_dialupInterface; }

  std::deque<TMonObject> Monitors;

 private:
  std::string InterfaceOf(const std::string& object) const;
  const StatisticsSource& m_source;
  const Clock& m_clock;
  std::string m_dialupInterface;
};

}  // namespace orva

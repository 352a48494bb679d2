// The simulated machine: dial-up links, telephone calls and byte counters held in memory, and
// a launcher that records what it was asked to start instead of starting it. orva32cli
// simulate-call, the desktop program's simulated link, the tests and the benchmarks run the
// meter on them.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Dialup.h"
#include "platform/Process.h"
#include "platform/SysMon.h"
#include "platform/Telephony.h"

namespace orva {

class SimulatedDialup final : public Dialup {
 public:
  struct Link {
    DialupConnection connection;
    int state = kRasConnected;
    int error = 0;
  };

  // Adds a connection (handle given by the order of addition) and returns its handle.
  std::int64_t Add(const std::string& entry, int state = kRasConnected,
                   const std::string& interfaceName = "ppp0");
  void SetState(std::int64_t handle, int state, int error = 0);
  void Remove(std::int64_t handle);
  void RemoveAll() { m_links.clear(); }
  Link* Find(std::int64_t handle);
  // The next enumerations fail while set.
  void SetEnumerationFails(bool fails) { m_fail = fails; }
  // Hang-up fails while set.
  void SetHangUpFails(bool fails) { m_hangUpFails = fails; }
  // Hang-up removes the link unless this is cleared (a link that goes down later).
  void SetHangUpRemoves(bool removes) { m_hangUpRemoves = removes; }

  std::vector<std::string> EnumEntries() override { return entries; }
  Result<std::vector<DialupConnection>> EnumConnections() override;
  DialupStatus GetConnectStatus(std::int64_t handle) override;
  std::string ErrorText(int code) override;
  Status HangUp(std::int64_t handle) override;
  std::vector<std::string> DialCommand(const std::string& entry) override;

  std::vector<std::string> entries;
  std::vector<std::int64_t> hungUp;  // handles hang-up was asked for

 private:
  std::vector<Link> m_links;
  std::int64_t m_next = 1;
  bool m_fail = false;
  bool m_hangUpFails = false;
  bool m_hangUpRemoves = true;
};

class SimulatedTelephony final : public Telephony {
 public:
  TelephonyOpen Open(Callback callback) override {
    m_callback = std::move(callback);
    return openResult;
  }
  std::optional<TelephonyCallInfo> GetCallInfo(std::int64_t call) override {
    const auto it = calls.find(call);
    if (it == calls.end()) return std::nullopt;
    return it->second;
  }
  Status Drop(std::int64_t call) override {
    dropped.push_back(call);
    return Status::Ok();
  }
  void Deallocate(std::int64_t call) override { deallocated.push_back(call); }
  void Close() override { closed = true; }

  // Delivers a call-state event as the line would.
  void Event(std::int64_t call, int state, int detail = 0) {
    if (m_callback) m_callback(call, kLineCallState, state, detail);
  }

  TelephonyOpen openResult = TelephonyOpen::Ok;
  std::map<std::int64_t, TelephonyCallInfo> calls;
  std::vector<std::int64_t> dropped, deallocated;
  bool closed = false;

 private:
  Callback m_callback;
};

// Counters held in memory, for tests and the simulated connection.
class SimulatedStatistics final : public StatisticsSource {
 public:
  bool Available() const override { return available; }
  std::vector<std::string> Interfaces() const override;
  std::optional<std::int64_t> ReadCounter(const std::string& interfaceName,
                                          const std::string& counter) const override;
  void Set(const std::string& interfaceName, const std::string& counter, std::int64_t value) {
    values[{interfaceName, counter}] = value;
  }
  void RemoveInterface(const std::string& interfaceName);

  bool available = true;
  std::map<std::pair<std::string, std::string>, std::int64_t> values;
};

class RecordingLauncher final : public Launcher {
 public:
  Status Launch(const LaunchRequest& request) override {
    launched.push_back(request);
    return fails ? Status::Fail("non avviato") : Status::Ok();
  }
  std::vector<LaunchRequest> launched;
  bool fails = false;
};

}  // namespace orva

// The dial-up watcher: the 250 ms poll of the connections, the telephony call states, the
// adapter byte counters, the programs launched at a connection, dialling and hanging up. It
// is the line of the metered call: it starts and ends the call as the links and calls come
// and go, and keeps what is known of the call.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/CallInfo.h"
#include "core/MeterDeps.h"
#include "core/MeteredCall.h"
#include "core/MeteredLine.h"
#include "platform/SysMon.h"

namespace orva {

// The dial-up state texts of the label "Accesso remoto :"; empty for an unknown state.
std::string RasStateText(int state);

// How long a call's link waits for a dial-up service that left the bus (a restart) to come
// back with it, in milliseconds.
inline constexpr std::uint64_t kServiceRestartGraceMs = 30000;
// Text from a service shown and logged: control characters (a TAB splits a log line) become
// blanks, and it is cut to `maxChars` characters (UTF-8 sequences kept whole).
std::string SafeServiceText(const std::string& text, std::size_t maxChars);
inline constexpr std::size_t kMaxEntryNameChars = 256;
inline constexpr std::size_t kMaxPartyChars = 64;

class DialupWatcher : public MeteredLine {
 public:
  // `d` and `call` outlive the watcher; the watcher becomes the call's line.
  DialupWatcher(const MeterDeps& d, MeteredCall& call);
  ~DialupWatcher() override;
  DialupWatcher(const DialupWatcher&) = delete;
  DialupWatcher& operator=(const DialupWatcher&) = delete;

  // Opens telephony (its failures shown) and lists the dial-up entries.
  void OpenLines();
  // Forgets the last call, opens the adapter's counters and starts the poll.
  void StartPolling();
  // Stops the poll and releases telephony (the program closes).
  void Stop();
  bool Polling() const;

  void TimerRASTimer();
  // A telephony line event.
  void LineCallback(std::int64_t call, int event, int state, int detail);
  // Dials an entry through the launcher (the per-entry dial items).
  void DialEntry(const std::string& entry);
  void LaunchConnectionPrograms(const std::string& entry);
  // Hangs up the current dial-up link, or drops the current telephony call.
  void HangUp();
  // The call is one the user starts and stops by hand.
  void TakeManualCall();
  void MarkDisconnected();
  // The kind a call is taken for when telephony reports no known media mode.
  void AssumeKind(int kind) { m_info.kind = kind; }

  // The metered call's line.
  const CallInfo& Info() const override { return m_info; }
  void CallStarting() override;
  bool HangUpLink() override;
  bool HoldPolling() override;
  void ResumePolling() override;
  void CallClosed() override;

 private:
  void ReadAdapterCounters();
  void TakeBaselines();
  void ShowStatus();
  void EndTelephonyCall(bool releaseHandle, bool keepStatus);
  void OpenAdapterStatistics();
  // The poll's steps: the link's speed once per call, one connection, the link up (the call
  // starts) and the link gone (the call ends).
  void TakeSpeed();
  void WatchConnection(const DialupConnection& c);
  void LinkConnected(const DialupConnection& c);
  void LinkDisconnected();
  // The telephony events' steps: a call answered (metered from now), and the window brought
  // up for a call as the settings ask.
  void CallConnected(std::int64_t call);
  void BringUpForCall();
  void BindAdapter(const DialupConnection& c);
  // The link of a call started by the poll: whether it still carries the call (the same
  // link, connected). After the service was away, the link it hands back for the same
  // profile is the same link. False ends the call.
  bool CallLinkHolds(const std::vector<DialupConnection>& connections);
  // While the service cannot be asked during a link's call: whether the call may still wait
  // for it to come back.
  bool ServiceAwayWithinGrace();

  const MeterDeps& m_d;
  MeteredCall& m_call;
  std::unique_ptr<Timer> m_timerRAS, m_hangupDelay;
  std::unique_ptr<TSysMon> m_sysMon;
  TMonObject* m_recvCounter = nullptr;
  TMonObject* m_sentCounter = nullptr;
  TMonObject* m_speedCounter = nullptr;
  // Byte baselines per interface (name and index), 64-bit.
  struct Baseline {
    std::string interfaceName;
    int interfaceIndex = -1;
    std::int64_t received = 0, sent = 0;
  } m_baseline;
  std::string m_adapterInterface;
  int m_adapterIndex = -1;

  // The link the current call runs on, when the poll started it.
  struct CallLink {
    std::string key;
    std::string profile;
  };
  std::optional<CallLink> m_callLink;
  // When the service was first found away during a link's call (system tick, ms).
  std::optional<std::uint64_t> m_serviceAwaySince;

  CallInfo m_info;
  std::int64_t m_dialupHandle = 0;
  std::int64_t m_voiceCall = 0;
  bool m_firstSinceIdle = true;
  bool m_launchAllowed = true;
  bool m_telephonyOpen = false;
};

}  // namespace orva

// Telephony: the modem line's call-state events, the information of a call and the voice call
// request. ModemManager's voice calls are the Linux service (platform/qt/MmTelephony); without
// it there is none (NoTelephony). SimulatedTelephony (simulation/Simulated.h) drives the events in
// simulations and tests.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Result.h"

namespace orva {

// Call states of the line events.
inline constexpr int kCallIdle = 1;
inline constexpr int kCallOffering = 2;
inline constexpr int kCallDialing = 16;
inline constexpr int kCallRingback = 32;
inline constexpr int kCallBusy = 64;
inline constexpr int kCallConnected = 256;
inline constexpr int kCallProceeding = 512;
inline constexpr int kCallDisconnected = 16384;
// The only line event acted on.
inline constexpr int kLineCallState = 2;
// Media modes of a call.
inline constexpr int kMediaInteractiveVoice = 4;
inline constexpr int kMediaDataModem = 16;
inline constexpr int kMediaG3Fax = 32;
inline constexpr int kMediaG4Fax = 128;

struct TelephonyCallInfo {
  long rate = 0;
  std::string displayableAddress;  // the other party
  std::string calledParty;
  int mediaMode = 0;
};

enum class TelephonyOpen { Ok, Unavailable, IncompatibleVersion, NoDevices };

class Telephony {
 public:
  // call handle, event, state, detail.
  using Callback = std::function<void(std::int64_t call, int event, int state, int detail)>;
  virtual ~Telephony() = default;
  // Opens the lines able to carry data and voice; events then reach the callback on the
  // user-interface thread.
  virtual TelephonyOpen Open(Callback callback) = 0;
  virtual std::optional<TelephonyCallInfo> GetCallInfo(std::int64_t call) = 0;
  // Hangs up and releases a call.
  virtual Status Drop(std::int64_t call) = 0;
  virtual void Deallocate(std::int64_t call) = 0;
  virtual void Close() = 0;
  // Places a voice call to a number; calledParty names the other party (the phone book's
  // name). The call's progress then arrives as call-state events. A failure text when the
  // request cannot be made.
  virtual Status MakeCall(const std::string& number, const std::string& calledParty) {
    (void)number;
    (void)calledParty;
    return Status::Fail("Nessun servizio di telefonia disponibile: impossibile comporre il numero");
  }
  // False when there is no telephony service at all (NoTelephony): the phone book then does
  // not dial through it.
  virtual bool HasService() const { return true; }

  // A request the service refused later (a service that answers asynchronously), with its text.
  std::function<void(const std::string& text)> onError;
};

class NoTelephony final : public Telephony {
 public:
  TelephonyOpen Open(Callback) override { return TelephonyOpen::Unavailable; }
  std::optional<TelephonyCallInfo> GetCallInfo(std::int64_t) override { return std::nullopt; }
  Status Drop(std::int64_t) override { return Status::Fail("Telefonia non disponibile"); }
  void Deallocate(std::int64_t) override {}
  void Close() override {}
  bool HasService() const override { return false; }
};

}  // namespace orva

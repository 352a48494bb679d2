// The line a metered call runs on, as the meter sees it: what is known of the call, how its
// link is hung up when a limit is reached, and what is done around the call's start and end.
// The dial-up watcher is the line of the program's meter.
#pragma once

#include "core/CallInfo.h"

namespace orva {

class MeteredLine {
 public:
  virtual ~MeteredLine() = default;
  // The kind, entry, status, speed, addresses and bytes of the current call.
  virtual const CallInfo& Info() const = 0;
  // A call starts: the addresses of the last one are forgotten.
  virtual void CallStarting() = 0;
  // Hangs up a dial-up call's link; false when the call has none or it would not go.
  virtual bool HangUpLink() = 0;
  // The poll of the links holds while a call is being closed (the service question keeps
  // events flowing, and the poll must not start another call meanwhile); true when it ran.
  virtual bool HoldPolling() = 0;
  virtual void ResumePolling() = 0;
  // The call is closed and recorded: the line gets ready for the next one.
  virtual void CallClosed() = 0;
};

}  // namespace orva

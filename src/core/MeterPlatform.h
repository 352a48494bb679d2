// What a meter runs on: where its time comes from, how it asks and plays, where it shows its
// counters, and the system's links, calls, byte counters and programs. The desktop program
// gives its windows and the system's services, the console meter its own, the tests doubles.
#pragma once

#include "core/MeterView.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Dialup.h"
#include "platform/Notifier.h"
#include "platform/Process.h"
#include "platform/Sound.h"
#include "platform/SysMon.h"
#include "platform/Telephony.h"

namespace orva {

struct MeterPlatform {
  Clock* clock = nullptr;
  TimerFactory* timers = nullptr;
  Dialogs* dialogs = nullptr;
  Sound* sound = nullptr;
  MeterView* view = nullptr;
  Dialup* dialup = nullptr;
  Telephony* telephony = nullptr;
  StatisticsSource* statistics = nullptr;
  Launcher* launcher = nullptr;
  // The desktop's notifications; none: every warning is a box.
  Notifier* notifier = nullptr;
};

}  // namespace orva

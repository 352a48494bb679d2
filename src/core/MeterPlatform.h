// What a meter runs on: where its time comes from, how it asks and plays, where it shows its
// counters, the system's links, calls, byte counters and programs, and the program's network
// services that follow a call. The desktop program gives its windows and the system's
// services, the console meter its own, the tests doubles.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/MeterServices.h"
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
  // The service choice dialog: the confirmed text, or none for "Ignora".
  std::function<std::optional<std::string>(const std::string& serviceText)> chooseService;
  // The program's network services that follow a call (mail check, hosts, time).
  NetworkHooks network;
  // What answers message 1122 as the application (the process id on Linux).
  long long applicationId = 0;
  // The desktop's notifications; none: every warning is a box.
  Notifier* notifier = nullptr;
};

}  // namespace orva

// A meter's platform of stand-ins on a manual clock: scripted dialogs, no sound, a view that
// shows nothing, simulated links, calls and byte counters, and a launcher that starts nothing.
#pragma once

#include "ScriptedDialogs.h"
#include "core/MeterPlatform.h"
#include "simulation/ManualClock.h"
#include "simulation/Simulated.h"

namespace orva::test {

struct SimulatedPlatform {
  explicit SimulatedPlatform(TDateTime start) : clock(start) {}
  MeterPlatform Platform() {
    MeterPlatform p;
    p.clock = &clock;
    p.timers = &clock;
    p.dialogs = &dialogs;
    p.sound = &sound;
    p.view = &view;
    p.dialup = &dialup;
    p.telephony = &telephony;
    p.statistics = &stats;
    p.launcher = &launcher;
    return p;
  }

  ManualClock clock;
  ScriptedDialogs dialogs;
  NoSound sound;
  MeterView view;
  SimulatedDialup dialup;
  SimulatedTelephony telephony;
  SimulatedStatistics stats;
  RecordingLauncher launcher;
};

}  // namespace orva::test

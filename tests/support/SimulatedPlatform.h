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
    return {.clock = &clock,
            .timers = &clock,
            .dialogs = &dialogs,
            .sound = &sound,
            .view = &view,
            .dialup = &dialup,
            .telephony = &telephony,
            .statistics = &stats,
            .launcher = &launcher};
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

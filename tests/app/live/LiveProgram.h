// The whole desktop program as the live tests start it: a simulated link and counters, no
// sound, no programs started, an empty connection table, its questions answered by the test.
#pragma once

#include <memory>
#include <string>

#include "ScriptedDialogs.h"
#include "TestProgram.h"
#include "app/ui/Program.h"
#include "simulation/Simulated.h"

namespace orva::test {

struct LiveProgram {
  explicit LiveProgram(const std::string& dataDir) {
    ProgramOptions o = QuietProgram(dataDir, dialogs);
    o.sound = &sound;
    o.dialup = &dialup;
    o.statistics = &stats;
    o.launcher = &launcher;
    o.mib =
        std::make_shared<ProcMibAgent>(std::string(ORVA_SOURCE_DIR) + "/tests/data/net/proc/empty");
    program = std::make_unique<TOrvaProgram>(o);
    program->Start();
  }

  ScriptedDialogs dialogs;
  NoSound sound;
  SimulatedDialup dialup;
  SimulatedStatistics stats;
  RecordingLauncher launcher;
  std::unique_ptr<TOrvaProgram> program;
};

}  // namespace orva::test

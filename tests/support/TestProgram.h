// The whole desktop program as tests start it: on a temporary data directory, without the
// splash, its questions answered by the test's dialogs. Fixtures add
// their own doubles (clock, dial-up, sound…) to what this returns.
#pragma once

#include <QStringList>
#include <string>

#include "app/ui/Program.h"
#include "core/Settings.h"

namespace orva::test {

inline ProgramOptions QuietProgram(const std::string& dataDir, Dialogs& dialogs) {
  ProgramOptions o;
  o.dataDir = dataDir;
  o.systemHosts = dataDir + "hosts";  // never the machine's own
  o.arguments = {QStringLiteral("nosplash")};
  o.dialogs = &dialogs;
  return o;
}

}  // namespace orva::test

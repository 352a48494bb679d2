// Starting with the desktop session: the freedesktop autostart entry takes the place of the
// start-up folder shortcut; the old "Run" registry value is removed.
#pragma once

#include <string>

#include "platform/Registry.h"
#include "platform/Result.h"

namespace orva {

// $XDG_CONFIG_HOME/autostart/orva32.desktop ($HOME/.config when XDG_CONFIG_HOME is unset or
// not absolute); empty when neither is known.
std::string AutostartEntryPath();

// One argument of an entry's "Exec" key, quoted and escaped as the entry format asks.
std::string DesktopExecArgument(const std::string& arg);

// The text of the entry: runs programPath in workingDirectory, with the data directory's
// arguments (DataDirectoryArguments) when it was chosen. Fails when a path holds a
// control character (a line end would break the entry).
Result<std::string> AutostartEntryText(const std::string& programPath,
                                       const std::string& workingDirectory);

// Writes the entry crash-safely, creating its folder when missing.
Status CreateAutostartEntry(const std::string& entryPath, const std::string& programPath,
                            const std::string& workingDirectory);

// At every start: deletes the value ORVA32 under the Run key. No autostart entry is made
// here, not even at the first run: starting with the session is the user's own choice, made
// in the wizard or the options, and a first start whose wizard was cancelled leaves none.
Status HandleStartupAutostart(Registry& registry);

}  // namespace orva

// Starting with the desktop session: the freedesktop autostart entry takes the place of the
// start-up folder shortcut, created at the first run; the old "Run" registry value is removed.
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

// At every start: deletes the value ORVA32 under the Run key; at the first run (neither the
// entry nor the settings file exists) creates the entry.
Status HandleStartupAutostart(Registry& registry, const std::string& programPath,
                              const std::string& entryPath, const std::string& settingsPath,
                              const std::string& workingDirectory);

}  // namespace orva

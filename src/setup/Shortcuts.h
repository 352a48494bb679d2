// The start-up and desktop shortcuts as freedesktop entries: the autostart folder
// ($XDG_CONFIG_HOME/autostart) and the desktop folder (XDG_DESKTOP_DIR).
#pragma once

#include <string>

#include "platform/Result.h"

namespace orva {

enum class ShortcutPlace { Autostart, Desktop };

// Where the entry "orva32.desktop" of that place lives.
std::string ShortcutPath(ShortcutPlace place);
bool ShortcutExists(ShortcutPlace place);
// Writes the entry (name and comment "Orva32 4.1", Exec the program with the chosen data
// directory's arguments, Path its folder).
Status CreateShortcut(ShortcutPlace place, const std::string& programPath);
Status DeleteShortcut(ShortcutPlace place);
// The text of the entry.
std::string DesktopEntryText(const std::string& programPath);

}  // namespace orva

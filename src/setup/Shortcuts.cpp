// Writing and removing the freedesktop entries that stand for the shell shortcuts.
#include "setup/Shortcuts.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "core/Autostart.h"
#include "platform/DataDir.h"
#include "platform/IniFile.h"
#include "platform/SafeFile.h"
#include "platform/TextFile.h"

namespace orva {
namespace {

std::string Home() {
  const char* h = std::getenv("HOME");
  return h && *h ? h : "/tmp";
}

// The desktop folder from the environment or ~/.config/user-dirs.dirs, else ~/Desktop.
std::string DesktopDirectory() {
  if (const char* d = std::getenv("XDG_DESKTOP_DIR"); d && *d) return d;
  const char* cfg = std::getenv("XDG_CONFIG_HOME");
  const std::string config = cfg && *cfg ? cfg : Home() + "/.config";
  if (auto bytes = ReadFileBytes(config + "/user-dirs.dirs")) {
    for (const auto& line : SplitLines(*bytes)) {
      const std::string_view key = "XDG_DESKTOP_DIR=";
      if (line.rfind(key, 0) != 0) continue;
      std::string value = line.substr(key.size());
      if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
      if (value.rfind("$HOME", 0) == 0) value = Home() + value.substr(5);
      if (!value.empty()) return value;
    }
  }
  return Home() + "/Desktop";
}

// Exec keys quote arguments that hold blanks or the characters the entry format reserves.
std::string QuoteExec(const std::string& path) {
  if (path.find_first_of(" \t\"'\\$`") == std::string::npos) return path;
  std::string out = "\"";
  for (char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += "\\\\";
    out += c;
  }
  return out + "\"";
}

// The arguments that start the program on the same data directory, when it was chosen.
std::string DataDirectoryExec() {
  std::string out;
  for (const std::string& arg : DataDirectoryArguments()) out += " " + DesktopExecArgument(arg);
  return out;
}

}  // namespace

std::string ShortcutPath(ShortcutPlace place) {
  if (place == ShortcutPlace::Desktop) return JoinPath(DesktopDirectory(), "orva32.desktop");
  const char* cfg = std::getenv("XDG_CONFIG_HOME");
  const std::string config = cfg && *cfg ? cfg : Home() + "/.config";
  return JoinPath(config + "/autostart", "orva32.desktop");
}

bool ShortcutExists(ShortcutPlace place) {
  return FileExists(ShortcutPath(place));
}

std::string DesktopEntryText(const std::string& programPath) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Orva32 4.1\n"
         "Comment=Orva32 4.1\n"
         "Exec=" +
         QuoteExec(programPath) + DataDirectoryExec() +
         "\n"
         "Path=" +
         DirectoryOf(programPath) +
         "\n"
         "Icon=orva32\n"
         "Terminal=false\n"
         "Categories=Network;Monitor;\n";
}

Status CreateShortcut(ShortcutPlace place, const std::string& programPath) {
  const std::string path = ShortcutPath(place);
  if (!MakeDirectories(DirectoryOf(path)))
    return Status::Fail(DirectoryOf(path) + ": " + SystemErrorText(errno));
  SafeWriteOptions options;
  options.mode = 0755;  // desktops start entries on the desktop only when executable
  return ReplaceFile(path, DesktopEntryText(programPath), options);
}

Status DeleteShortcut(ShortcutPlace place) {
  const std::string path = ShortcutPath(place);
  if (::unlink(path.c_str()) != 0 && errno != ENOENT)
    return Status::Fail(path + ": " + SystemErrorText(errno));
  return Status::Ok();
}

}  // namespace orva

// The autostart entry of the desktop session.
#include "core/Autostart.h"

#include <cstdlib>

#include "platform/DataDir.h"
#include "platform/SafeFile.h"

namespace orva {

namespace {

bool HasControlCharacter(const std::string& text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  return false;
}

// A desktop-entry string value: backslashes are escaped.
std::string EntryString(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\\') out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

// One argument of "Exec": always quoted, with the characters the quoting reserves escaped and
// "%" doubled so it is not taken for a field code.
std::string DesktopExecArgument(const std::string& arg) {
  std::string quoted = "\"";
  for (const char c : arg) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  quoted += '"';
  return EntryString(quoted);
}

std::string AutostartEntryPath() {
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
    base = JoinPath(home, ".config");
  } else {
    return {};
  }
  return JoinPath(JoinPath(base, "autostart"), "orva32.desktop");
}

Result<std::string> AutostartEntryText(const std::string& programPath,
                                       const std::string& workingDirectory) {
  if (programPath.empty() || HasControlCharacter(programPath) ||
      HasControlCharacter(workingDirectory))
    return Result<std::string>::Fail("Percorso del programma non valido: " + programPath);
  std::string text =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=Orva32 4.1\n"
      "Comment=Orva32 4.1\n"
      "Exec=" +
      DesktopExecArgument(programPath);
  for (const std::string& arg : DataDirectoryArguments()) {
    if (HasControlCharacter(arg))
      return Result<std::string>::Fail("Percorso della cartella dati non valido: " + arg);
    text += " " + DesktopExecArgument(arg);
  }
  text += "\n";
  if (!workingDirectory.empty()) text += "Path=" + EntryString(workingDirectory) + "\n";
  text +=
      "Icon=orva32\n"
      "Terminal=false\n"
      "X-GNOME-Autostart-enabled=true\n";
  return Result<std::string>::Ok(std::move(text));
}

Status CreateAutostartEntry(const std::string& entryPath, const std::string& programPath,
                            const std::string& workingDirectory) {
  auto text = AutostartEntryText(programPath, workingDirectory);
  if (!text) return Status::Fail(text.error);
  const std::string dir = DirectoryOf(entryPath);
  if (!dir.empty() && !MakeDirectories(dir))
    return Status::Fail("Impossibile creare la cartella " + dir);
  return ReplaceFile(entryPath, *text);
}

Status HandleStartupAutostart(Registry& registry) {
  if (!registry.ValueExists(kRunKey, "ORVA32")) return Status::Ok();
  return registry.DeleteValue(kRunKey, "ORVA32");
}

}  // namespace orva

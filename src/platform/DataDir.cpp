// Finding and seeding the data directory.
#include "platform/DataDir.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/DataFiles.h"
#include "platform/SafeFile.h"
#include "platform/TextCodec.h"

namespace orva {
namespace {

std::string WithSlash(std::string p) {
  if (!p.empty() && p.back() != '/') p += '/';
  return p;
}

}  // namespace

bool HoldsTariffFiles(const std::string& dir) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return false;
  bool found = false;
  while (dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name.size() > 4 && EqualsNoCase(name.substr(name.size() - 4), ".trf")) {
      found = true;
      break;
    }
  }
  ::closedir(d);
  return found;
}

std::string ExecutableDirectory() {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  return DirectoryOf(std::string(buf, static_cast<std::size_t>(n)));
}

Result<std::string> ResolveDataDirectory(const std::string& option, bool create) {
  std::string dir;
  if (!option.empty()) {
    dir = option;
  } else if (const char* home = std::getenv("ORVA32_HOME"); home && *home) {
    dir = home;
  } else if (FileExists(DataPath(ExecutableDirectory()).Found(kSettingsFileName))) {
    dir = ExecutableDirectory();
  } else if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
    dir = JoinPath(xdg, "orva32");
  } else if (const char* h = std::getenv("HOME"); h && *h) {
    dir = JoinPath(JoinPath(h, ".local/share"), "orva32");
  } else {
    return Result<std::string>::Fail("Nessuna cartella dati: HOME non è impostata");
  }
  if (create && !MakeDirectories(dir))
    return Result<std::string>::Fail(dir + ": impossibile creare la cartella dati");
  return Result<std::string>::Ok(WithSlash(dir));
}

bool DataDirectoryChosen(const std::string& option) {
  const char* home = std::getenv("ORVA32_HOME");
  return !option.empty() || (home && *home);
}

namespace {
std::string& ChosenDirectory() {
  static std::string dir;
  return dir;
}
}  // namespace

void SetChosenDataDirectory(const std::string& dir) {
  ChosenDirectory() = dir;
}

std::vector<std::string> DataDirectoryArguments() {
  if (ChosenDirectory().empty()) return {};
  return {"--data-dir", ChosenDirectory()};
}

std::string FindShippedData(const std::string& relative,
                            const std::function<bool(const std::string&)>& usable) {
  const std::string exe = ExecutableDirectory();
  for (const std::string& candidate :
       {exe + "../share/orva32/" + relative, exe + "data/" + relative}) {
    // Named without "..": it is shown to the user and copied into settings.
    const std::string path = std::filesystem::path(candidate).lexically_normal().string();
    if (usable(path)) return path;
  }
  return {};
}

std::string ShippedTariffDirectory() {
  return FindShippedData("tariffe/", HoldsTariffFiles);
}

Status SeedTariffs(const std::string& dir) {
  if (HoldsTariffFiles(dir)) return Status::Ok();
  const std::string from = ShippedTariffDirectory();
  if (from.empty()) return Status::Ok();
  DIR* d = ::opendir(from.c_str());
  if (!d) return Status::Ok();
  std::vector<std::string> copied;
  std::string failure;
  while (dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name.size() <= 4 || !EqualsNoCase(name.substr(name.size() - 4), ".trf")) continue;
    const auto bytes = ReadFileBytes(from + name);
    if (!bytes) continue;  // a shipped file that cannot be read is the installation's problem
    const Status written = ReplaceFile(JoinPath(dir, name), *bytes);
    if (!written) {
      failure = written.error;
      break;
    }
    copied.push_back(JoinPath(dir, name));
  }
  ::closedir(d);
  if (failure.empty()) return Status::Ok();
  // Some of the set would pass for all of it and never be completed: the next start copies
  // the whole set again.
  for (const std::string& path : copied) ::unlink(path.c_str());
  return Status::Fail("Le tariffe fornite con il programma non sono state copiate: " + failure);
}

}  // namespace orva

// Handing the event-loop commands to orva32cli-qt.
#include "QtProgram.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <string_view>
#include <vector>

#include "platform/SafeFile.h"

namespace orva::cli {

bool NeedsQtProgram(const std::string& command) {
#ifdef ORVA_CLI_QT_PROGRAM
  static constexpr std::array<std::string_view, 5> kCommands = {"meter", "send", "dns", "time",
                                                                "mail"};
  for (const std::string_view c : kCommands)
    if (command == c) return true;
#else
  (void)command;
#endif
  return false;
}

int RunQtProgram(char** argv) {
#ifdef ORVA_CLI_QT_PROGRAM
  std::vector<std::string> places;
  std::array<char, 4096> self{};
  if (const ssize_t n = ::readlink("/proc/self/exe", self.data(), self.size() - 1); n > 0) {
    const std::string path(self.data(), static_cast<std::size_t>(n));
    const std::string dir = path.substr(0, path.rfind('/') + 1);
    // Beside it in the build tree; installed under the same prefix (a package installs under
    // its own); where this build would install it.
    places.push_back(dir + "orva32cli-qt");
    places.push_back(dir + "../libexec/orva32/orva32cli-qt");
  }
  places.emplace_back(ORVA_CLI_QT_PROGRAM);
  std::string tried = places.back();
  int error = ENOENT;
  for (const std::string& place : places) {
    ::execv(place.c_str(), argv);
    // Not there: the next place; there but not startable: that is the answer.
    if (errno != ENOENT) {
      error = errno;
      tried = place;
      break;
    }
  }
  std::fprintf(stderr, "orva32cli: %s: %s\n", tried.c_str(), SystemErrorText(error).c_str());
  return 1;
#else
  (void)argv;
  return 2;
#endif
}

}  // namespace orva::cli

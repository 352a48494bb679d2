// Finding the help page and the section of a help context.
#include "setup/Help.h"

#include "platform/DataDir.h"
#include "platform/SafeFile.h"

namespace orva {

std::string HelpFilePath() {
  const std::string exe = ExecutableDirectory();
  const std::string candidates[] = {
      exe + "../share/orva32/help/orva32.html",
      exe + "help/orva32.html",
      std::string(ORVA_SOURCE_DIR) + "/data/help/orva32.html",
  };
  for (const auto& c : candidates)
    if (FileExists(c)) return c;
  return {};
}

std::string HelpUrl(int context) {
  const std::string path = HelpFilePath();
  if (path.empty()) return {};
  return "file://" + path + "#ctx" + std::to_string(context);
}

}  // namespace orva

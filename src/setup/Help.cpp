// Finding the help page and the section of a help context.
#include "setup/Help.h"

#include "platform/DataDir.h"
#include "platform/SafeFile.h"

namespace orva {

std::string HelpFilePath() {
  return FindShippedData("help/orva32.html",
                         [](const std::string& path) { return FileExists(path); });
}

std::string HelpUrl(int context) {
  const std::string path = HelpFilePath();
  if (path.empty()) return {};
  return "file://" + path + "#ctx" + std::to_string(context);
}

}  // namespace orva

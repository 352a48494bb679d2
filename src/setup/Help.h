// The program's help: one HTML page shipped with the program, a section per help context.
#pragma once

#include <string>

namespace orva {

// The help page on disk: the installed share folder, or the source tree's data/help when run
// from a build tree. Empty when none is found.
std::string HelpFilePath();
// "file:///…/orva32.html#ctx<context>", or empty when the page is missing.
std::string HelpUrl(int context);

}  // namespace orva

// The commands that run an event loop are orva32cli-qt's: orva32cli starts without Qt and
// hands them over.
#pragma once

#include <string>

namespace orva::cli {

// True when this program hands `command` to orva32cli-qt (never in orva32cli-qt itself, nor
// in a build without Qt, where those commands say they are not available).
bool NeedsQtProgram(const std::string& command);

// Replaces this process with orva32cli-qt given the same arguments (beside this program, as in
// the build tree, or in the libexec folder of its installation). Returns only when it cannot be
// started, after saying why, with the exit status to end with.
int RunQtProgram(char** argv);

}  // namespace orva::cli

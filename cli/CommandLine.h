// The shape of an orva32cli command line: the options every command takes (--data-dir, --json,
// --help, --version) may stand anywhere, before or after the command words.
#pragma once

#include <string>
#include <vector>

namespace orva::cli {

struct CommandLine {
  std::string command;                 // the command group ("tariff", "log", ...); may be empty
  std::vector<std::string> arguments;  // the words after it, the common options at the end
  bool help = false;                   // --help, -h, or "help" alone
  bool version = false;                // --version
};

// Splits argv (without the program's name). Throws UsageError for an option before the
// command that is not a common one, or --data-dir without its value.
CommandLine SplitCommandLine(const std::vector<std::string>& words);

// orva32cli --help, and orva32cli COMMAND --help (empty for an unknown command).
std::string GeneralUsage();
std::string CommandUsage(const std::string& command);

}  // namespace orva::cli

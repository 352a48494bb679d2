// The data directory ("the program's directory"): every data file the program keeps beside
// itself lives there.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Result.h"

namespace orva {

// The folder of the running executable (with a trailing "/").
std::string ExecutableDirectory();

// --data-dir when given (non-empty), else $ORVA32_HOME, else the executable's folder when it
// holds ORVA32.INI (portable install), else $XDG_DATA_HOME/orva32 (~/.local/share/orva32).
// The folder is created when missing, unless create is false (a reader that must not write).
// Returned with a trailing "/".
Result<std::string> ResolveDataDirectory(const std::string& dataDirOption, bool create = true);

// Whether dir holds a tariff file ("*.TRF", any letter case).
bool HoldsTariffFiles(const std::string& dir);

// Whether the data directory was chosen on the command line or by ORVA32_HOME rather than
// found by the program itself.
bool DataDirectoryChosen(const std::string& dataDirOption);

// The arguments that start the program again on the same data directory: "--data-dir DIR"
// when the directory was chosen (SetChosenDataDirectory), none when the program finds it
// itself. Shortcuts and the autostart entry carry them.
void SetChosenDataDirectory(const std::string& dir);
std::vector<std::string> DataDirectoryArguments();

// Something the program ships, by its path under the shipped data ("tariffe/",
// "help/orva32.html"), when `usable` accepts it: in the share folder of the prefix the program
// runs from (".../bin/../share/orva32/"), else in "data/" beside the program (a portable
// copy). A build tree links its share folder to the sources' data, so a program run from the
// build tree finds them the same way. Empty when none is found.
std::string FindShippedData(const std::string& relative,
                            const std::function<bool(const std::string&)>& usable);

// The folder of the tariff files the program ships; empty when none is found.
std::string ShippedTariffDirectory();

// Copies the shipped tariff files into dir when it holds no "*.TRF" file yet: all of them, or
// none and an error saying why (a full disk, a folder that takes no files).
Status SeedTariffs(const std::string& dir);

}  // namespace orva

// Trimming text read from files, the network and the user. "Blank" has two meanings here:
// inside a line of an INI file, a mail header or a configuration file, the blanks are spaces
// and tabs; around a field of the log, a host name or a protocol word, every control
// character up to the space goes too.
#pragma once

#include <string_view>

namespace orva {

// Without the spaces and tabs at both ends.
std::string_view TrimBlanks(std::string_view text);
// Without the bytes up to the space (controls, CR and LF included) at both ends.
std::string_view TrimControls(std::string_view text);

}  // namespace orva

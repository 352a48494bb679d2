// Text files as Windows writes them: Windows-1252 bytes, CR LF line ends. Lines in memory are
// UTF-8 without their line ends.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"
#include "platform/SafeFile.h"

namespace orva {

// Splits text on CR LF, LF or a lone CR. A last line without a line end is kept; a final line
// end does not make an empty last line.
std::vector<std::string> SplitLines(std::string_view text);

// Reads a Windows-1252 text file into UTF-8 lines. A missing file is a failure.
Result<std::vector<std::string>> ReadTextLines(const std::string& path);

// Encodes UTF-8 lines as Windows-1252, each followed by CR LF.
std::string EncodeTextLines(const std::vector<std::string>& lines);

// Rewrites a text file crash-safely with the given lines.
Status WriteTextLines(const std::string& path, const std::vector<std::string>& lines,
                      const SafeWriteOptions& options = {});

}  // namespace orva

// The scrambled form of the access password kept in the registry: one random character, one
// character per password character, one check character. It only hides the password from
// casual reading.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace orva {

// Gives a random integer 0..19 for the first character of a scrambled text.
using ScrambleRandom = std::function<int()>;
ScrambleRandom DefaultScrambleRandom();

// Both work on the Windows-1252 bytes of the UTF-8 texts, codes taken modulo 256. A period
// of 0 or above 20 is taken as 13.
std::string ScramblePassword(std::string_view plain, int period,
                             const ScrambleRandom& random = DefaultScrambleRandom());
// The plain text, or empty when the text is empty or its check character does not match.
std::string UnscramblePassword(std::string_view text, int period);

}  // namespace orva

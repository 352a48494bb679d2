// Number texts in the program's fixed formats, whatever the locale: "." as decimal point.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orva {

// A whole decimal number with an optional sign, blanks around it allowed; none when the text
// is anything else or out of the int range.
std::optional<int> ParseInteger(std::string_view text);
std::optional<long long> ParseInteger64(std::string_view text);

// A decimal number: optional sign, digits with an optional "." and fraction, an optional
// exponent; blanks around it allowed. Not "inf", "nan" or hexadecimal.
std::optional<double> ParseDecimal(std::string_view text);

// The number with exactly `decimals` digits after "." (0: no point), rounded half away from
// zero on the shortest decimal form of the value, so 63.5 with 0 decimals gives "64".
std::string FormatFixed(double value, int decimals);

// The shortest text that reads back as the same double ("127", "62.5", "0.1").
std::string FormatShortest(double value);

}  // namespace orva

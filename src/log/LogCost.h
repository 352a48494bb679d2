// How a log row's cost text is read, by the window's totals, its sort, the report, the charts
// and the command-line tool alike, so that they all add up the same rows.
#pragma once

#include <optional>
#include <string_view>

namespace orva {

// The cost of a log row in lire: a decimal number, blanks around it allowed, with "." or ","
// as decimal point ("254.5", "254,5": logs written under an Italian locale hold the comma).
// None for a text that is no amount: "?", "n.d", a number beyond any call's cost, or one that
// mixes both marks ("1.254,5"), which no writer of the log produces.
std::optional<double> ParseLogCost(std::string_view text);

}  // namespace orva

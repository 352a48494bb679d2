// The one reading of a log row's cost.
#include "log/LogCost.h"

#include <string>

#include "core/Amounts.h"
#include "platform/Numbers.h"

namespace orva {

std::optional<double> ParseLogCost(std::string_view text) {
  const auto comma = text.find(',');
  if (comma == std::string_view::npos) {
    const auto v = ParseDecimal(text);
    if (!v || !IsAmount(*v)) return std::nullopt;
    return v;
  }
  // One comma and no point: the comma is the decimal point.
  if (text.find(',', comma + 1) != std::string_view::npos ||
      text.find('.') != std::string_view::npos)
    return std::nullopt;
  std::string copy(text);
  copy[comma] = '.';
  return ParseLogCost(copy);
}

}  // namespace orva

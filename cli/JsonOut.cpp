// The common forms of orva32cli's JSON output.
#include "JsonOut.h"

#include <cmath>
#include <cstdio>

#include "platform/Numbers.h"

namespace orva::cli {

std::string DumpJson(const Json& value) {
  return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void PrintJson(const Json& value) {
  const std::string text = DumpJson(value) + "\n";
  std::fwrite(text.data(), 1, text.size(), stdout);
}

std::string IsoDate(const DateParts& date) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", date.year, date.month, date.day);
  return buffer;
}

std::string IsoDate(TDateTime value) {
  return IsoDate(DecodeDate(value));
}

std::string IsoDateTime(TDateTime value) {
  const TimeParts t = DecodeTime(value);
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "T%02d:%02d:%02d", t.hour, t.minute, t.second);
  return IsoDate(value) + buffer;
}

Json IsoDateOrNull(std::string_view shortDate) {
  const auto date = StrToDate(shortDate);
  return date ? Json(IsoDate(*date)) : Json(nullptr);
}

Json Number(double value) {
  if (!std::isfinite(value)) return nullptr;
  // Whole amounts read as integers ("889", not "889.0"), as the program writes them.
  if (value == std::floor(value) && std::fabs(value) < 9e15) return static_cast<long long>(value);
  return value;
}

Json NumberOrNull(std::optional<double> value) {
  return value ? Number(*value) : Json(nullptr);
}

Json NumberOrNull(std::optional<long long> value) {
  return value ? Json(*value) : Json(nullptr);
}

Json DecimalOrNull(std::string_view text) {
  return NumberOrNull(ParseDecimal(text));
}

Json AsShown(double value, int decimals) {
  return Number(ParseDecimal(FormatFixed(value, decimals)).value_or(value));
}

void PutEuro(Json& j, const std::string& key, std::optional<double> lire) {
  if (!lire) {
    j[key + "_euro"] = nullptr;
    return;
  }
  // The number the euro text shows: cents, or more digits under a cent.
  const int decimals = AmountDecimals(*lire, Currency::Euro);
  j[key + "_euro"] = AsShown(FromLire(*lire, Currency::Euro), decimals);
}

void PutCurrency(Json& j, Currency currency) {
  j["currency"] = CurrencyName(currency);
}

void PutTyped(Json& j, const std::string& key, Json value, std::string_view text) {
  j[key] = std::move(value);
  j[key + "_text"] = std::string(text);
}

}  // namespace orva::cli

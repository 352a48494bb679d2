// How orva32cli writes JSON for scripts: one value per run; counts, amounts, seconds and bytes
// as numbers (null when the text holds none, such as "?" ticks or an "n.d" speed); dates and
// times in ISO 8601, local time of the machine as the files hold them; and, beside a typed
// value, the text the program shows for it under the same key with "_text" appended.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "core/Currency.h"
#include "platform/DateTime.h"

namespace orva::cli {

using Json = nlohmann::ordered_json;

// One line on standard output; bytes that are not UTF-8 (a hand-edited file) are replaced.
void PrintJson(const Json& value);
// The same without the newline, for output written a piece at a time.
std::string DumpJson(const Json& value);

// "YYYY-MM-DD"; "YYYY-MM-DDThh:mm:ss".
std::string IsoDate(const DateParts& date);
std::string IsoDate(TDateTime value);
std::string IsoDateTime(TDateTime value);
// A "dd/mm/yy" (or "d/m/yyyy") text as "YYYY-MM-DD"; null when it is not a date.
Json IsoDateOrNull(std::string_view shortDate);

// A number, written as an integer when it is whole; null when it is not finite.
Json Number(double value);
// A number, or null when there is none.
Json NumberOrNull(std::optional<double> value);
Json NumberOrNull(std::optional<long long> value);
// The number a decimal text holds ("127", "1234.5"), null when it holds none.
Json DecimalOrNull(std::string_view text);
// The value as a text with `decimals` decimals shows it, so the number and its text agree.
Json AsShown(double value, int decimals);

// The numbers stay lire, as the files keep them; beside an amount `key` of `lire` goes
// `key + "_euro"`, the euro the program shows for it (null when there is no amount).
void PutEuro(Json& j, const std::string& key, std::optional<double> lire);
// "currency": the program's "Valuta", "Lire" or "Euro", what its own texts show.
void PutCurrency(Json& j, Currency currency);

// Sets j[key] = value and j[key + "_text"] = text.
void PutTyped(Json& j, const std::string& key, Json value, std::string_view text);

}  // namespace orva::cli

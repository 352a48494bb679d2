// The currency amounts are shown in: lire as they always were, or euro at the fixed rate.
// Every amount is kept in lire (log, bill and tariff files, settings); the conversion and the
// Italian writing of an amount happen here, at the moment it is shown, printed or exported.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orva {

enum class Currency { Lire, Euro };

// The fixed rate of the changeover: 1 euro = 1936,27 lire.
inline constexpr double kLirePerEuro = 1936.27;

// "Lire" or "Euro", as ORVA32.INI and the tariff files write it.
const char* CurrencyName(Currency c);
// "Lire"/"Euro" in any letter case, blanks around allowed; none for anything else.
std::optional<Currency> ParseCurrencyName(std::string_view text);
// "L." or "€".
const char* CurrencySymbol(Currency c);

// An amount in lire as a number of the currency.
double FromLire(double lire, Currency c);
// A number of the currency as lire.
double ToLire(double amount, Currency c);

// The number part of an amount in lire written in `c`, Italian style ("1.234", "1.234,56"):
// lire with `lireDecimals` digits, euro with two, more (up to six) when the amount is not
// zero but under a cent, so a one-lira tick does not read as nothing.
std::string FormatAmountNumber(double lire, Currency c, int lireDecimals = 0);
// The same with its symbol: "L. 1.234", "€ 1,23".
std::string FormatAmount(double lire, Currency c, int lireDecimals = 0);

// An amount the files keep as a text of lire ("2540.5"), shown in `c`: unchanged in lire,
// converted in euro; a text that is no number ("?") stays as it is.
std::string ShownLireText(std::string_view lireText, Currency c);

// The decimals FormatAmountNumber writes `lire` with in `c`.
int AmountDecimals(double lire, Currency c, int lireDecimals = 0);

// `value` with `decimals` digits after "," and its whole part grouped by "." ("1.234,50").
std::string FormatItalian(double value, int decimals);

// A typed amount in `c` back to lire: "1,50", "1.234,56", "1.5", "€ 2", "L. 1.000".
// With a "," it is the decimal comma and "." groups thousands; without one, a lone "." followed
// by anything but exactly three digits is a decimal point (a euro user writes "1.5"), while
// "1.000" groups thousands. None for anything that is not such a number.
std::optional<double> ParseAmount(std::string_view text, Currency c);

// A tick price as typed, in whatever currency it is meant: digits with one decimal comma or
// point and no thousands grouping ("0,05", "0.0656", "127", ",5"); blanks around it allowed.
// None for anything else ("", "1,2,3", "1.2,3", "-1", "1e3"), so a slip is never a price of 0.
std::optional<double> ParseTickPrice(std::string_view text);

}  // namespace orva

// Converting and writing amounts in lire or euro.
#include "core/Currency.h"

#include <cmath>
#include <string>

#include "core/HowUtils.h"
#include "platform/Numbers.h"

namespace orva {

namespace {

constexpr int kMaxEuroDecimals = 6;

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char ch) {
      return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
    };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

int EuroDecimals(double euro) {
  int decimals = 2;
  const double a = std::fabs(euro);
  // Under a cent: two significant digits, so 1 lira shows as 0,00052.
  if (a > 0 && a < 0.01)
    while (decimals < kMaxEuroDecimals && a * std::pow(10.0, decimals) < 10) ++decimals;
  return decimals;
}

std::string_view StripPrefix(std::string_view text, std::string_view prefix) {
  if (text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix))
    return text.substr(prefix.size());
  return text;
}

std::string_view TrimView(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

const char* CurrencyName(Currency c) {
  return c == Currency::Euro ? "Euro" : "Lire";
}

std::optional<Currency> ParseCurrencyName(std::string_view text) {
  text = TrimView(text);
  if (EqualsNoCase(text, "Lire")) return Currency::Lire;
  if (EqualsNoCase(text, "Euro")) return Currency::Euro;
  return std::nullopt;
}

const char* CurrencySymbol(Currency c) {
  return c == Currency::Euro ? "€" : "L.";
}

double FromLire(double lire, Currency c) {
  return c == Currency::Euro ? lire / kLirePerEuro : lire;
}

double ToLire(double amount, Currency c) {
  return c == Currency::Euro ? amount * kLirePerEuro : amount;
}

std::string FormatItalian(double value, int decimals) {
  std::string text = FormatFixed(value, decimals);
  std::string sign;
  if (!text.empty() && text.front() == '-') {
    sign = "-";
    text.erase(0, 1);
  }
  const auto point = text.find('.');
  std::string whole = text.substr(0, point);
  std::string fraction = point == std::string::npos ? std::string() : text.substr(point + 1);
  std::string grouped = GroupThousands(whole);
  if (!fraction.empty()) grouped += "," + fraction;
  // "-0,00" is not an amount anyone owes.
  if (sign == "-" && grouped.find_first_not_of("0.,") == std::string::npos) sign.clear();
  return sign + grouped;
}

int AmountDecimals(double lire, Currency c, int lireDecimals) {
  return c == Currency::Lire ? lireDecimals : EuroDecimals(FromLire(lire, c));
}

std::string FormatAmountNumber(double lire, Currency c, int lireDecimals) {
  return FormatItalian(FromLire(lire, c), AmountDecimals(lire, c, lireDecimals));
}

std::string ShownLireText(std::string_view lireText, Currency c) {
  if (c == Currency::Lire) return std::string(lireText);
  const auto lire = ParseDecimal(lireText);
  if (!lire) return std::string(lireText);
  return FormatAmountNumber(*lire, c);
}

std::string FormatAmount(double lire, Currency c, int lireDecimals) {
  return std::string(CurrencySymbol(c)) + " " + FormatAmountNumber(lire, c, lireDecimals);
}

std::optional<double> ParseAmount(std::string_view text, Currency c) {
  text = TrimView(text);
  text = TrimView(StripPrefix(text, "€"));
  text = TrimView(StripPrefix(text, "L."));
  text = TrimView(StripPrefix(text, "EUR"));
  if (text.empty()) return std::nullopt;
  std::string number;
  const bool hasComma = text.find(',') != std::string_view::npos;
  const auto firstDot = text.find('.');
  const bool oneDot =
      firstDot != std::string_view::npos && text.find('.', firstDot + 1) == std::string_view::npos;
  // One dot with three digits after it groups thousands ("1.500"), unless nothing but a zero
  // stands before it: "0.050" is five cents, never fifty.
  const std::string_view whole = oneDot ? text.substr(0, firstDot) : std::string_view();
  const bool zeroWhole = whole.empty() || whole == "0" || whole == "-0";
  const bool dotIsDecimal = !hasComma && oneDot && (text.size() - firstDot - 1 != 3 || zeroWhole);
  for (char ch : text) {
    if (ch == '.') {
      if (dotIsDecimal) number += '.';
      // Otherwise it groups thousands.
    } else if (ch == ',') {
      number += '.';
    } else {
      number += ch;
    }
  }
  if (number.find('e') != std::string::npos || number.find('E') != std::string::npos)
    return std::nullopt;
  const auto value = ParseDecimal(number);
  if (!value) return std::nullopt;
  const double lire = ToLire(*value, c);
  if (!std::isfinite(lire)) return std::nullopt;
  return lire;
}

std::optional<double> ParseTickPrice(std::string_view text) {
  text = TrimView(text);
  std::string number;
  bool separator = false, digit = false;
  for (char ch : text) {
    if (ch >= '0' && ch <= '9') {
      digit = true;
      number += ch;
    } else if ((ch == ',' || ch == '.') && !separator) {
      separator = true;
      number += '.';
    } else {
      return std::nullopt;
    }
  }
  if (!digit) return std::nullopt;
  return ParseDecimal(number);
}

}  // namespace orva

// Locale-independent number parsing and formatting.
#include "platform/Numbers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "platform/IniFile.h"
#include "platform/Trim.h"

namespace orva {

std::optional<long long> ParseInteger64(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  long long v = 0;
  const auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || p != text.data() + text.size()) return std::nullopt;
  return v;
}

std::optional<int> ParseInteger(std::string_view text) {
  const auto v = ParseInteger64(text);
  if (!v || *v < INT32_MIN || *v > INT32_MAX) return std::nullopt;
  return static_cast<int>(*v);
}

std::optional<double> ParseDecimal(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  // from_chars also takes "inf", "nan" and hex with the right flags; only plain decimals here.
  bool digit = false;
  for (char c : text) {
    if (c >= '0' && c <= '9')
      digit = true;
    else if (c != '.' && c != '-' && c != '+' && c != 'e' && c != 'E')
      return std::nullopt;
  }
  if (!digit) return std::nullopt;
  double v = 0;
  const auto [p, ec] =
      std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::general);
  if (ec != std::errc() || p != text.data() + text.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::string FormatShortest(double value) {
  char buf[64];
  const auto [p, ec] = std::to_chars(buf, buf + sizeof buf, value);
  if (ec != std::errc()) return "0";
  return std::string(buf, p);
}

std::string FormatFixed(double value, int decimals) {
  if (decimals < 0) decimals = 0;
  if (decimals > 15) decimals = 15;
  if (!std::isfinite(value)) value = 0;
  // Round on the shortest decimal form: 63.5 -> 64, 130.25 -> 130.3, 2.675 -> 2.68.
  const std::string exact = FormatShortest(value);
  const bool negative = !exact.empty() && exact.front() == '-';
  std::string digits;  // all digits of the number, integer part first
  int intDigits = 0;
  int exponent = 0;
  {
    std::string_view s(exact);
    if (negative) s.remove_prefix(1);
    const auto e = s.find_first_of("eE");
    if (e != std::string_view::npos) {
      exponent = std::atoi(std::string(s.substr(e + 1)).c_str());
      s = s.substr(0, e);
    }
    const auto dot = s.find('.');
    const std::string_view ip = s.substr(0, dot);
    const std::string_view fp = dot == std::string_view::npos ? "" : s.substr(dot + 1);
    digits = std::string(ip) + std::string(fp);
    intDigits = static_cast<int>(ip.size()) + exponent;
  }
  // Normalise so that digits has intDigits integer digits (pad zeros as needed).
  if (intDigits <= 0) {
    digits.insert(0, static_cast<std::size_t>(1 - intDigits), '0');
    intDigits = 1;
  }
  if (static_cast<int>(digits.size()) < intDigits)
    digits.append(static_cast<std::size_t>(intDigits) - digits.size(), '0');
  const int keep = intDigits + decimals;
  if (static_cast<int>(digits.size()) < keep)
    digits.append(static_cast<std::size_t>(keep) - digits.size(), '0');
  const bool roundUp =
      static_cast<int>(digits.size()) > keep && digits[static_cast<std::size_t>(keep)] >= '5';
  digits.resize(static_cast<std::size_t>(keep));
  if (roundUp) {
    int i = keep - 1;
    for (; i >= 0; --i) {
      if (digits[static_cast<std::size_t>(i)] == '9') {
        digits[static_cast<std::size_t>(i)] = '0';
      } else {
        ++digits[static_cast<std::size_t>(i)];
        break;
      }
    }
    if (i < 0) {
      digits.insert(digits.begin(), '1');
      ++intDigits;
    }
  }
  std::string out = digits.substr(0, static_cast<std::size_t>(intDigits));
  const auto firstNonZero = out.find_first_not_of('0');
  out = firstNonZero == std::string::npos ? "0" : out.substr(firstNonZero);
  if (decimals > 0) out += "." + digits.substr(static_cast<std::size_t>(intDigits));
  const bool allZero = out.find_first_not_of("0.") == std::string::npos;
  if (negative && !allZero) out.insert(0, "-");
  return out;
}

}  // namespace orva

// Scrambling of the access password.
#include "core/UCritto.h"

#include <random>

#include "platform/TextCodec.h"

namespace orva {

namespace {

int EffectivePeriod(int period) {
  return (period <= 0 || period > 20) ? 13 : period;
}

int CheckCode(std::string_view bytes) {
  unsigned long sum = 0;
  for (const char c : bytes) sum += static_cast<unsigned char>(c);
  return static_cast<int>(sum % 190) + 64;
}

char Byte(int code) {
  return static_cast<char>(static_cast<unsigned char>(code & 0xFF));
}

}  // namespace

ScrambleRandom DefaultScrambleRandom() {
  return [] {
    static std::mt19937 engine{std::random_device{}()};
    return std::uniform_int_distribution<int>(0, 19)(engine);
  };
}

std::string ScramblePassword(std::string_view plain, int period, const ScrambleRandom& random) {
  if (plain.empty()) return {};
  const int p = EffectivePeriod(period);
  const std::string bytes = Utf8ToCp1252(plain);
  int r = random ? random() : 0;
  if (r < 0 || r > 19) r = ((r % 20) + 20) % 20;
  std::string out;
  out.reserve(bytes.size() + 2);
  out += Byte(r + 64);
  for (std::size_t j = 0; j < bytes.size(); ++j) {
    const int i = static_cast<int>(j % static_cast<std::size_t>(p)) + 1;
    out += Byte(static_cast<unsigned char>(bytes[j]) + r + p + i);
  }
  out += Byte(CheckCode(out));
  return Cp1252ToUtf8(out);
}

std::string UnscramblePassword(std::string_view text, int period) {
  if (text.empty()) return {};
  const int p = EffectivePeriod(period);
  const std::string bytes = Utf8ToCp1252(text);
  if (bytes.size() < 2) return {};
  const std::string_view body(bytes.data(), bytes.size() - 1);
  if (CheckCode(body) != static_cast<unsigned char>(bytes.back())) return {};
  const int d = static_cast<unsigned char>(bytes.front()) + p - 64;
  std::string plain;
  plain.reserve(body.size());
  for (std::size_t j = 1; j < body.size(); ++j) {
    const int i = static_cast<int>((j - 1) % static_cast<std::size_t>(p)) + 1;
    plain += Byte(static_cast<unsigned char>(body[j]) - d - i);
  }
  return Cp1252ToUtf8(plain);
}

}  // namespace orva

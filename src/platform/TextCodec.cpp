// Windows-1252 <-> UTF-8 conversion with a full byte round trip.
#include "platform/TextCodec.h"

#include <array>
#include <cstdint>

namespace orva {
namespace {

// Code points of the bytes 0x80..0x9F; the undefined five map to themselves.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one code point at s[i]; returns its length, or 0 for an invalid sequence.
std::size_t DecodeUtf8(std::string_view s, std::size_t i, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  std::size_t len = 0;
  char32_t min = 0;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

int EncodeCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (std::size_t k = 0; k < kHigh.size(); ++k)
    if (kHigh[k] == cp) return static_cast<int>(0x80 + k);
  return -1;
}

char32_t FoldCodePoint(char32_t cp) {
  if (cp >= 'A' && cp <= 'Z') return cp + 32;
  if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 32;
  if (cp == 0x0160 || cp == 0x017D || cp == 0x0152) return cp + 1;  // Š Ž Œ
  if (cp == 0x0178) return 0xFF;                                    // Ÿ
  return cp;
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out.push_back(c);
    } else if (b < 0xA0) {
      AppendUtf8(out, kHigh[b - 0x80]);
    } else {
      AppendUtf8(out, b);
    }
  }
  return out;
}

std::string Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
      ++i;
      continue;
    }
    char32_t cp = 0;
    const std::size_t len = DecodeUtf8(utf8, i, cp);
    if (len == 0) {
      out.push_back('?');
      ++i;
      continue;
    }
    const int code = EncodeCp1252(cp);
    out.push_back(code < 0 ? '?' : static_cast<char>(code));
    i += len;
  }
  return out;
}

std::size_t Utf8Length(std::string_view utf8) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < utf8.size(); ++n) {
    char32_t cp = 0;
    const std::size_t len = DecodeUtf8(utf8, i, cp);
    i += len == 0 ? 1 : len;
  }
  return n;
}

std::string Utf8Left(std::string_view utf8, std::size_t n) {
  // No more bytes than characters wanted: nothing to cut.
  if (utf8.size() <= n) return std::string(utf8);
  std::size_t i = 0;
  for (std::size_t k = 0; k < n && i < utf8.size(); ++k) {
    char32_t cp = 0;
    const std::size_t len = DecodeUtf8(utf8, i, cp);
    i += len == 0 ? 1 : len;
  }
  return std::string(utf8.substr(0, i));
}

std::string FoldCase(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(b >= 'A' && b <= 'Z' ? b + 32 : b));
      ++i;
      continue;
    }
    char32_t cp = 0;
    const std::size_t len = DecodeUtf8(utf8, i, cp);
    if (len == 0) {
      out.push_back(utf8[i]);
      ++i;
      continue;
    }
    AppendUtf8(out, FoldCodePoint(cp));
    i += len;
  }
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() == b.size()) {
    bool plain = true;
    for (std::size_t i = 0; i < a.size(); ++i) {
      const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
      if (x >= 0x80 || y >= 0x80) {
        plain = false;
        break;
      }
      const auto fx = x >= 'A' && x <= 'Z' ? x + 32 : x, fy = y >= 'A' && y <= 'Z' ? y + 32 : y;
      if (fx != fy) return false;
    }
    if (plain) return true;
  }
  return FoldCase(a) == FoldCase(b);
}

}  // namespace orva

namespace orva {
namespace {

// The base letters of a folded (lower-case) Latin letter with a diacritic or a ligature.
const char* BaseOf(char32_t cp) {
  switch (cp) {
    case 0xE0:
    case 0xE1:
    case 0xE2:
    case 0xE3:
    case 0xE4:
    case 0xE5:
      return "a";
    case 0xE6:
      return "ae";
    case 0xE7:
      return "c";
    case 0xE8:
    case 0xE9:
    case 0xEA:
    case 0xEB:
      return "e";
    case 0xEC:
    case 0xED:
    case 0xEE:
    case 0xEF:
      return "i";
    case 0xF0:
      return "d";
    case 0xF1:
      return "n";
    case 0xF2:
    case 0xF3:
    case 0xF4:
    case 0xF5:
    case 0xF6:
    case 0xF8:
      return "o";
    case 0xF9:
    case 0xFA:
    case 0xFB:
    case 0xFC:
      return "u";
    case 0xFD:
    case 0xFF:
      return "y";
    case 0xFE:
      return "th";
    case 0xDF:
      return "ss";
    case 0x0161:
      return "s";
    case 0x017E:
      return "z";
    case 0x0153:
      return "oe";
    default:
      return nullptr;
  }
}

}  // namespace

std::string BaseLetters(std::string_view utf8) {
  const std::string folded = FoldCase(utf8);
  std::string out;
  out.reserve(folded.size());
  for (std::size_t i = 0; i < folded.size();) {
    char32_t cp = 0;
    const std::size_t len = DecodeUtf8(folded, i, cp);
    if (len == 0) {
      out.push_back(folded[i++]);
      continue;
    }
    if (const char* base = BaseOf(cp))
      out += base;
    else
      out.append(folded, i, len);
    i += len;
  }
  return out;
}

bool ReadingOrderLess(std::string_view a, std::string_view b) {
  if (const int c = BaseLetters(a).compare(BaseLetters(b)); c != 0) return c < 0;
  // The same letters: the unaccented first; names that differ only in case are equal, so they
  // keep the order they came in.
  return FoldCase(a) < FoldCase(b);
}

}  // namespace orva

// Windows-1252 <-> UTF-8. Files on disk are Windows-1252; all text in memory is UTF-8.
// Every byte round-trips: the five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) map to the C1 code points of the same value.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orva {

std::string Cp1252ToUtf8(std::string_view bytes);
// A character Windows-1252 cannot hold (and any invalid UTF-8 byte) becomes "?".
std::string Utf8ToCp1252(std::string_view utf8);

// Number of characters (code points) of a UTF-8 text; invalid bytes count one each.
std::size_t Utf8Length(std::string_view utf8);
// The first n characters of a UTF-8 text ("cut to n characters").
std::string Utf8Left(std::string_view utf8, std::size_t n);

// Lower case of a UTF-8 text for comparisons without regard to case: ASCII and the Latin-1
// letters (what Windows-1252 can hold), others unchanged.
std::string FoldCase(std::string_view utf8);
bool EqualsNoCase(std::string_view a, std::string_view b);

// The order in which people read names, whatever the system's locale: letters without regard
// to accents or case first ("Élodie" beside "Elena", before "zeta"), then the unaccented before
// the accented; case alone makes no difference. Ligatures count as their letters ("æ" as "ae",
// "ß" as "ss").
bool ReadingOrderLess(std::string_view a, std::string_view b);
// The first level of that order: the text in base letters, lower case.
std::string BaseLetters(std::string_view utf8);

}  // namespace orva

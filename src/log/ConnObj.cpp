// The connection-log record.
#include "log/ConnObj.h"

namespace orva {

std::string_view CutToWidth(std::string_view utf8, std::size_t width) {
  if (utf8.size() <= width) return utf8;  // never more characters than bytes
  std::size_t i = 0;
  for (std::size_t k = 0; k < width && i < utf8.size(); ++k) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    std::size_t len = 1;
    if ((b & 0xE0) == 0xC0)
      len = 2;
    else if ((b & 0xF0) == 0xE0)
      len = 3;
    else if ((b & 0xF8) == 0xF0)
      len = 4;
    // A broken sequence counts its lead byte as one character.
    for (std::size_t j = 1; j < len; ++j) {
      if (i + j >= utf8.size() || (static_cast<unsigned char>(utf8[i + j]) & 0xC0) != 0x80) {
        len = 1;
        break;
      }
    }
    i += len;
  }
  return utf8.substr(0, i);
}

TConnObj::TConnObj() = default;

TConnObj::TConnObj(const Fields& fields) {
  Fields cut;
  std::size_t total = 0;
  for (std::size_t i = 0; i < kLogFieldCount; ++i) {
    cut[i] = CutToWidth(fields[i], LogFieldWidth(static_cast<LogField>(i)));
    total += cut[i].size();
  }
  m_text.reserve(total);
  for (std::size_t i = 0; i < kLogFieldCount; ++i) {
    m_text.append(cut[i]);
    m_end[i + 1] = static_cast<std::uint16_t>(m_text.size());
  }
}

TConnObj::Fields TConnObj::AllFields() const {
  Fields out;
  for (std::size_t i = 0; i < kLogFieldCount; ++i) out[i] = Field(i);
  return out;
}

void TConnObj::Set(LogField f, std::string_view text) {
  // Copy first: text may point into this record.
  const std::string value(CutToWidth(text, LogFieldWidth(f)));
  Fields fields = AllFields();
  std::array<std::string, kLogFieldCount> copies;
  for (std::size_t i = 0; i < kLogFieldCount; ++i) copies[i] = std::string(fields[i]);
  copies[static_cast<std::size_t>(f)] = value;
  for (std::size_t i = 0; i < kLogFieldCount; ++i) fields[i] = copies[i];
  const bool mark = marked;
  *this = TConnObj(fields);
  marked = mark;
}

}  // namespace orva

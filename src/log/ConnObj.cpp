// The connection-log record.
#include "log/ConnObj.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>

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

namespace {

// A block of this size is mapped on its own and offered huge pages; smaller ones come from the
// heap.
constexpr std::size_t kLargeBlock = std::size_t{8} << 20;
// The most text one record holds: ten fields of 24 characters and the service's 64, each
// character up to four bytes.
constexpr std::size_t kMostRecordBytes = (10 * 24 + 64) * 4;

std::shared_ptr<char> NewBlock(std::size_t size) {
  if (size >= kLargeBlock) {
    void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p != MAP_FAILED) {
      ::madvise(p, size, MADV_HUGEPAGE);  // a hint: without it the block is as good
      return std::shared_ptr<char>(static_cast<char*>(p),
                                   [size](char* block) { ::munmap(block, size); });
    }
  }
  return std::shared_ptr<char>(new char[size], std::default_delete<char[]>());
}

// The empty text of a record without fields: owned by none.
std::shared_ptr<const char> NoText() {
  return std::shared_ptr<const char>(std::shared_ptr<const char>(), "");
}

}  // namespace

std::shared_ptr<char> RecordTextArena::Place(std::size_t size) {
  if (!m_block || m_size - m_used < size) {
    const std::size_t want = std::clamp(m_next, kMostRecordBytes, kLargeBlock);
    m_size = std::max(want, size);
    m_block = NewBlock(m_size);
    m_used = 0;
    m_next = kLargeBlock;
  }
  std::shared_ptr<char> place(m_block, m_block.get() + m_used);
  m_used += size;
  return place;
}

TConnObj::TConnObj() : m_text(NoText()) {}

std::size_t TConnObj::Cut(const Fields& fields, Fields& cut) {
  std::size_t total = 0;
  for (std::size_t i = 0; i < kLogFieldCount; ++i) {
    cut[i] = CutToWidth(fields[i], LogFieldWidth(static_cast<LogField>(i)));
    total += cut[i].size();
  }
  return total;
}

void TConnObj::Fill(const Fields& cut, std::shared_ptr<char> place) {
  std::size_t at = 0;
  for (std::size_t i = 0; i < kLogFieldCount; ++i) {
    if (!cut[i].empty()) std::memcpy(place.get() + at, cut[i].data(), cut[i].size());
    at += cut[i].size();
    m_end[i + 1] = static_cast<std::uint16_t>(at);
  }
  m_text = std::move(place);
}

TConnObj::TConnObj(const Fields& fields) {
  Fields cut;
  const std::size_t total = Cut(fields, cut);
  if (total == 0) {
    m_text = NoText();
    return;
  }
  Fill(cut, std::shared_ptr<char>(new char[total], std::default_delete<char[]>()));
}

TConnObj::TConnObj(const Fields& fields, RecordTextArena& arena) {
  Fields cut;
  const std::size_t total = Cut(fields, cut);
  if (total == 0) {
    m_text = NoText();
    return;
  }
  Fill(cut, arena.Place(total));
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

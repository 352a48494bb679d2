// One loaded connection-log record: eleven texts, each cut to its width in characters when
// it is set, and a mark flag.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace orva {

// The eleven fields of a log line, in file order (column i of the log window is field i - 1).
enum class LogField : std::uint8_t {
  Date,
  Start,
  End,
  Duration,
  Tariff,
  Ticks,
  Cost,
  Bps,
  Received,
  Sent,
  Service,
};
constexpr std::size_t kLogFieldCount = 11;

// The width of each field in characters.
constexpr std::size_t LogFieldWidth(LogField f) {
  return f == LogField::Service ? 64 : 24;
}

// Where the records loaded together keep their texts: large blocks shared by the records placed
// in them, so that a million records are not a million allocations, and a large log's memory
// comes to the process in huge pages where the system gives them. A block lives as long as a
// record placed in it.
class RecordTextArena {
 public:
  // `expectedBytes`: about how much text will be placed (the first block's size, at most a
  // large block).
  explicit RecordTextArena(std::size_t expectedBytes = 0) : m_next(expectedBytes) {}
  // Room for `size` bytes: where to write them, and that place's share of its block.
  std::shared_ptr<char> Place(std::size_t size);

 private:
  std::shared_ptr<char> m_block;
  std::size_t m_used = 0, m_size = 0, m_next = 0;
};

class TConnObj {
 public:
  using Fields = std::array<std::string_view, kLogFieldCount>;

  // All fields empty, not marked.
  TConnObj();
  // Every field cut to its width.
  explicit TConnObj(const Fields& fields);
  // The same, its texts placed in `arena`.
  TConnObj(const Fields& fields, RecordTextArena& arena);

  std::string_view Field(LogField f) const {
    const auto i = static_cast<std::size_t>(f);
    return std::string_view(m_text.get() + m_end[i], m_end[i + 1] - m_end[i]);
  }
  std::string_view Field(std::size_t i) const { return Field(static_cast<LogField>(i)); }
  // Cuts the text to the field's width.
  void Set(LogField f, std::string_view text);

  std::string_view Date() const { return Field(LogField::Date); }
  std::string_view Start() const { return Field(LogField::Start); }
  std::string_view End() const { return Field(LogField::End); }
  std::string_view Duration() const { return Field(LogField::Duration); }
  std::string_view Tariff() const { return Field(LogField::Tariff); }
  std::string_view Ticks() const { return Field(LogField::Ticks); }
  std::string_view Cost() const { return Field(LogField::Cost); }
  std::string_view Bps() const { return Field(LogField::Bps); }
  std::string_view Received() const { return Field(LogField::Received); }
  std::string_view Sent() const { return Field(LogField::Sent); }
  std::string_view Service() const { return Field(LogField::Service); }

  Fields AllFields() const;

  bool marked = false;

  // Records are equal when all eleven texts are (the mark is not part of the call).
  bool operator==(const TConnObj& other) const {
    return m_end == other.m_end && Text() == other.Text();
  }

 private:
  std::string_view Text() const { return std::string_view(m_text.get(), m_end.back()); }
  // The fields cut to their widths, and their bytes together.
  static std::size_t Cut(const Fields& fields, Fields& cut);
  void Fill(const Fields& cut, std::shared_ptr<char> place);

  // The fields one after the other; field i is m_text[m_end[i], m_end[i + 1]). The text is
  // never changed in place (Set makes a new one), so copies of a record share it.
  std::shared_ptr<const char> m_text;
  std::array<std::uint16_t, kLogFieldCount + 1> m_end{};
};

// The first `width` characters of a UTF-8 text.
std::string_view CutToWidth(std::string_view utf8, std::size_t width);

}  // namespace orva

// Reading, writing and appending connection-log lines.
#include "log/LogFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <system_error>
#include <thread>

#include "core/HowUtils.h"
#include "platform/DataFiles.h"
#include "platform/FileLock.h"
#include "platform/HugePages.h"
#include "platform/Numbers.h"
#include "platform/TextCodec.h"

namespace orva {
namespace {

constexpr std::string_view kNotAvailable = "n.d.";  // byte counts and speed the line lacks
constexpr std::string_view kUnknown = "?";
// The size of one read of a log that is streamed.
constexpr std::size_t kLogReadBlock = 1u << 20;
constexpr std::uint64_t kToEnd = ~std::uint64_t{0};

bool IsAscii(std::string_view s) {
  unsigned char acc = 0;
  for (char c : s) acc |= static_cast<unsigned char>(c);
  return acc < 0x80;
}

// Takes the text before the next separator and removes it with the separator. Without a
// separator the field is the rest of the line, so a cut line keeps its fields in place.
std::string_view TakeUntil(std::string_view& rest, char separator) {
  const auto p = rest.find(separator);
  if (p == std::string_view::npos) {
    const std::string_view field = rest;
    rest = {};
    return field;
  }
  const std::string_view field = rest.substr(0, p);
  rest.remove_prefix(p + 1);
  return field;
}

// A trimmed field as the record keeps it: cut to its width and trimmed again, so that a blank
// at the cut does not make the saved line read back differently.
std::string_view TrimmedFieldSlow(std::string_view text) {
  return TrimControls(CutToWidth(TrimControls(text), 24));
}
inline std::string_view TrimmedField(std::string_view text) {
  // The usual field has nothing to trim or cut (inline: this runs for every field of a log).
  if (text.empty() || (text.size() <= 24 && static_cast<unsigned char>(text.front()) > ' ' &&
                       static_cast<unsigned char>(text.back()) > ' '))
    return text;
  return TrimmedFieldSlow(text);
}

// Where the TABs of a line are (the first eleven, and how many in all), whether it is plain
// ASCII, and where its first CR is: one pass over the bytes.
struct LineScan {
  std::size_t tabs = 0;
  std::array<std::size_t, 11> at{};
  bool ascii = true;
  std::size_t cr = std::string_view::npos;
};

#if defined(__SSE2__)
// Sixteen bytes at a time: a million-line log spends much of its reading here.
LineScan ScanLine(std::string_view line) {
  LineScan scan;
  const std::size_t n = line.size();
  const __m128i tab = _mm_set1_epi8('\t'), cr = _mm_set1_epi8('\r');
  unsigned high = 0, crs = 0;
  std::size_t tabs = 0, crAt = 0;
  // The sixteen bytes at `from` stand for line[at, at + 16); only the bits of `keep` count.
  auto block = [&](const char* from, std::size_t at, unsigned keep) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    high |= static_cast<unsigned>(_mm_movemask_epi8(v)) & keep;
    unsigned t = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, tab))) & keep;
    const unsigned c = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr))) & keep;
    if (c && !crs) {
      crs = c;
      crAt = at + static_cast<std::size_t>(__builtin_ctz(c));
    }
    for (; t; t &= t - 1) {
      if (tabs < scan.at.size()) scan.at[tabs] = at + static_cast<std::size_t>(__builtin_ctz(t));
      ++tabs;
    }
  };
  std::size_t at = 0;
  for (; at + 16 <= n; at += 16) block(line.data() + at, at, 0xFFFFu);
  if (at < n && n >= 16) {
    // The last block ends with the line and overlaps the one before: its first bytes were
    // seen there.
    const std::size_t from = n - 16;
    block(line.data() + from, from, 0xFFFFu << (at - from) & 0xFFFFu);
  } else if (at < n) {
    char copy[16] = {};
    std::memcpy(copy, line.data(), n);
    block(copy, 0, (1u << n) - 1);
  }
  scan.tabs = tabs;
  if (crs) scan.cr = crAt;
  scan.ascii = high == 0;
  return scan;
}
#else
LineScan ScanLine(std::string_view line) {
  LineScan scan;
  unsigned char acc = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const auto b = static_cast<unsigned char>(line[i]);
    acc |= b;
    if (b == '\t') {
      if (scan.tabs < scan.at.size()) scan.at[scan.tabs] = i;
      ++scan.tabs;
    } else if (b == '\r' && scan.cr == std::string_view::npos) {
      scan.cr = i;
    }
  }
  scan.ascii = acc < 0x80;
  return scan;
}
#endif

// Splits a UTF-8 line into views of the line itself, of `scratch` or of constants.
void SplitInto(std::string_view line, const LineScan& scan, TConnObj::Fields& out,
               std::string& scratch) {
  if (scan.tabs == 11 && scan.at[10] + 1 == line.size()) {
    // A line as the meter writes it (eleven fields, each ended by its TAB): the usual case,
    // without the checks a cut or older line needs.
    std::size_t from = 0;
    for (std::size_t i = 0; i < 10; ++i) {
      const std::string_view f(line.data() + from, scan.at[i] - from);
      out[i] = i < 8 ? TrimmedField(f) : f;
      from = scan.at[i] + 1;
    }
    const std::string_view service(line.data() + from, scan.at[10] - from);
    out[10] = service.empty() || service == " " ? kUnknown : service;
    return;
  }
  std::string_view rest = line;
  if (scan.tabs > 0) {
    // Field i runs up to TAB i; without one the rest of the line is the field, so a cut line
    // keeps its fields in place.
    std::size_t from = 0;
    auto field = [&](std::size_t i) {
      if (i >= scan.tabs) {
        const std::string_view f = line.substr(std::min(from, line.size()));
        from = line.size();
        return f;
      }
      const std::string_view f = line.substr(from, scan.at[i] - from);
      from = scan.at[i] + 1;
      return f;
    };
    for (std::size_t i = 0; i < 8; ++i) out[i] = TrimmedField(field(i));
    const std::size_t remaining = scan.tabs > 8 ? scan.tabs - 8 : 0;
    if (remaining < 3) {
      out[8] = kNotAvailable;
      out[9] = kNotAvailable;
    } else {
      out[8] = field(8);
      out[9] = field(9);
    }
    rest = line.substr(std::min(from, line.size()));
    if (scan.tabs == 11 && scan.at[10] + 1 == line.size()) {
      // A line as the meter writes it: the service's own TAB ends the line.
      rest = line.substr(from, scan.at[10] - from);
    } else if (scan.tabs > (remaining < 3 ? 8u : 10u)) {
      scratch.clear();
      for (char c : rest)
        if (c != '\t') scratch.push_back(c);
      rest = scratch;
    }
  } else {
    // The older form: seven fields separated by single blanks, then the service.
    for (std::size_t i = 0; i < 7; ++i) out[i] = TrimmedField(TakeUntil(rest, ' '));
    out[7] = kNotAvailable;
    out[8] = kNotAvailable;
    out[9] = kNotAvailable;
  }
  out[10] = rest.empty() || rest == " " ? kUnknown : rest;
}

void SplitInto(std::string_view line, TConnObj::Fields& out, std::string& scratch) {
  SplitInto(line, ScanLine(line), out, scratch);
}

// A field as it goes into a line: a TAB or a line end inside would split the record, so
// each becomes a blank.
void AppendFieldBytes(std::string& out, std::string_view utf8) {
  const std::size_t from = out.size();
  if (IsAscii(utf8))
    out.append(utf8);
  else
    out.append(Utf8ToCp1252(utf8));
  for (std::size_t i = from; i < out.size(); ++i)
    if (out[i] == '\t' || out[i] == '\r' || out[i] == '\n') out[i] = ' ';
}

void AppendLineBytes(std::string& out, const TConnObj& record) {
  for (std::size_t i = 0; i < kLogFieldCount; ++i) {
    AppendFieldBytes(out, record.Field(i));
    out.push_back('\t');
  }
  out.append("\r\n");
}

bool Skipped(const TConnObj& record) {
  return TrimControls(record.Date()) == "?";
}

// Calls `line` for every line of the bytes (CR LF, LF or a lone CR end a line).
template <class F>
void ForEachLine(std::string_view bytes, F&& line) {
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  while (p < end) {
    const char* nl =
        static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    const char* segEnd = nl ? nl : end;
    const char* cr =
        static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(segEnd - p)));
    if (cr && cr + 1 != segEnd) {
      // A lone CR ends a line of its own.
      line(std::string_view(p, static_cast<std::size_t>(cr - p)));
      p = cr + 1;
      continue;
    }
    const char* lineEnd = cr ? cr : segEnd;
    line(std::string_view(p, static_cast<std::size_t>(lineEnd - p)));
    p = nl ? nl + 1 : end;
  }
}

// True when every line of the bytes ends with CR LF (an empty text too).
bool AllLinesEndWithCrLf(std::string_view bytes) {
  if (bytes.empty()) return true;
  if (bytes.size() < 2 || bytes[bytes.size() - 2] != '\r' || bytes.back() != '\n') return false;
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  std::size_t cr = 0, lf = 0;
  for (const char* q = p;
       (q = static_cast<const char*>(std::memchr(q, '\n', static_cast<std::size_t>(end - q))));
       ++q) {
    if (q == p || q[-1] != '\r') return false;
    ++lf;
  }
  for (const char* q = p;
       (q = static_cast<const char*>(std::memchr(q, '\r', static_cast<std::size_t>(end - q)))); ++q)
    ++cr;
  return cr == lf;
}

}  // namespace

std::array<std::string, 12> SplitLogLine(std::string_view line, long long lineNumber) {
  TConnObj::Fields fields;
  std::string scratch;
  SplitInto(line, fields, scratch);
  std::array<std::string, 12> out;
  out[0] = std::to_string(lineNumber);
  for (std::size_t i = 0; i < kLogFieldCount; ++i) out[i + 1] = std::string(fields[i]);
  return out;
}

TConnObj ParseLogRecord(std::string_view utf8Line) {
  TConnObj::Fields fields;
  std::string scratch;
  SplitInto(utf8Line, fields, scratch);
  return TConnObj(fields);
}

namespace {

// Splits every record line of the bytes and hands its fields on.
template <class F>
void ForEachRecordLine(std::string_view bytes, bool tabLinesOnly, F&& row) {
  TConnObj::Fields fields;
  std::string scratch, decoded;
  auto record = [&](std::string_view line, const LineScan& scan) {
    // Windows-1252 has one byte per character, so the byte count is the length.
    if (line.size() < kMinLogLineLength) return;
    if (tabLinesOnly && scan.tabs == 0) return;
    if (!scan.ascii) {
      decoded = Cp1252ToUtf8(line);
      SplitInto(decoded, fields, scratch);
    } else {
      SplitInto(line, scan, fields, scratch);
    }
    row(fields);
  };
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  while (p < end) {
    const char* nl =
        static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    std::string_view line(p, static_cast<std::size_t>((nl ? nl : end) - p));
    const LineScan scan = ScanLine(line);
    if (scan.cr != std::string_view::npos && scan.cr + 1 != line.size()) {
      // A lone CR ends a line of its own.
      const std::string_view before = line.substr(0, scan.cr);
      record(before, ScanLine(before));
      p += scan.cr + 1;
      continue;
    }
    // A CR at the end is not a TAB, so the scan stands for the line without it.
    if (scan.cr != std::string_view::npos) line.remove_suffix(1);
    record(line, scan);
    p = nl ? nl + 1 : end;
  }
}

// Calls `block` with the whole lines of the bytes [from, to) of an open log file a block at a
// time, as stored (to the file's end when `to` is kToEnd). `from` is a line's start.
Status ForEachLogBlock(int fd, const std::string& path, std::uint64_t from, std::uint64_t to,
                       const std::function<void(std::string_view lines)>& block) {
  // Whole lines go to the parser; the part of a line a block cuts waits at the front of the
  // buffer for the rest. A '\n' always ends a line, so a cut there never splits one.
  std::string buffer(kLogReadBlock, '\0');
  std::size_t filled = 0;
  std::uint64_t at = from;
  for (;;) {
    if (filled == buffer.size()) buffer.resize(buffer.size() * 2);  // one line longer than all
    std::size_t want = buffer.size() - filled;
    if (to != kToEnd) want = static_cast<std::size_t>(std::min<std::uint64_t>(want, to - at));
    const ssize_t got =
        want == 0 ? 0 : ::pread(fd, buffer.data() + filled, want, static_cast<off_t>(at));
    if (got < 0) {
      if (errno == EINTR) continue;
      return Status::Fail(path + ": " + SystemErrorText(errno));
    }
    if (got == 0) {
      if (filled > 0) block(std::string_view(buffer.data(), filled));
      return {};
    }
    at += static_cast<std::uint64_t>(got);
    filled += static_cast<std::size_t>(got);
    const std::string_view bytes(buffer.data(), filled);
    const std::size_t lastEnd = bytes.rfind('\n');
    if (lastEnd == std::string_view::npos) continue;
    block(bytes.substr(0, lastEnd + 1));
    const std::size_t rest = filled - (lastEnd + 1);
    std::memmove(buffer.data(), buffer.data() + lastEnd + 1, rest);
    filled = rest;
    // After a long line the buffer goes back to its usual size.
    if (buffer.size() > kLogReadBlock && filled < kLogReadBlock) {
      buffer.resize(kLogReadBlock);
      buffer.shrink_to_fit();
    }
  }
}

// The start of the first line at or after `at` (the file's size when no line starts there).
Result<std::uint64_t> NextLineStart(int fd, const std::string& path, std::uint64_t at,
                                    std::uint64_t size) {
  if (at == 0) return Result<std::uint64_t>::Ok(0);
  char chunk[4096];
  // The line that holds the byte before `at` ends at the first '\n' from there on.
  for (std::uint64_t p = at - 1; p < size;) {
    const ssize_t got = ::pread(fd, chunk, sizeof chunk, static_cast<off_t>(p));
    if (got < 0) {
      if (errno == EINTR) continue;
      return Result<std::uint64_t>::Fail(path + ": " + SystemErrorText(errno));
    }
    if (got == 0) break;
    if (const void* nl = std::memchr(chunk, '\n', static_cast<std::size_t>(got)))
      return Result<std::uint64_t>::Ok(
          p + static_cast<std::uint64_t>(static_cast<const char*>(nl) - chunk) + 1);
    p += static_cast<std::uint64_t>(got);
  }
  return Result<std::uint64_t>::Ok(size);
}

class OpenFile {
 public:
  explicit OpenFile(const std::string& path) : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~OpenFile() {
    if (m_fd >= 0) ::close(m_fd);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  int Fd() const { return m_fd; }

 private:
  int m_fd;
};

}  // namespace

Status ForEachLogRecordInFile(const std::string& path,
                              const std::function<void(const TConnObj::Fields&)>& row) {
  const OpenFile file(path);
  if (file.Fd() < 0) return Status::Fail(path + ": " + SystemErrorText(errno));
  ::posix_fadvise(file.Fd(), 0, 0, POSIX_FADV_SEQUENTIAL);
  return ForEachLogBlock(file.Fd(), path, 0, kToEnd,
                         [&row](std::string_view lines) { ForEachRecordLine(lines, false, row); });
}

Status ForEachLogRecordInFileSplit(
    const std::string& path, std::size_t parts,
    const std::function<void(std::size_t part, const TConnObj::Fields&)>& row) {
  const OpenFile file(path);
  if (file.Fd() < 0) return Status::Fail(path + ": " + SystemErrorText(errno));
  struct stat st {};
  if (::fstat(file.Fd(), &st) != 0) return Status::Fail(path + ": " + SystemErrorText(errno));
  const auto size = static_cast<std::uint64_t>(std::max<off_t>(st.st_size, 0));
  // A piece is worth a thread from a few blocks up.
  parts = std::clamp<std::size_t>(std::min<std::uint64_t>(parts, size / (4 * kLogReadBlock) + 1), 1,
                                  64);
  // Piece k runs from starts[k] to starts[k + 1]; the last one to the end, however far the
  // meter has written by then.
  std::vector<std::uint64_t> starts(parts + 1, kToEnd);
  starts[0] = 0;
  for (std::size_t k = 1; k < parts; ++k) {
    const auto next = NextLineStart(file.Fd(), path, size / parts * k, size);
    if (!next) return Status::Fail(next.error);
    starts[k] = std::max(starts[k - 1], *next);
  }
  std::vector<Status> outcome(parts);
  auto read = [&](std::size_t k) {
    outcome[k] = ForEachLogBlock(
        file.Fd(), path, starts[k], starts[k + 1], [&row, k](std::string_view lines) {
          ForEachRecordLine(lines, false, [&row, k](const auto& fields) { row(k, fields); });
        });
  };
  std::vector<std::thread> threads;
  threads.reserve(parts - 1);
  for (std::size_t k = 1; k < parts; ++k) {
    try {
      threads.emplace_back(read, k);
    } catch (const std::system_error&) {
      read(k);  // no thread to be had (a process limit): the piece is read here
    }
  }
  read(0);
  for (std::thread& t : threads) t.join();
  for (Status& s : outcome)
    if (!s) return s;
  return {};
}

std::vector<TConnObj> ParseLogBytes(std::string_view bytes, bool tabLinesOnly) {
  std::vector<TConnObj> records;
  records.reserve(bytes.size() / 64 + 1);
  AdviseHugePages(records.data(), records.capacity() * sizeof(TConnObj));
  RecordTextArena texts(bytes.size());
  ForEachRecordLine(bytes, tabLinesOnly,
                    [&](const TConnObj::Fields& fields) { records.emplace_back(fields, texts); });
  return records;
}

LoadOutcome LoadLogFile(const std::string& path, std::vector<TConnObj>& records) {
  LoadOutcome out;
  if (!FileExists(path)) return out;
  out.existed = true;
  auto bytes = ReadFileBytes(path);
  if (!bytes) {
    out.status = Status::Fail(bytes.error);
    return out;
  }
  records = ParseLogBytes(*bytes);
  return out;
}

std::string FormatLogLine(const TConnObj& record) {
  std::string bytes;
  AppendLineBytes(bytes, record);
  bytes.resize(bytes.size() - 2);
  return IsAscii(bytes) ? bytes : Cp1252ToUtf8(bytes);
}

std::string FormatLogLine(const TConnObj::Fields& fields) {
  std::string out;
  for (const auto& f : fields) {
    const std::size_t from = out.size();
    out.append(f);
    for (std::size_t i = from; i < out.size(); ++i)
      if (out[i] == '\t' || out[i] == '\r' || out[i] == '\n') out[i] = ' ';
    out.push_back('\t');
  }
  return out;
}

std::string EncodeLogRecords(const std::vector<TConnObj>& records) {
  std::string out;
  out.reserve(records.size() * 96);
  for (const auto& r : records)
    if (!Skipped(r)) AppendLineBytes(out, r);
  return out;
}

std::string EncodeLogRecords(const std::vector<TConnObj>& records,
                             const std::vector<std::size_t>& indices) {
  std::string out;
  for (const std::size_t i : indices)
    if (i < records.size() && !Skipped(records[i])) AppendLineBytes(out, records[i]);
  return out;
}

Status SaveLogFile(const std::vector<TConnObj>& records, const std::string& path,
                   const SafeWriteOptions& options) {
  return ReplaceFile(path, EncodeLogRecords(records), options);
}

std::string FormatLogCost(double cost, int decimals) {
  if (!std::isfinite(cost)) cost = 0;
  const std::string text = FormatFixed(cost, cost == std::floor(cost) ? 0 : decimals);
  return std::string(CutToWidth(text, 30));
}

std::string FormatLogTime(TDateTime value) {
  return FormatDateTime("hh:nn:ss", value);
}

std::string FormatLogDuration(TDateTime start, TDateTime end) {
  const double seconds = (WholeSeconds(end) - WholeSeconds(start)) * kSecondsPerDay;
  if (!std::isfinite(seconds) || seconds <= 0) return FormatDuration(0);
  return FormatDuration(std::llround(std::min(seconds, 1e15)));
}

AppendOutcome AppendLogRecord(const LogCall& call, const AppendOptions& options) {
  AppendOutcome out;
  std::string path = options.logPath;
  if (path.empty() && options.chooseLogFile) {
    if (auto chosen = options.chooseLogFile()) path = *chosen;
  }
  if (path.empty()) {
    path = DataPath(options.dataDir).Found(kDefaultLogName);
    out.usedDefaultPath = true;
  }
  // A log in a folder that is gone goes to the program directory under its own name.
  const std::string dir = DirectoryOf(path);
  if (dir.empty() || !DirectoryExists(dir)) path = DataPath(options.dataDir).File(FileNameOf(path));
  out.logPath = path;

  // A TAB or a line end in a text would break the record apart.
  auto oneLine = [](std::string text) {
    for (char& c : text)
      if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return text;
  };
  const std::string tariff = oneLine(call.tariff), received = oneLine(call.received),
                    sent = oneLine(call.sent), service = oneLine(call.service);
  const std::string date = DateToStr(call.start);
  const std::string start = FormatLogTime(call.start);
  const std::string end = FormatLogTime(call.end);
  const std::string duration = call.durationSeconds >= 0 ? FormatDuration(call.durationSeconds)
                                                         : FormatLogDuration(call.start, call.end);
  const std::string ticks = oneLine(std::string(CutToWidth(call.ticks, 30)));
  const std::string cost = FormatLogCost(call.cost, options.decimals);
  const std::string speed = call.speed.empty() ? std::string("n.d") : oneLine(call.speed);
  const TConnObj::Fields fields = {date, start, end,      duration, tariff, ticks,
                                   cost, speed, received, sent,     service};
  out.line = FormatLogLine(fields);
  out.record = TConnObj(fields);

  // Held from the read to the rename: a call appended while another writer rewrites the log
  // would otherwise be lost.
  const Result<FileUpdateLock> lock = LockForUpdate(path);
  if (!lock) {
    out.status = Status::Fail(lock.error);
    return out;
  }
  std::string bytes;
  if (FileExists(path)) {
    auto old = ReadFileBytes(path);
    if (!old) {
      out.status = Status::Fail(old.error);
      return out;
    }
    bytes = std::move(*old);
    if (!AllLinesEndWithCrLf(bytes)) {
      // Lines with other ends (or a last line without one) are written back with CR LF.
      std::string normalized;
      normalized.reserve(bytes.size() + 64);
      ForEachLine(bytes, [&](std::string_view l) {
        normalized.append(l);
        normalized.append("\r\n");
      });
      bytes = std::move(normalized);
    }
  }
  bytes.append(IsAscii(out.line) ? out.line : Utf8ToCp1252(out.line));
  bytes.append("\r\n");
  out.status = ReplaceFile(path, bytes, options.write);
  return out;
}

Result<std::string> SetLogRecordService(const std::string& path, const std::string& line,
                                        const std::string& service,
                                        const SafeWriteOptions& options) {
  using R = Result<std::string>;
  const Result<FileUpdateLock> lock = LockForUpdate(path);
  if (!lock) return R::Fail(lock.error);
  auto read = ReadFileBytes(path);
  if (!read) return R::Fail(read.error);
  std::string& bytes = *read;
  auto encode = [](const std::string& utf8) {
    return (IsAscii(utf8) ? utf8 : Utf8ToCp1252(utf8)) + "\r\n";
  };
  const std::string old = encode(line);
  std::size_t at = bytes.rfind(old);
  while (at != std::string::npos && at > 0 && bytes[at - 1] != '\n')
    at = at == 0 ? std::string::npos : bytes.rfind(old, at - 1);
  if (at == std::string::npos) return R::Fail("Connessione non trovata nel file log");
  TConnObj record = ParseLogRecord(line);
  std::string text = service;
  for (char& c : text)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  record.Set(LogField::Service, text);
  std::string changed = FormatLogLine(record);
  bytes.replace(at, old.size(), encode(changed));
  const Status written = ReplaceFile(path, bytes, options);
  if (!written) return R::Fail(written.error);
  return R::Ok(std::move(changed));
}

std::string NormalizeServiceText(std::string_view text) {
  const std::string_view t = TrimControls(text);
  return t.empty() ? std::string("?") : std::string(t);
}

std::string BuildServiceText(int callKind, std::string_view party, std::string_view number) {
  static constexpr std::string_view kKinds[] = {"Sconosciuto", "Generico", "Modem",
                                                "FAX G3",      "FAX G4",   "A voce"};
  if (callKind < 0 || callKind > 5) callKind = 0;
  std::string text = std::string(kKinds[callKind]) + ": ";
  text = std::string(CutToWidth(text, 17));
  text += party;
  if (!number.empty()) text += " (" + std::string(number) + ")";
  return NormalizeServiceText(text);
}

}  // namespace orva

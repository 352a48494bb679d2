// Reading and writing Windows-1252 CR LF text files.
#include "platform/TextFile.h"

#include "platform/TextCodec.h"

namespace orva {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\n' && c != '\r') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

Result<std::vector<std::string>> ReadTextLines(const std::string& path) {
  auto bytes = ReadFileBytes(path);
  if (!bytes) return Result<std::vector<std::string>>::Fail(bytes.error);
  return Result<std::vector<std::string>>::Ok(SplitLines(Cp1252ToUtf8(*bytes)));
}

std::string EncodeTextLines(const std::vector<std::string>& lines) {
  std::string out;
  std::size_t total = 0;
  for (const auto& l : lines) total += l.size() + 2;
  out.reserve(total);
  for (const auto& l : lines) {
    out += Utf8ToCp1252(l);
    out += "\r\n";
  }
  return out;
}

Status WriteTextLines(const std::string& path, const std::vector<std::string>& lines,
                      const SafeWriteOptions& options) {
  return ReplaceFile(path, EncodeTextLines(lines), options);
}

}  // namespace orva

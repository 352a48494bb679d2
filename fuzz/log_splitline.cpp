// Fuzzes the log line parser: any bytes load as records, every record survives a save and a
// reload unchanged, and the totals and every column sort run on whatever was loaded.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "log/LogFile.h"
#include "log/LogSort.h"
#include "log/LogTotals.h"
#include "platform/TextCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // One line as the import and the paste split it.
  const std::string first = orva::Cp1252ToUtf8(bytes.substr(0, bytes.find_first_of("\r\n")));
  const auto parts = orva::SplitLogLine(first, 7);
  if (parts[0] != "7" || parts[11].empty()) __builtin_trap();

  std::vector<orva::TConnObj> records = orva::ParseLogBytes(bytes);
  std::vector<orva::TConnObj> kept;
  for (const auto& r : records) {
    for (std::size_t f = 0; f < orva::kLogFieldCount; ++f) {
      if (orva::Utf8Length(r.Field(f)) > orva::LogFieldWidth(static_cast<orva::LogField>(f)))
        __builtin_trap();
    }
    if (orva::TrimControls(r.Date()) != "?") kept.push_back(r);
  }
  // Save and reload: the same records, nothing lost or shifted.
  if (orva::ParseLogBytes(orva::EncodeLogRecords(records)) != kept) __builtin_trap();

  orva::ComputeLogTotals(records, 2, 0.2);
  const int column = size > 0 ? data[0] % orva::kLogColumnCount : 1;
  orva::SortLogRecords(records, column, size > 1 && (data[1] & 1));
  return 0;
}

// The /proc/net parsers on arbitrary bytes: tables and the protocol counters.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "net/MibAgent.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const auto& row : orva::ParseProcSocketTable(text, true)) {
    if (row.localPort > 0xFFFF || row.remotePort > 0xFFFF || row.state < 0 || row.state > 12)
      __builtin_trap();
  }
  (void)orva::ParseProcSocketTable(text, false);
  (void)orva::ParseProcSnmp(text);
  return 0;
}

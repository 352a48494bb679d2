// The hosts line rule and the line-keeping rewrite on arbitrary bytes: lines the rule does not
// take must come out unchanged, and a render of the parsed entries must parse back the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "net/Hosts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (bool system : {true, false}) {
    const orva::HostsFile f = orva::HostsFile::Parse(bytes, system);
    // Nothing changed: every line comes back as it was (a missing last line end aside).
    const std::string again = f.Render(f.entries);
    const std::string_view expected = bytes;
    if (again != expected && again.substr(0, expected.size()) != expected) {
      // Unwritable entries ("?") drop their lines; only then may the text differ.
      bool anyUnwritable = false;
      for (const auto& e : f.entries) anyUnwritable |= !orva::IsWritable(e);
      if (!anyUnwritable) __builtin_trap();
    }
    std::vector<orva::TIpaddr> list = f.entries;
    orva::MergeInto(list, f.entries);
    (void)f.Render(list);
  }
  (void)orva::IsValidHostName(bytes);
  (void)orva::IsIPv4Address(bytes);
  return 0;
}

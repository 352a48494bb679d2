// Fuzzes the POP3.LST reader: any bytes give records whose texts fit their fields, and the
// records written back read the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/MailBoxes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const auto records = orva::DecodePop3List(bytes);
  if (records.size() != size / orva::kPop3RecordSize) std::abort();
  const std::string again = orva::EncodePop3List(records);
  if (orva::DecodePop3List(again) != records) std::abort();
  return 0;
}

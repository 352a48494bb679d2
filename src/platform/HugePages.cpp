#include "platform/HugePages.h"

#include <sys/mman.h>

#include <cstdint>

namespace orva {

void AdviseHugePages(const void* data, std::size_t bytes) {
  if (!data || bytes < kHugePageWorthy) return;
  constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
  const auto from = (reinterpret_cast<std::uintptr_t>(data) + kHuge - 1) & ~(kHuge - 1);
  const auto to = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(kHuge - 1);
  if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

}  // namespace orva

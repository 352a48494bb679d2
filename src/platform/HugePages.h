// Large working memory in huge pages: a million log records or a large file read at once
// touch hundreds of megabytes, and taken four kilobytes at a time the page faults cost more
// than the work (three quarters of a log's loading on a virtual machine). The system gives
// huge pages to memory that asks for them; where it does not, nothing changes.
#pragma once

#include <cstddef>

namespace orva {

// Below this a buffer is not worth the asking.
inline constexpr std::size_t kHugePageWorthy = std::size_t{4} << 20;

// Asks huge pages for the whole huge pages inside [data, data + bytes), before they are first
// written. Only a hint: it never fails the caller.
void AdviseHugePages(const void* data, std::size_t bytes);

}  // namespace orva

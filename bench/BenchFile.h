// Writing the benchmarks' input files: a file that cannot be written ends the run, since
// the figures would measure nothing.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/SafeFile.h"

namespace orva::bench {

inline void WriteInput(const std::string& path, const std::string& bytes) {
  if (const Status st = ReplaceFile(path, bytes); !st) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), st.error.c_str());
    std::exit(1);
  }
}

}  // namespace orva::bench

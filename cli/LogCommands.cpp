// orva32cli commands of this group.
#include "Commands.h"

namespace orva::cli {

int RunLog(const std::vector<std::string>&) { return NotYetAvailable("log"); }

}  // namespace orva::cli

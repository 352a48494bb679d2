// orva32cli commands of this group.
#include "Commands.h"

namespace orva::cli {

int RunBill(const std::vector<std::string>&) { return NotYetAvailable("bill"); }

}  // namespace orva::cli

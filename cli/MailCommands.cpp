// orva32cli commands of this group.
#include "Commands.h"

namespace orva::cli {

int RunTime(const std::vector<std::string>&) { return NotYetAvailable("time"); }

int RunMail(const std::vector<std::string>&) { return NotYetAvailable("mail"); }

}  // namespace orva::cli

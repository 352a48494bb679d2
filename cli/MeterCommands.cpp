// orva32cli commands of this group.
#include "Commands.h"

namespace orva::cli {

int RunMeter(const std::vector<std::string>&) { return NotYetAvailable("meter"); }

int RunSend(const std::vector<std::string>&) { return NotYetAvailable("send"); }

int RunSimulateCall(const std::vector<std::string>&) { return NotYetAvailable("simulate-call"); }

}  // namespace orva::cli

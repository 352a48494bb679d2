// orva32cli commands of this group.
#include "Commands.h"

namespace orva::cli {

int RunTariff(const std::vector<std::string>&) { return NotYetAvailable("tariff"); }

int RunEaster(const std::vector<std::string>&) { return NotYetAvailable("easter"); }

}  // namespace orva::cli

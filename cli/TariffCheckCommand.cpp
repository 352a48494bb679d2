// orva32cli tariff check: the tariff editor's complete test applied to a file.
#include "Commands.h"

namespace orva::cli {

int RunTariffCheck(const std::vector<std::string>&) { return NotYetAvailable("tariff check"); }

}  // namespace orva::cli

// orva32cli commands of this group.
#include "Commands.h"

namespace orva::cli {

int RunNetstat(const std::vector<std::string>&) { return NotYetAvailable("netstat"); }

int RunHosts(const std::vector<std::string>&) { return NotYetAvailable("hosts"); }

int RunDns(const std::vector<std::string>&) { return NotYetAvailable("dns"); }

}  // namespace orva::cli

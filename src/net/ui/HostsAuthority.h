// The privileged hosts helper run through pkexec (one authorisation asked by the desktop's
// polkit agent), with an argument vector and the entries on its standard input.
#pragma once

#include <string>

#include "net/HostsUpkeep.h"

namespace orva {

class PkexecHostsAuthority final : public HostsAuthority {
 public:
  // The installed helper, else the one beside the running program (a build tree).
  static std::string HelperPath();
  // The events of the window go on while the authorisation is asked.
  Status RunHelper(const std::string& input) override;
};

}  // namespace orva

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
  // Without an installed helper there is nobody to ask: the program writes the file itself and
  // reports the system's error when it cannot.
  bool CanWrite(const std::string& path) const override;
  // The events of the window go on while the authorisation is asked.
  Status RunHelper(const std::string& input) override;
};

}  // namespace orva

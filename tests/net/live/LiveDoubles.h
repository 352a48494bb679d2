// What the live tests against real servers on loopback put around the network code: no name
// lookups (they connect to dotted addresses only) and a mail view that records what it shows.
#pragma once

#include <string>

#include "net/Mail.h"
#include "platform/Network.h"

namespace orva::test {

class NoResolver final : public Resolver {
 public:
  int LookupName(const std::string&, Callback) override { return -1; }
  int LookupAddress(const std::string&, Callback) override { return -1; }
  void Abort(int) override {}
};

class RecordingMailView final : public MailView {
 public:
  void SetPop3Label(const std::string& t) override { label = t; }
  void SetMailIcon(bool, bool) override {}
  void SetMailIconHint(const std::string& h) override { hint = h; }
  void RefreshDisplay() override {}
  void PlayNewMailSound() override {}
  void ShowNewMailBox() override { ++boxes; }
  std::string label, hint;
  int boxes = 0;
};

}  // namespace orva::test

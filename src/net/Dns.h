// The DNS panel (MPanel5): lookups of a name or an address on demand, and the automatic
// reverse lookups of the visited servers, through the asynchronous Resolver.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "net/Url.h"
#include "platform/Clock.h"
#include "platform/Network.h"

namespace orva {

// The automatic resolver's state: the next visited entry to resolve (-1: none yet) and whether
// no automatic lookup is running. Busy between calls, so the panel works only during one.
struct ResolverState {
  int nextIndex = -1;
  bool idle = false;
};

class DnsPanel {
 public:
  // Lookup kinds.
  static constexpr int kAddressToName = 1;  // HostBtn
  static constexpr int kNameToAddress = 2;  // AddrBtn
  static constexpr int kVisitedServer = 3;  // automatic

  DnsPanel(Resolver& resolver, const Clock& clock, VisitedList& visited, ResolverState& state);
  ~DnsPanel();
  DnsPanel(const DnsPanel&) = delete;
  DnsPanel& operator=(const DnsPanel&) = delete;

  // The controls' contents and states.
  std::string HostEdit = "127.0.0.1";
  std::string AddrEdit = "localhost";
  std::vector<std::string> DisplayMemo;
  bool HostBtnEnabled = true;
  bool AddrBtnEnabled = true;
  bool CancelButtonEnabled = false;
  static const char* const kHostBtnHint;
  static const char* const kAddrBtnHint;
  static const char* const kCancelButtonHint;

  // Do nothing unless the resolver is idle.
  void HostBtnClick();
  void AddrBtnClick();
  // Cancels the pending lookups; each completes as failed, so the buttons come back.
  void CancelButtonClick();
  // Only digits, ".", backspace and Enter are typed into HostEdit.
  static bool HostEditKeyPress(char key);

  // Starts kind 1 or 2 whatever the resolver's state (the command-line tool's lookups).
  void StartManualLookup(int kind);
  // The automatic reverse lookup of visited entry `index` (the resolver turns busy).
  void StartAutomaticLookup(int index);
  // Drops a running automatic lookup without a completion (the call has ended).
  void AbortAutomatic();
  bool LookupPending() const { return !m_pending.empty(); }

  // After every change of the controls' contents.
  std::function<void()> OnChange;
  // After each completion: the kind and whether it succeeded.
  std::function<void(int kind, bool ok)> OnLookupDone;

 private:
  struct Lookup {
    int id = 0;
    int kind = 0;
    std::string name;  // what was looked up, for the completion text
    int index = -1;    // kind 3: the visited entry
    bool verifying = false;
    std::string answer;  // kind 3: the reverse answer being checked
  };
  void Start(int kind, std::string name, int index);
  void Launch(Lookup lookup, bool forward, const std::string& what);
  void WSocket1DnsLookupDone(Lookup lookup, const LookupResult& result);
  void Finish(const Lookup& lookup, bool ok, const std::string& answer);
  void Changed() {
    if (OnChange) OnChange();
  }

  Resolver& m_resolver;
  const Clock& m_clock;
  VisitedList& m_visited;
  ResolverState& m_state;
  std::vector<Lookup> m_pending;
};

}  // namespace orva

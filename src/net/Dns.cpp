// The DNS panel's lookups and completion texts.
#include "net/Dns.h"

#include <algorithm>

#include "net/Hosts.h"
#include "platform/TextCodec.h"
#include "platform/Trim.h"

namespace orva {

namespace {}  // namespace

const char* const DnsPanel::kHostBtnHint =
    "Ricerca DNS.\r\nDall'indirizzo IP al nome host\r\nes. 127.0.0.1 -> localhost";
const char* const DnsPanel::kAddrBtnHint =
    "Ricerca DNS.\r\nDal nome host all'indirizzo IP\r\nes. localhost -> 127.0.0.1";
const char* const DnsPanel::kCancelButtonHint = "Annulla la ricerca in corso";

DnsPanel::DnsPanel(Resolver& resolver, const Clock& clock, VisitedList& visited,
                   ResolverState& state)
    : m_resolver(resolver), m_clock(clock), m_visited(visited), m_state(state) {}

DnsPanel::~DnsPanel() {
  for (const Lookup& l : m_pending) m_resolver.Abort(l.id);
}

bool DnsPanel::HostEditKeyPress(char key) {
  return (key >= '0' && key <= '9') || key == '.' || key == '\b' || key == '\r';
}

void DnsPanel::HostBtnClick() {
  if (m_state.idle) StartManualLookup(kAddressToName);
}

void DnsPanel::AddrBtnClick() {
  if (m_state.idle) StartManualLookup(kNameToAddress);
}

void DnsPanel::StartManualLookup(int kind) {
  std::string& field = kind == kAddressToName ? HostEdit : AddrEdit;
  field = std::string(TrimControls(field));
  Start(kind, field, -1);
}

void DnsPanel::StartAutomaticLookup(int index) {
  if (index < 0 || index >= m_visited.Count()) return;
  m_state.idle = false;
  HostEdit = m_visited[index].address;
  Start(kVisitedServer, HostEdit, index);
}

void DnsPanel::Start(int kind, std::string name, int index) {
  DisplayMemo.clear();
  DisplayMemo.push_back("Resolving host '" + name + "'");
  HostBtnEnabled = false;
  AddrBtnEnabled = false;
  CancelButtonEnabled = true;
  Lookup l;
  l.kind = kind;
  l.name = name;
  l.index = index;
  Changed();
  Launch(std::move(l), kind == kNameToAddress, name);
}

void DnsPanel::Launch(Lookup lookup, bool forward, const std::string& what) {
  // Each lookup keeps its own kind, so a manual and an automatic lookup may overlap and
  // each completion finds its own owner.
  auto slot = std::make_shared<int>(0);
  auto done = [this, lookup, slot](const LookupResult& r) mutable {
    lookup.id = *slot;
    WSocket1DnsLookupDone(lookup, r);
  };
  const int id = forward ? m_resolver.LookupName(what, done) : m_resolver.LookupAddress(what, done);
  *slot = id;
  lookup.id = id;
  m_pending.push_back(std::move(lookup));
}

void DnsPanel::WSocket1DnsLookupDone(Lookup lookup, const LookupResult& result) {
  const auto it = std::find_if(m_pending.begin(), m_pending.end(),
                               [&](const Lookup& l) { return l.id == lookup.id; });
  if (it == m_pending.end()) return;  // cancelled meanwhile
  m_pending.erase(it);
  if (lookup.kind != kVisitedServer) {
    std::string answer;
    bool ok = result.ok;
    if (ok && lookup.kind == kNameToAddress) {
      ok = !result.addresses.empty();
      if (ok) answer = result.addresses.front();
    } else if (ok) {
      answer = result.name;
    }
    Finish(lookup, ok, answer);
    return;
  }
  if (!lookup.verifying) {
    // A reverse answer is the owner of the address's reverse zone speaking: it becomes the
    // entry's name only if it is a host name whose forward lookup gives the address back.
    if (!result.ok || !IsValidHostName(result.name)) {
      Finish(lookup, false, {});
      return;
    }
    lookup.verifying = true;
    lookup.answer = result.name;
    const std::string name = result.name;
    Launch(std::move(lookup), true, name);
    return;
  }
  // Compared in their usual text, so that two spellings of one IPv6 address agree.
  const std::string wanted = CanonicalAddress(lookup.name);
  const bool confirmed =
      result.ok && std::any_of(result.addresses.begin(), result.addresses.end(),
                               [&](const std::string& a) { return CanonicalAddress(a) == wanted; });
  Finish(lookup, confirmed, lookup.answer);
}

void DnsPanel::Finish(const Lookup& lookup, bool ok, const std::string& answer) {
  // The buttons come back when the last pending lookup has ended.
  if (m_pending.empty()) {
    CancelButtonEnabled = false;
    HostBtnEnabled = true;
    AddrBtnEnabled = true;
  }
  if (!ok) {
    DisplayMemo.clear();
    DisplayMemo.push_back("Unknown Host '" + lookup.name + "'");
  } else if (lookup.kind != kVisitedServer) {
    DisplayMemo.push_back("Host '" + lookup.name + "' is " + answer);
  } else {
    DisplayMemo.clear();
    DisplayMemo.push_back("Resolved Host '" + lookup.name + "' is " + answer + "  at " +
                          FormatDateTime("mm-dd-yyyy hh.nn.ss", m_clock.Now()));
    if (lookup.index >= 0 && lookup.index < m_visited.Count() &&
        m_visited[lookup.index].address == lookup.name)
      m_visited[lookup.index].host.hostName = Utf8Left(answer, 255);
  }
  if (lookup.kind == kVisitedServer) {
    ++m_state.nextIndex;
    m_state.idle = true;
  }
  Changed();
  if (OnLookupDone) OnLookupDone(lookup.kind, ok);
}

void DnsPanel::CancelButtonClick() {
  std::vector<Lookup> cancelled;
  cancelled.swap(m_pending);
  for (const Lookup& l : cancelled) m_resolver.Abort(l.id);
  for (const Lookup& l : cancelled) Finish(l, false, {});
}

void DnsPanel::AbortAutomatic() {
  for (auto it = m_pending.begin(); it != m_pending.end();) {
    if (it->kind == kVisitedServer) {
      m_resolver.Abort(it->id);
      it = m_pending.erase(it);
    } else {
      ++it;
    }
  }
  if (m_pending.empty()) {
    CancelButtonEnabled = false;
    HostBtnEnabled = true;
    AddrBtnEnabled = true;
  }
  // The panel shows the buttons back.
  Changed();
}

}  // namespace orva

// Test doubles of the network tests: a resolver answered by hand and an agent that plays a
// scripted sequence of answers.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "net/MibAgent.h"
#include "platform/Network.h"

namespace orva::test {

class FakeResolver final : public Resolver {
 public:
  struct Pending {
    int id;
    bool forward;
    std::string what;
    Callback done;
  };
  int LookupName(const std::string& name, Callback done) override {
    pending.push_back({++m_next, true, name, std::move(done)});
    return m_next;
  }
  int LookupAddress(const std::string& address, Callback done) override {
    pending.push_back({++m_next, false, address, std::move(done)});
    return m_next;
  }
  void Abort(int id) override {
    aborted.push_back(id);
    std::erase_if(pending, [id](const Pending& p) { return p.id == id; });
  }
  // Completes the oldest pending lookup (or the one with `id`).
  void Complete(LookupResult r, int id = 0) {
    for (auto it = pending.begin(); it != pending.end(); ++it) {
      if (id && it->id != id) continue;
      Pending p = std::move(*it);
      pending.erase(it);
      p.done(r);
      return;
    }
  }
  static LookupResult Name(std::string n) { return {true, {}, std::move(n), {}}; }
  static LookupResult Addresses(std::vector<std::string> a) { return {true, std::move(a), {}, {}}; }
  static LookupResult Failed() { return {false, {}, {}, "Host not found"}; }

  std::deque<Pending> pending;
  std::vector<int> aborted;

 private:
  int m_next = 0;
};

// Answers each GetNext with the next scripted binding (name, type, value), whatever was asked.
class ScriptedAgent final : public MibAgent {
 public:
  struct Answer {
    std::uint8_t type;
    std::int64_t integer = 0;
    std::array<std::uint8_t, 4> address{};
    bool fail = false;
  };
  bool SnmpExtensionInit(std::uint64_t) override { return initOk; }
  bool SnmpExtensionQuery(std::uint8_t, SnmpVarBind& b, std::int32_t&, std::int32_t&) override {
    ++queries;
    if (answers.empty()) {
      b.type = kAsnNull;
      return true;
    }
    Answer a = answers.front();
    answers.pop_front();
    if (a.fail) return false;
    b.name.push_back(1);  // any name after the request
    b.type = a.type;
    b.integer = a.integer;
    b.address = a.address;
    return true;
  }
  std::deque<Answer> answers;
  bool initOk = true;
  int queries = 0;
};

}  // namespace orva::test

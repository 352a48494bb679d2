// Datagram sockets and a resolver that only move when the test says: the test sees what was
// sent and delivers datagrams and lookup answers by hand.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Network.h"

namespace orva::test {

class FakeNetwork final : public NetworkFactory, public Resolver {
 public:
  struct Datagram {
    std::string to;
    std::uint16_t port;
    std::string bytes;
  };
  class Udp final : public DatagramSocket {
   public:
    explicit Udp(FakeNetwork& net) : m_net(net) {}
    bool Bind(std::uint16_t port, std::string& error) override {
      if (m_net.refusedPorts.count(port)) {
        error = "Permission denied";
        return false;
      }
      bound = true;
      localPort = port;
      return true;
    }
    void SendTo(const std::string& address, std::uint16_t port, std::string_view b) override {
      m_net.sent.push_back({address, port, std::string(b)});
      m_net.lastSender = this;
    }
    void Close() override { bound = false; }
    bool bound = false;
    std::uint16_t localPort = 0;

   private:
    FakeNetwork& m_net;
  };

  std::unique_ptr<StreamSocket> CreateStreamSocket() override { return nullptr; }
  std::unique_ptr<DatagramSocket> CreateDatagramSocket() override {
    auto s = std::make_unique<Udp>(*this);
    sockets.push_back(s.get());
    return s;
  }
  Resolver& GetResolver() override { return *this; }

  int LookupName(const std::string& name, Callback done) override {
    lookups.push_back(name);
    m_pending[++m_nextId] = std::move(done);
    return m_nextId;
  }
  int LookupAddress(const std::string&, Callback) override { return -1; }
  void Abort(int id) override { m_pending.erase(id); }

  // Answers the oldest pending lookup.
  bool AnswerLookup(const LookupResult& result) {
    if (m_pending.empty()) return false;
    auto cb = std::move(m_pending.begin()->second);
    m_pending.erase(m_pending.begin());
    cb(result);
    return true;
  }
  std::size_t PendingLookups() const { return m_pending.size(); }

  // Delivers a datagram to the socket that sent last (or to the given one) if it is open.
  void Deliver(std::string_view bytes, const std::string& from, Udp* to = nullptr) {
    Udp* s = to ? to : lastSender;
    if (s && s->bound && s->OnDatagram) s->OnDatagram(bytes, from, 123);
  }

  std::vector<Udp*> sockets;
  std::vector<Datagram> sent;
  std::vector<std::string> lookups;
  std::map<std::uint16_t, bool> refusedPorts;
  Udp* lastSender = nullptr;

 private:
  std::map<int, Callback> m_pending;
  int m_nextId = 0;
};

}  // namespace orva::test

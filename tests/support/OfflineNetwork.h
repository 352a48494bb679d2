// Sockets of Qt (tests talk to loopback only) with a resolver double that never asks a DNS
// server: an address written as such answers itself, every name fails. Completions come later
// on the event loop, as the real resolver's do.
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <map>
#include <set>

#include "platform/Network.h"
#include "platform/qt/QtSockets.h"

namespace orva::test {

class OfflineResolver final : public Resolver {
 public:
  int LookupName(const std::string& name, Callback done) override {
    QHostAddress literal;
    LookupResult r;
    r.ok = literal.setAddress(QString::fromStdString(name));
    if (r.ok) r.addresses = {literal.toString().toStdString()};
    for (const auto& [address, known] : names) {
      if (known != name) continue;
      r.addresses.push_back(address);
      r.ok = true;
    }
    if (!r.ok) r.error = "Host not found";
    return Later(std::move(r), std::move(done));
  }
  int LookupAddress(const std::string& address, Callback done) override {
    const auto it = names.find(address);
    if (it != names.end()) return Later(LookupResult{true, {}, it->second, {}}, std::move(done));
    return Later(LookupResult{false, {}, {}, "Host not found"}, std::move(done));
  }
  // The test's own table: address -> name, answered both ways.
  std::map<std::string, std::string> names;
  void Abort(int id) override { m_live.erase(id); }

 private:
  int Later(LookupResult r, Callback done) {
    const int id = ++m_next;
    m_live.insert(id);
    QTimer::singleShot(0, &m_context, [this, id, r, done] {
      if (m_live.erase(id)) done(r);
    });
    return id;
  }
  QObject m_context;
  std::set<int> m_live;
  int m_next = 0;
};

class OfflineNetwork final : public NetworkFactory {
 public:
  std::unique_ptr<StreamSocket> CreateStreamSocket() override { return m_qt.CreateStreamSocket(); }
  std::unique_ptr<DatagramSocket> CreateDatagramSocket() override {
    return m_qt.CreateDatagramSocket();
  }
  Resolver& GetResolver() override { return m_resolver; }
  OfflineResolver& Names() { return m_resolver; }

 private:
  OfflineResolver m_resolver;
  QtNetworkFactory m_qt{m_resolver};
};

}  // namespace orva::test

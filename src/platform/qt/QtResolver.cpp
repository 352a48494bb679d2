// QHostInfo behind the Resolver interface.
#include "platform/qt/QtResolver.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QMetaObject>

namespace orva {

QtResolver::QtResolver() = default;

QtResolver::~QtResolver() {
  for (const auto& [id, p] : m_pending) {
    if (p.qtId >= 0) QHostInfo::abortHostLookup(p.qtId);
  }
}

int QtResolver::LookupName(const std::string& name, Callback done) {
  return Start(name, false, std::move(done));
}

int QtResolver::LookupAddress(const std::string& address, Callback done) {
  return Start(address, true, std::move(done));
}

int QtResolver::Start(const std::string& what, bool reverse, Callback done) {
  const int id = ++m_next;
  m_pending[id].done = std::move(done);
  const QString text = QString::fromStdString(what);
  QHostAddress literal;
  if (reverse && !literal.setAddress(text)) {
    // Not an address: the lookup fails, reported like any other, later.
    QMetaObject::invokeMethod(
        &m_context,
        [this, id] {
          auto it = m_pending.find(id);
          if (it == m_pending.end()) return;
          Callback cb = std::move(it->second.done);
          m_pending.erase(it);
          cb(LookupResult{false, {}, {}, "Not an address"});
        },
        Qt::QueuedConnection);
    return id;
  }
  auto finished = [this, id, reverse, text](const QHostInfo& info) {
    auto it = m_pending.find(id);
    if (it == m_pending.end()) return;  // aborted
    Callback cb = std::move(it->second.done);
    m_pending.erase(it);
    LookupResult r;
    if (info.error() != QHostInfo::NoError) {
      r.error = info.errorString().toStdString();
    } else if (reverse) {
      // Without a name for the address QHostInfo gives the address back.
      r.name = info.hostName().toStdString();
      r.ok = !r.name.empty() && info.hostName() != text;
      if (!r.ok) r.error = "Host not found";
    } else {
      // IPv4 first: the DNS panel shows the first address; an IPv6 server's name is confirmed
      // by its own address further on.
      for (const bool v4 : {true, false}) {
        for (const QHostAddress& a : info.addresses()) {
          if ((a.protocol() == QAbstractSocket::IPv4Protocol) != v4) continue;
          if (a.protocol() != QAbstractSocket::IPv4Protocol &&
              a.protocol() != QAbstractSocket::IPv6Protocol)
            continue;
          r.addresses.push_back(a.toString().toStdString());
        }
      }
      r.ok = !r.addresses.empty();
      if (!r.ok) r.error = "No address";
    }
    cb(r);
  };
  // Queued again so that no completion ever runs inside the call that started it.
  const int qtId = QHostInfo::lookupHost(text, &m_context, [this, finished](const QHostInfo& info) {
    QMetaObject::invokeMethod(
        &m_context, [finished, info] { finished(info); }, Qt::QueuedConnection);
  });
  auto it = m_pending.find(id);
  if (it != m_pending.end()) it->second.qtId = qtId;
  return id;
}

void QtResolver::Abort(int id) {
  auto it = m_pending.find(id);
  if (it == m_pending.end()) return;
  if (it->second.qtId >= 0) QHostInfo::abortHostLookup(it->second.qtId);
  m_pending.erase(it);
}

}  // namespace orva

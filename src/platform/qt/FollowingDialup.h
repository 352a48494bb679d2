// The dial-up service the program follows when the user chose none: NetworkManager while it
// is on the system bus, pppd otherwise. NetworkManager is followed as it comes and goes: one
// that starts after the program is used from then on, and one that leaves stays the service
// for a grace period, so that a restart is not taken for the end of its links.
#pragma once

#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>
#include <memory>

#include "platform/Dialup.h"
#include "platform/qt/NmDialup.h"

namespace orva {

class FollowingDialup final : public QObject, public Dialup {
  Q_OBJECT
 public:
  // `ppp` answers while NetworkManager is away; by default the system's pppd.
  explicit FollowingDialup(const QDBusConnection& bus, std::unique_ptr<Dialup> ppp = nullptr,
                           int graceMs = 30000, QObject* parent = nullptr);
  ~FollowingDialup() override;

  // Whether NetworkManager answers now.
  bool UsingNetworkManager() const;
  NmDialup& NetworkManager() { return *m_nm; }

  std::vector<std::string> EnumEntries() override { return Current().EnumEntries(); }
  Result<std::vector<DialupConnection>> EnumConnections() override {
    return Current().EnumConnections();
  }
  DialupStatus GetConnectStatus(std::int64_t handle) override {
    return Current().GetConnectStatus(handle);
  }
  std::string ErrorText(int code) override { return Current().ErrorText(code); }
  Status HangUp(std::int64_t handle) override { return Current().HangUp(handle); }
  std::vector<std::string> DialCommand(const std::string& entry) override {
    return Current().DialCommand(entry);
  }
  Status Dial(const std::string& entry, Launcher& launcher) override {
    return Current().Dial(entry, launcher);
  }
  std::string EntryUser(const std::string& entry) override { return Current().EntryUser(entry); }
  std::vector<std::string> EditCommand(const std::string& entry) override {
    return Current().EditCommand(entry);
  }
  std::string ConfigurationHint() const override {
    return UsingNetworkManager() ? m_nm->ConfigurationHint() : m_ppp->ConfigurationHint();
  }

 private:
  Dialup& Current() { return UsingNetworkManager() ? static_cast<Dialup&>(*m_nm) : *m_ppp; }
  // The service answering may have changed: its entries are the dial menus' now.
  void Followed();

  std::unique_ptr<NmDialup> m_nm;
  std::unique_ptr<Dialup> m_ppp;
  int m_graceMs;
  QDeadlineTimer m_graceEnds;  // after NetworkManager left the bus
  QTimer m_graceTimer;
  bool m_lastUsedNm = false;
};

}  // namespace orva

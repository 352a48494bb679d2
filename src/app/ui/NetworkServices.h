// The main window's network services during a call: the traffic monitor and the visited
// servers, the network time check behind SyncroL and ClockBtn, and the mail check behind
// POP3L, the mail icon RxTrayIcon2, the new-mail box and the mailbox window. The meter reaches
// them through its NetworkHooks; the menu commands through BindCommands().
#pragma once

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/Commands.h"
#include "core/CallInfo.h"
#include "core/MeterServices.h"
#include "core/Settings.h"
#include "net/Mail.h"
#include "net/Monitor.h"
#include "net/SNMP.h"
#include "net/Sntp.h"
#include "net/SntpCheck.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Network.h"
#include "platform/Notifier.h"
#include "platform/SecretStore.h"

class QMessageBox;

namespace orva {

class TMainForm;
class TMailDlg;
struct MailDlgSettings;
class QtResolver;
class QtNetworkFactory;
class HostsAuthority;

struct NetworkServicesContext {
  Settings& settings;
  const Clock& clock;
  TimerFactory& timers;
  Dialogs& dialogs;
  TMainForm& form;
  std::string dataDir;  // with a trailing "/"
  std::string systemHosts;
  // The sockets and the resolver; default: Qt's.
  NetworkFactory* network = nullptr;
  // The connection table and the protocol counters; default: the system's /proc.
  MibAgentPtr mib;
  // New mail as a desktop notification; none: the box.
  Notifier* notifier = nullptr;
  // The desktop's keyring, where the mailboxes' passwords may be kept; none: the file alone.
  SecretStore* secrets = nullptr;
};

class TNetworkServices final : public MailView {
 public:
  explicit TNetworkServices(NetworkServicesContext context);
  ~TNetworkServices() override;

  // At start-up: the time servers (seeded into the data directory when it has none), the
  // mailboxes, the connection table; the labels take their first texts.
  void Startup();
  // The options changed: the mailboxes and the check settings are read again.
  void SettingsChanged();

  // The meter's network follow-ups; `info` and `callEnd` read the meter's call.
  NetworkHooks Hooks(std::function<const CallInfo&()> info, std::function<TDateTime()> callEnd);

  // Binds the mail, network time and hosts commands.
  void BindCommands(CommandHandlers& commands);

  bool MailBusy() const { return m_mail->Busy(); }
  // Names wait for "Applica hosts" (as HostsL last counted them).
  bool HostsWaiting() const { return m_hostsWaiting > 0; }
  TMailCheck& Mail() { return *m_mail; }
  TNetworkTimeCheck& Time() { return *m_time; }
  TSNTPClient& TimeClient() { return *m_sntp; }
  // None when the connection table cannot be read on this machine.
  TrafficMonitor* Monitor() { return m_monitor.get(); }
  Resolver& GetResolver() { return m_network->GetResolver(); }

  // The new-mail event sound (the meter plays it with its settings).
  std::function<void()> playNewMailSound;

  // Who writes a system hosts file this program may not write; default: pkexec and the helper.
  void SetHostsAuthority(HostsAuthority* authority) { m_hostsAuthority = authority; }
  // HostsL: how many names wait for "Applica hosts"; the command follows the count.
  void ShowHostsWaiting();

  // MailView.
  void SetPop3Label(const std::string& text) override;
  void SetMailIcon(bool visible, bool animated) override;
  void SetMailIconHint(const std::string& hint) override;
  void RefreshDisplay() override;
  void PlayNewMailSound() override;
  void ShowNewMailBox() override;

 private:
  void OpenMailDialog();
  void ShowTimeCheck();
  void ApplySettings();
  void ReportOnce(const std::string& text);
  void ApplyHosts();

  NetworkServicesContext m_ctx;
  std::unique_ptr<QtResolver> m_qtResolver;
  std::unique_ptr<QtNetworkFactory> m_qtNetwork;
  NetworkFactory* m_network;
  std::unique_ptr<TSNTPClient> m_sntp;
  std::unique_ptr<TNetworkTimeCheck> m_time;
  std::unique_ptr<TPop3Cli> m_pop3;
  std::unique_ptr<TMailCheck> m_mail;
  MonitorSettings m_monitorSettings;
  NetstatObjects m_netstat;
  std::unique_ptr<TrafficMonitor> m_monitor;
  QPointer<TMailDlg> m_mailDialog;
  std::unique_ptr<MailDlgSettings> m_mailDialogSettings;
  QPointer<QMessageBox> m_newMailBox;
  std::string m_lastReported;
  std::unique_ptr<HostsAuthority> m_pkexec;
  HostsAuthority* m_hostsAuthority = nullptr;
  std::size_t m_hostsWaiting = 0;
};

}  // namespace orva

// The main window's network services.
#include "app/ui/NetworkServices.h"

#include <QMessageBox>

#include "app/Commands.h"
#include "app/ui/MainForm.h"
#include "net/Hosts.h"
#include "net/HostsUpkeep.h"
#include "net/ui/HostsAuthority.h"
#include "net/ui/MailDlg.h"
#include "net/ui/SmallMsg.h"
#include "platform/DataFiles.h"
#include "platform/qt/QtResolver.h"
#include "platform/qt/QtSockets.h"

namespace orva {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

constexpr const char* kMonitorUnavailable =
    "ORVA32 4.1\n\nATTENZIONE : la tabella delle connessioni (/proc/net/tcp) non è leggibile: il "
    "monitoraggio TCP/UDP resta disattivato.\n";

constexpr const char* kNoHostsWaiting = "Nessun nome è in attesa di essere scritto nel file hosts.";

}  // namespace

TNetworkServices::TNetworkServices(NetworkServicesContext context) : m_ctx(std::move(context)) {
  if (m_ctx.network) {
    m_network = m_ctx.network;
  } else {
    m_qtResolver = std::make_unique<QtResolver>();
    m_qtNetwork = std::make_unique<QtNetworkFactory>(*m_qtResolver);
    m_network = m_qtNetwork.get();
  }
  if (!m_ctx.mib) m_ctx.mib = std::make_shared<ProcMibAgent>("/proc");
  m_sntp = std::make_unique<TSNTPClient>(*m_network, m_ctx.timers, m_ctx.clock);
  m_time = std::make_unique<TNetworkTimeCheck>(*m_sntp, m_ctx.clock);
  m_time->OnChanged = [this] { ShowTimeCheck(); };
  m_pop3 = std::make_unique<TPop3Cli>(*m_network);
  m_mail = std::make_unique<TMailCheck>(*m_pop3, *this, m_ctx.clock, m_ctx.timers);
  m_mailDialogSettings = std::make_unique<MailDlgSettings>();
  m_pkexec = std::make_unique<PkexecHostsAuthority>();
  m_hostsAuthority = m_pkexec.get();
}

TNetworkServices::~TNetworkServices() {
  delete m_mailDialog.data();
  delete m_newMailBox.data();
  // The monitor's lookups and the clients go before the resolver they use.
  m_monitor.reset();
  m_mail.reset();
  m_pop3.reset();
  m_time.reset();
  m_sntp.reset();
}

void TNetworkServices::ApplySettings() {
  const Settings& s = m_ctx.settings;
  m_monitorSettings.tcpMonitoring = s.tcpMonitoring;
  m_monitorSettings.resolveAddresses = s.resolveAddresses;
  m_monitorSettings.automatedHosts = s.manageHosts;
  m_monitorSettings.recordIpList = s.recordIpList;
  m_time->SetGetNetworkTime(s.getNetworkTime);
  m_mail->CheckEveryMinutes = s.mailCheckMinutes;
  m_mail->MailCheckEnabled = s.mailCheckEnabled;
  m_mail->RequireEncryption = s.mailRequireTls;
  m_mail->ReadTimeoutSeconds = s.mailReadTimeout;
  m_mail->NotifyNewMail = s.notifyMail;
  m_mail->notifier = m_ctx.notifier;
  m_ctx.form.SetCyclicMailCheck(s.mailCheckEnabled);
  for (std::size_t i = 0; i < m_mailDialogSettings->headerWidths.size(); ++i)
    m_mailDialogSettings->headerWidths[i] = s.mailHeaderWidths[i];
  m_mailDialogSettings->position = s.mailPosition;
}

void TNetworkServices::Startup() {
  ApplySettings();
  SeedTimeServers(m_ctx.dataDir);
  m_time->LoadTimeServers(DataPath(m_ctx.dataDir).File(kTimeServersFileName));
  ShowTimeCheck();
  if (const Status s =
          m_mail->LoadMailboxes(DataPath(m_ctx.dataDir).File(kMailboxFileName), m_ctx.secrets);
      !s)
    SetPop3Label(s.error);

  ShowHostsWaiting();
  m_netstat = CreateNetstatObjects(m_ctx.mib, m_ctx.clock.TickCount());
  if (m_netstat.connections) {
    m_monitor = std::make_unique<TrafficMonitor>(m_ctx.clock, m_monitorSettings, m_netstat,
                                                 m_network->GetResolver());
    // The first time check of a call comes from the monitor, once its resolver is idle.
    m_monitor->StartTimeCheck = [this] { m_time->CheckNetworkTime(); };
    if (const auto failure = m_monitor->RefreshMonitor()) ReportOnce(*failure);
  } else if (m_ctx.settings.tcpMonitoring) {
    m_ctx.dialogs.Message(kMonitorUnavailable, MsgType::Warning, MsgButtons::Ok);
  }
}

void TNetworkServices::SettingsChanged() {
  ApplySettings();
  // While a check runs the new list waits for the end of its cycle.
  if (const Status s =
          m_mail->LoadMailboxes(DataPath(m_ctx.dataDir).File(kMailboxFileName), m_ctx.secrets);
      !s)
    SetPop3Label(s.error);
}

NetworkHooks TNetworkServices::Hooks(std::function<const CallInfo&()> info,
                                     std::function<TDateTime()> callEnd) {
  NetworkHooks h;
  h.callStarted = [this] {
    m_time->CallStarted();
    m_time->SetCallHasAddress(false);
    m_lastReported.clear();
  };
  h.startTcpMonitor = [this, info] {
    const std::string& address = info().ipAddress;
    m_time->SetCallHasAddress(!address.empty());
    if (m_monitor) m_monitor->CallStart(address);
  };
  h.tcpMonitorActive = [this] { return m_monitor && m_ctx.settings.tcpMonitoring; };
  h.refreshTcpMonitor = [this] {
    if (!m_monitor) return;
    if (const auto failure = m_monitor->MeterTick()) ReportOnce(*failure);
  };
  h.clearMonitorMemo = [this, callEnd] {
    if (!m_monitor) return;
    // The visited servers go to the Urls file and the hosts staging file, and are merged
    // under the progress box (over the window when the large window shows).
    const bool over = m_ctx.form.isVisible() && m_ctx.form.Mode() == WindowMode::Large;
    TSmallMsg progress(m_ctx.dialogs, over ? &m_ctx.form : nullptr);
    m_monitor->CanWriteSystemHosts = [this](const std::string& path) {
      return m_hostsAuthority->CanWrite(path);
    };
    const Status s = m_monitor->CallEnd(callEnd(), HostsPathsIn(m_ctx.dataDir, m_ctx.systemHosts),
                                        m_ctx.dataDir, &progress);
    if (!s) ReportOnce(s.error);
    // Names this user may not write into the hosts file wait without a box.
    ShowHostsWaiting();
  };
  h.startMailCheck = [this] { m_mail->CallStarted(); };
  h.mailCheckRunning = [this] { return m_mail->Busy(); };
  h.mailMeteringTick = [this](bool hasAddress) { m_mail->MeteringTick(hasAddress); };
  h.endMailState = [this] {
    m_mail->CallEnded();
    m_time->CallEnded();
    m_time->SetCallHasAddress(false);
  };
  return h;
}

void TNetworkServices::BindCommands(CommandHandlers& commands) {
  // Each one changes what the mail commands allow.
  const auto bind = [this, &commands](CommandId id, std::function<void()> run) {
    commands.Bind(id, [this, run = std::move(run)] {
      run();
      m_ctx.form.RefreshCommandStates();
    });
  };
  bind(CommandId::MailNow, [this] { m_mail->Check1Click(); });
  bind(CommandId::MailCyclic, [this] {
    m_mail->EnCheck11Click();
    m_ctx.settings.mailCheckEnabled = m_mail->MailCheckEnabled;
    m_ctx.form.SetCyclicMailCheck(m_mail->MailCheckEnabled);
  });
  bind(CommandId::MailStop, [this] { m_mail->Abort1Click(); });
  bind(CommandId::Clock, [this] { m_time->ClockBtnClick(); });
  bind(CommandId::ShowMail, [this] { OpenMailDialog(); });
  bind(CommandId::ApplyHosts, [this] { ApplyHosts(); });
}

void TNetworkServices::OpenMailDialog() {
  if (m_mailDialog) {
    m_mailDialog->raise();
    m_mailDialog->activateWindow();
    return;
  }
  // While the window is open no check starts; closing it clears the busy flag.
  m_mail->SetMailDialogOpen(true);
  m_mailDialog = new TMailDlg(
      m_mail->Mailboxes(), *m_mailDialogSettings,
      [this] {
        Settings& s = m_ctx.settings;
        for (std::size_t i = 0; i < s.mailHeaderWidths.size(); ++i)
          s.mailHeaderWidths[i] = m_mailDialogSettings->headerWidths[i];
        s.mailPosition = m_mailDialogSettings->position;
        m_mail->SetMailDialogOpen(false);
        m_ctx.form.RefreshCommandStates();
      },
      &m_ctx.form);
  m_mailDialog->setAttribute(Qt::WA_DeleteOnClose);
  m_mailDialog->setWindowFlag(Qt::Window);
  m_mailDialog->show();
}

void TNetworkServices::ShowHostsWaiting() {
  m_hostsWaiting = PendingStagedEntries(HostsPathsIn(m_ctx.dataDir, m_ctx.systemHosts)).size();
  m_ctx.form.SetLabel(QStringLiteral("HostsL"), Q(HostsWaitingText(m_hostsWaiting)));
  m_ctx.form.RefreshCommandStates();
}

void TNetworkServices::ApplyHosts() {
  // One authorisation for every name that waits; asked for by the user, so a failure is shown,
  // and so is finding nothing to apply (another program may have applied them meanwhile).
  const auto applied =
      ApplyPendingHosts(HostsPathsIn(m_ctx.dataDir, m_ctx.systemHosts), *m_hostsAuthority);
  if (!applied)
    m_ctx.dialogs.Message(applied.error, MsgType::Error, MsgButtons::Ok);
  else if (*applied == 0)
    m_ctx.dialogs.Message(kNoHostsWaiting, MsgType::Information, MsgButtons::Ok);
  ShowHostsWaiting();
}

void TNetworkServices::ShowTimeCheck() {
  m_ctx.form.SetLabel(QStringLiteral("SyncroL"), Q(m_time->SyncroL()));
  m_ctx.form.SetLabelHint(QStringLiteral("SyncroL"), Q(m_time->SyncroLHint()));
  m_ctx.form.SetClockButtonEnabled(m_time->ClockBtnEnabled());
}

void TNetworkServices::ReportOnce(const std::string& text) {
  // A failing refresh repeats every two seconds: it is shown once per call.
  if (text == m_lastReported) return;
  m_lastReported = text;
  m_ctx.dialogs.Message(text, MsgType::Error, MsgButtons::Ok);
}

void TNetworkServices::SetPop3Label(const std::string& text) {
  m_ctx.form.SetLabel(QStringLiteral("POP3L"), Q(text));
}

void TNetworkServices::SetMailIcon(bool visible, bool animated) {
  m_ctx.form.SetMailIcon(visible, animated);
  m_ctx.form.RefreshCommandStates();
}

void TNetworkServices::SetMailIconHint(const std::string& hint) {
  m_ctx.form.SetMailIconHint(Q(hint));
}

void TNetworkServices::RefreshDisplay() {
  m_ctx.form.RedrawCounters();
  m_ctx.form.RefreshCommandStates();
}

void TNetworkServices::PlayNewMailSound() {
  if (playNewMailSound) playNewMailSound();
}

void TNetworkServices::ShowNewMailBox() {
  if (m_newMailBox) {
    m_newMailBox->raise();
    m_newMailBox->activateWindow();
    return;
  }
  // Modal for the application but without a nested event loop: the meter keeps running.
  m_newMailBox =
      new QMessageBox(QMessageBox::Information, QStringLiteral("ORVA32"),
                      QString::fromUtf8(TMailCheck::kNewMailText), QMessageBox::Ok, &m_ctx.form);
  m_newMailBox->setObjectName(QStringLiteral("NewMailBox"));
  m_newMailBox->setAttribute(Qt::WA_DeleteOnClose);
  m_newMailBox->setWindowModality(Qt::ApplicationModal);
  m_newMailBox->show();
}

}  // namespace orva

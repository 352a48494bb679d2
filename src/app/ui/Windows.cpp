// Opening the program's windows from the main window's commands.
#include "app/ui/Windows.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <set>

#include <QApplication>
#include <QDialog>

#include "app/Commands.h"
#include "app/ui/AboutBox.h"
#include "app/ui/DialogPlace.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/TipsForm.h"
#include "bill/ui/Bolletta.h"
#include "core/HowUtils.h"
#include "core/password.h"
#include "log/ui/Logentry.h"
#include "log/ui/Logform.h"
#include "net/MailBoxes.h"
#include "net/MailPasswords.h"
#include "net/Url.h"
#include "net/ui/Hosts.h"
#include "net/ui/Url.h"
#include "phone/ui/vivavoce.h"
#include "platform/DataFiles.h"
#include "platform/DateTime.h"
#include "platform/Numbers.h"
#include "platform/Process.h"
#include "platform/SafeFile.h"
#include "setup/Setting.h"
#include "setup/Shortcuts.h"
#include "setup/ui/Setting.h"
#include "setup/ui/Wizard.h"
#include "tariff/ui/Settar.h"

namespace orva {
namespace {

std::vector<MailboxRow> ToRows(const std::vector<Pop3Record>& records) {
  std::vector<MailboxRow> rows;
  for (const auto& r : records)
    rows.push_back({r.server, ParseInteger(r.port).value_or(110), r.user, r.password, r.enabled});
  return rows;
}

// The visited-servers file of a logged call, when the record's times read and the file exists.
std::optional<UrlDialogRequest> VisitedServersOf(const std::string& dataDir,
                                                 const TConnObj& record) {
  const auto date = StrToDate(record.Date());
  const auto start = StrToTime(record.Start());
  const auto end = StrToTime(record.End());
  if (!date || !start || !end) return std::nullopt;
  return FindVisitedServersFile(dataDir, *date, *start, *end);
}

std::vector<Pop3Record> ToRecords(const std::vector<MailboxRow>& rows) {
  std::vector<Pop3Record> records;
  for (const auto& r : rows)
    records.push_back({r.server, std::to_string(r.port), r.user, r.password, r.enabled});
  return records;
}

}  // namespace

TProgramWindows::TProgramWindows(ProgramWindowsContext context) : m_ctx(std::move(context)) {}

TDateTime TProgramWindows::Now() const {
  return m_ctx.now ? m_ctx.now() : FromTimeT(std::time(nullptr));
}

TProgramWindows::~TProgramWindows() {
  delete m_wizard.data();
  delete m_log.data();
  delete m_phone.data();
  delete m_tips.data();
}

void TProgramWindows::BindCommands(CommandHandlers& commands) {
  commands.Bind(CommandId::Log, [this] { OpenLog(); });
  commands.Bind(CommandId::Bill, [this] { OpenBill(); });
  commands.Bind(CommandId::Options, [this] { OpenOptions(); });
  commands.Bind(CommandId::Wizard, [this] { OpenWizard(false); });
  commands.Bind(CommandId::Voice, [this] { OpenPhoneBook(); });
  commands.Bind(CommandId::Servers, [this] { OpenHosts(); });
  commands.Bind(CommandId::Tariffs, [this] { OpenTariffEditor(); });
  commands.Bind(CommandId::Tips, [this] { OpenTips(); });
  commands.Bind(CommandId::About, [this] { OpenAbout(); });
}

bool TProgramWindows::QueryClose() {
  return !m_log || m_log->QueryClose();
}

void TProgramWindows::SaveUnattended() {
  if (m_log) m_log->SaveUnattended();
}

void TProgramWindows::StoreOpenWindows() {
  if (m_log) m_log->StoreValues();
  if (m_phone) {
    m_phone->StorePlace();
    m_ctx.settings.phoneBook = m_phoneSettings.phoneBookPath;
    m_ctx.settings.speakerVolume = m_phoneSettings.speakerLevel;
    m_ctx.settings.voicePosition = m_phoneSettings.position;
  }
}

void TProgramWindows::CloseAll() {
  // Closed and deleted now, not at the next turn of the event loop: their values must be in
  // the settings before the final save.
  if (m_log) {
    m_log->CloseAgreed();
    delete m_log.data();
  }
  if (m_phone) {
    m_phone->close();
    delete m_phone.data();
  }
  delete m_wizard.data();
  // A dialog shown modally (the bill view, the options) stores its place as it closes:
  // closed as "Annulla" now, before the final save rather than after it.
  for (QWidget* window : QApplication::topLevelWidgets())
    if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible())
      dialog->reject();
}

void TProgramWindows::LogAppended() {
  if (m_log) m_log->LogAppended();
}

void TProgramWindows::LogRecordRewritten(const std::string& oldLine, const std::string& newLine) {
  if (m_log) m_log->LogRecordRewritten(oldLine, newLine);
}

void TProgramWindows::OpenHelp(int context) {
  THelpWindow::Show(context);
}

void TProgramWindows::OpenLog() {
  if (m_log) {
    m_log->show();
    m_log->raise();
    m_log->activateWindow();
    return;
  }
  LogWindowHooks hooks;
  hooks.clipboard = m_logClipboard;
  hooks.tariffCatalogue = [this] { return m_ctx.catalogue; };
  hooks.editRecord = [this](TConnObj& record, bool isNew) {
    std::vector<std::string> services;
    if (m_log) services = m_log->Model().Services();
    return EditLogRecord(m_log, m_ctx.catalogue, services, record, isNew, DatePart(Now()),
                         m_ctx.settings.decimals, m_ctx.dialogs, m_ctx.places,
                         m_ctx.settings.currency);
  };
  // A call's visited servers: the icon of its row, the double click that shows them, and the
  // popup item that deletes the file.
  hooks.hasVisitedServers = [this](const TConnObj& record) {
    return VisitedServersOf(m_ctx.dataDir, record).has_value();
  };
  hooks.showVisitedServers = [this](const TConnObj& record) {
    const auto request = VisitedServersOf(m_ctx.dataDir, record);
    if (!request) return;  // no file: nothing opens
    auto* dlg = new TURLDlg(request->path, request->caption, m_ctx.places, m_log);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->open();
  };
  hooks.clearVisitedServers = [this](const TConnObj& record) {
    const auto request = VisitedServersOf(m_ctx.dataDir, record);
    if (request && std::remove(request->path.c_str()) != 0)
      m_ctx.dialogs.Message(SystemErrorText(errno), MsgType::Error);
  };
  m_log = new TLog(m_ctx.settings, m_ctx.dialogs, m_ctx.dataDir, hooks, m_ctx.places);
  m_log->setAttribute(Qt::WA_DeleteOnClose);
  m_log->Model().vatRate = m_ctx.vatRate ? m_ctx.vatRate() : kDefaultVatRate;
  m_log->show();
}

void TProgramWindows::OpenBill() {
  if (!CheckPasswordFor(ProtectedAction::Bill, m_ctx.settings.access, m_ctx.dialogs)) return;
  {
    TBollettaDLG view(BillViewContext{m_ctx.settings, m_ctx.dialogs, DecodeDate(DatePart(Now())),
                                      m_ctx.vatRate ? m_ctx.vatRate() : kDefaultVatRate, &OpenHelp,
                                      m_ctx.dataDir},
                      m_ctx.parent);
    view.exec();
  }
  // The period cost is read again and the counters redrawn, also when the view failed.
  if (m_ctx.afterBill) m_ctx.afterBill();
}

void TProgramWindows::OpenOptions() {
  if (m_options) {  // already open: brought to the front
    m_options->raise();
    m_options->activateWindow();
    return;
  }
  const Settings copy = m_ctx.settings;
  const std::string pop3 = DataPath(m_ctx.dataDir).File(kMailboxFileName);
  SetupContext ctx{m_ctx.settings,
                   m_ctx.registry,
                   m_ctx.dialogs,
                   m_ctx.sound,
                   m_ctx.catalogue.descriptions,
                   m_ctx.dialupEntries ? m_ctx.dialupEntries() : std::vector<std::string>{},
                   m_ctx.programPath,
                   {},
                   {},
                   m_ctx.editEntry,
                   m_ctx.entryUser,
                   &OpenHelp,
                   m_ctx.dataDir,
                   {}};
  BindMailboxFile(ctx, pop3);
  bool accepted = false;
  {
    TSetupForm form(ctx, m_ctx.parent);
    m_options = &form;
    accepted = form.exec() == QDialog::Accepted;
    m_options = nullptr;
  }
  if (!accepted) RestoreAfterCancel(m_ctx.settings, copy);
  if (Status st = SaveSettings(m_ctx.settings, m_ctx.dataDir); !st)
    m_ctx.dialogs.Message(st.error, MsgType::Error);
  if (m_ctx.afterSettings) m_ctx.afterSettings();
}

// The options' mailbox table: read from POP3.LST with the passwords the keyring keeps, written
// back with the passwords moved into the keyring when one runs.
void TProgramWindows::BindMailboxFile(SetupContext& ctx, const std::string& pop3) {
  auto kept = std::make_shared<std::set<std::string>>();
  SecretStore* secrets = m_ctx.secrets;
  ctx.passwordStore = PasswordStoreText(secrets && secrets->Available());
  ctx.loadMailboxes = [this, pop3, kept, secrets] {
    auto records = ReadPop3List(pop3);
    if (!records) {
      m_ctx.dialogs.Message(records.error, MsgType::Error);
      return std::vector<MailboxRow>{};
    }
    KeptPasswords found = FillPasswords(*records, secrets);
    *kept = std::move(found.keys);
    for (const auto& problem : found.problems) m_ctx.dialogs.Message(problem, MsgType::Warning);
    return ToRows(*records);
  };
  ctx.saveMailboxes = [this, pop3, kept, secrets](const std::vector<MailboxRow>& rows) {
    std::vector<Pop3Record> records = ToRecords(rows);
    const Status moved = MovePasswordsToStore(records, secrets, *kept);
    if (!moved) m_ctx.dialogs.Message(moved.error, MsgType::Warning);
    return WritePop3List(pop3, records);
  };
}

void TProgramWindows::OpenWizard(bool presetShortcuts) {
  if (m_wizard) {
    m_wizard->raise();
    m_wizard->activateWindow();
    return;
  }
  Settings& s = m_ctx.settings;
  WizardNetworkOptions net{s.tcpMonitoring, s.resolveAddresses, s.manageHosts, s.recordIpList,
                           s.getNetworkTime};
  auto model = std::make_unique<WizardModel>(
      s.associationPath, m_ctx.dialupEntries ? m_ctx.dialupEntries() : std::vector<std::string>{},
      m_ctx.catalogue.descriptions, net, ShortcutExists(ShortcutPlace::Desktop),
      ShortcutExists(ShortcutPlace::Autostart));
  if (!model->CreationStatus().ok)
    m_ctx.dialogs.Message(model->CreationStatus().error, MsgType::Error);
  // Modal to the main window, but shown without a nested event loop, so the start-up goes on.
  m_wizard = new TWizardDlg(std::move(model), presetShortcuts, m_ctx.parent);
  m_wizard->setAttribute(Qt::WA_DeleteOnClose);
  m_wizard->setWindowModality(Qt::ApplicationModal);
  CentreOverOwner(*m_wizard, m_ctx.parent);
  QObject::connect(m_wizard, &QDialog::finished, m_wizard, [this](int result) {
    if (result != QDialog::Accepted || !m_wizard) return;  // nothing is stored
    Settings& st = m_ctx.settings;
    const WizardResult r = m_wizard->Model().Result();
    st.tcpMonitoring = r.network.tcpMonitoring;
    st.resolveAddresses = r.network.resolveAddresses;
    st.manageHosts = r.network.hostsManagement;
    st.recordIpList = r.network.recordIpList;
    st.getNetworkTime = r.network.networkTime;
    st.showWizard = false;
    if (Status f = m_wizard->Model().StoreFiles(m_ctx.programPath); !f)
      m_ctx.dialogs.Message(f.error, MsgType::Error);
    if (Status f = SaveSettings(st, m_ctx.dataDir); !f)
      m_ctx.dialogs.Message(f.error, MsgType::Error);
    if (m_ctx.afterSettings) m_ctx.afterSettings();
  });
  m_wizard->show();
}

void TProgramWindows::OpenTariffEditor() {
  // The catalogue is not rebuilt: a tariff saved here is listed from the next start on.
  TSetTar editor(m_ctx.dialogs, m_ctx.settings, m_ctx.dataDir, m_ctx.places, m_ctx.parent);
  editor.exec();
}

void TProgramWindows::OpenTips() {
  if (m_tips) {
    m_tips->show();
    m_tips->raise();
    m_tips->activateWindow();
    return;
  }
  const auto day = static_cast<long>(DatePart(Now()));
  m_tips = new TTipsForm(m_ctx.settings, day, m_ctx.parent);
  m_tips->setAttribute(Qt::WA_DeleteOnClose);
  m_tips->show();
}

void TProgramWindows::OpenAbout() {
  TAboutBox box(m_ctx.settings, m_ctx.dataDir, m_ctx.parent);
  box.exec();
}

void TProgramWindows::OpenHosts() {
  THostsDlg dlg(HostsPathsIn(m_ctx.dataDir, m_ctx.systemHosts), m_ctx.dialogs,
                m_ctx.settings.hostPosition, m_ctx.parent);
  dlg.exec();
  if (m_ctx.afterHosts) m_ctx.afterHosts();
}

void TProgramWindows::OpenPhoneBook() {
  // The companion phone-book program, when its registered folder holds it, is started instead.
  if (!m_ctx.settings.rubrixPath.empty()) {
    for (const char* name : {"Rubrix.exe", "Rubrix", "rubrix"}) {
      const std::string program = ResolveNoCase(JoinPath(m_ctx.settings.rubrixPath, name));
      if (!FileExists(program) || ::access(program.c_str(), X_OK) != 0) continue;
      TProcess process;
      process.Arguments = {program};
      process.WorkingDirectory = m_ctx.settings.rubrixPath;
      if (Status st = process.Execute(); !st) m_ctx.dialogs.Message(st.error, MsgType::Error);
      return;
    }
  }
  if (m_phone) {
    m_phone->show();
    m_phone->raise();
    m_phone->activateWindow();
    return;
  }
  DialFormSettings& phone = m_phoneSettings;
  phone.phoneBookPath = m_ctx.settings.phoneBook.empty()
                            ? DataPath(m_ctx.dataDir).File(kPhoneBookFileName)
                            : m_ctx.settings.phoneBook;
  phone.speakerLevel = m_ctx.settings.speakerVolume;
  phone.position = m_ctx.settings.voicePosition;
  DialFormHooks hooks;
  hooks.handOverTariff = m_ctx.selectTariff;
  hooks.dial = m_ctx.dial;
  m_phone =
      new TDialForm(m_ctx.catalogue.descriptions, phone, m_ctx.registry, m_ctx.dialogs, hooks);
  m_phone->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(m_phone, &QObject::destroyed, m_phone, [this, &phone] {
    m_ctx.settings.phoneBook = phone.phoneBookPath;
    m_ctx.settings.speakerVolume = phone.speakerLevel;
    m_ctx.settings.voicePosition = phone.position;
  });
  m_phone->show();
}

}  // namespace orva

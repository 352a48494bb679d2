// The desktop program around the main window.
#include "app/ui/Program.h"

#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>

#include "app/Tips.h"
#include "app/ui/SelLogForm.h"
#include "app/ui/SelServForm.h"
#include "app/ui/SplashForm.h"
#include "core/AppMessages.h"
#include "core/HowUtils.h"
#include "log/Servform.h"
#include "meter/MeterCounters.h"
#include "meter/WireRequests.h"
#include "net/ui/DnsPanel.h"
#include "net/ui/MonitorPanel.h"
#include "platform/qt/DesktopKeyring.h"
#include "platform/qt/DesktopNotifier.h"
#include "platform/qt/QuitSignals.h"
#include "platform/qt/SystemServices.h"
#include "tariff/Tariffe.h"

namespace orva {

AppendResult AppendedLog::Append(const CallRecord& record) {
  AppendResult r = m_log.Append(record);
  if (r.status && m_windows) m_windows->LogAppended();
  return r;
}

AppendResult AppendedLog::SetService(const std::string& line, const std::string& service) {
  AppendResult r = m_log.SetService(line, service);
  if (r.status && m_windows) m_windows->LogRecordRewritten(line, r.line);
  return r;
}

bool ShowSplash(bool setting, const QStringList& arguments) {
  if (!setting) return false;
  return arguments.isEmpty() || arguments.front().toLower() != u"nosplash";
}

namespace {

// The records of the data directory, read as the program starts (the old "Run" value goes).
std::unique_ptr<ProgramRecords> LoadRecords(const ProgramOptions& options, const Clock& clock,
                                            Dialogs& dialogs) {
  return std::make_unique<ProgramRecords>(options.dataDir, options.dataDir, clock, dialogs, true);
}

}  // namespace

TOrvaProgram::TOrvaProgram(ProgramOptions options)
    : m_options(std::move(options)),
      m_places(SettingsFileIn(m_options.dataDir)),
      m_qtDialogs(std::make_unique<QtDialogs>()),
      m_clock(m_options.clock ? m_options.clock : &m_systemClock),
      m_timers(m_options.timers ? m_options.timers : &m_qtTimers),
      m_dialogs(m_options.dialogs ? m_options.dialogs : m_qtDialogs.get()),
      m_sound(m_options.sound ? m_options.sound : &m_qtSound),
      m_records(LoadRecords(m_options, *m_clock, *m_dialogs)),
      m_settings(m_records->settings) {
  if (!m_options.dialup) {
    m_ownDialup = MakeSystemDialup(m_options.dialupChoice, QDBusConnection::systemBus(),
                                   m_options.interfacePatterns);
    m_options.dialup = m_ownDialup.get();
  }
  if (!m_options.statistics) m_options.statistics = &m_sysfs;
  if (!m_options.telephony) {
    m_ownTelephony = MakeSystemTelephony(QDBusConnection::systemBus());
    m_options.telephony = m_ownTelephony.get();
  }
  if (!m_options.launcher) m_options.launcher = &m_processLauncher;
  if (!m_options.notifier) {
    m_ownNotifier = std::make_unique<DesktopNotifier>();
    m_options.notifier = m_ownNotifier.get();
  }
  if (!m_options.secrets) {
    m_ownSecrets = std::make_unique<DesktopKeyring>();
    m_options.secrets = m_ownSecrets.get();
  }
  m_form = std::make_unique<TMainForm>();
  m_qtDialogs->SetParent(m_form.get());
}

TOrvaProgram::~TOrvaProgram() {
  FormDestroy();
  m_form->OnDestroy = nullptr;
  // Services given by the caller may outlive the program: their news no longer reach it.
  m_options.dialup->onEntriesChanged = nullptr;
  m_options.dialup->onError = nullptr;
  m_options.telephony->onError = nullptr;
  // The meter's timers stop before the window and the services they call go.
  m_logic.reset();
  for (const QPointer<QWidget>& panel : m_servicePanels) delete panel.data();
  m_services.reset();
}

void TOrvaProgram::ApplyHintSettings() {
  // "Mostra suggerimenti", "Attesa suggerimenti" and "Colore suggerimenti".
  m_hints.Install();
  m_hints.SetShown(m_settings.showHints == 1);
  m_hints.SetPause(m_settings.hintPause);
  m_hints.SetColour(m_settings.hintColour);
}

void TOrvaProgram::SplashStep(const char* text) {
  if (m_splash) m_splash->Step(QString::fromUtf8(text));
}

void TOrvaProgram::Start() {
  ApplyHintSettings();
  // The splash window.
  if (ShowSplash(m_settings.showSplash, m_options.arguments)) {
    m_splash = std::make_unique<TSplashForm>();
    m_splash->show();
  }
  SplashStep("Loading preferences...");
  // The install record: only other programs read it; the program itself runs the same without it.
  static_cast<void>(WriteInstallRecord(m_records->data.registry, m_options.dataDir));
  // Colours, panels and the place of the window.
  m_form->ApplySettings(WindowSettingsFrom(m_settings));
  SplashStep("Initialize RAS...");
  SplashStep("Initialize TAPI...");
  SplashStep("Initialize Sysmenu...");
  SplashStep("Checking RAS...");
  SplashStep("Open Database...");
  SplashStep("Scanning files...");
  // A hint stays up for 30 seconds.
  m_hints.SetHidePause(30000);
  SplashStep("Setup cost...");
  SplashStep("Startup...");

  m_form->CloseQuery = [this] { return FormCloseQuery(); };
  m_form->OnDestroy = [this] { FormDestroy(); };
  MakeWindows();
  ReportStartupProblems();
  m_form->SetTariffs(m_records->catalogue.descriptions, m_records->catalogue.abbreviations);
  m_services = std::make_unique<TNetworkServices>(
      NetworkServicesContext{m_settings, *m_clock, *m_timers, *m_dialogs, *m_form,
                             m_options.dataDir, m_options.systemHosts, m_options.network,
                             m_options.mib, m_options.notifier, m_options.secrets});
  MakeLogic();
  WireForm();
  BindCommands();

  // Telephony, the dial-up entries, the first evaluation, the timers; the network
  // services' lists and the connection table.
  m_logic->Startup();
  m_services->Startup();
  EmbedServicePanels();

  // The hints turn white, unless the settings name a colour of the user's own: that one
  // stays, instead of being shown never and overwritten at the next save. The settings keep
  // the application's hint colour.
  if (m_settings.hintColour == Settings().hintColour) m_hints.SetColour(kWhiteHints);
  m_settings.hintColour = m_hints.Colour();
  // The splash goes once it has been seen for its time; the window takes its mode and
  // place.
  if (m_splash) {
    const int left = m_splash->RemainingMs();
    if (left > 0)
      QTimer::singleShot(left, this, [this] { m_splash.reset(); });
    else
      m_splash.reset();
  }
  m_form->FormCreate();
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { CommitDataUnattended(); });
}

// The windows the commands open, on the program's settings, clock, places and services.
void TOrvaProgram::MakeWindows() {
  ProgramWindowsContext windows(m_settings, m_records->data.registry, m_records->catalogue,
                                *m_dialogs, *m_sound);
  windows.parent = m_form.get();
  windows.programPath = QApplication::applicationFilePath().toStdString();
  windows.now = [this] { return m_clock->Now(); };
  windows.places = &m_places;
  windows.dataDir = m_options.dataDir;
  windows.systemHosts = m_options.systemHosts;
  windows.secrets = m_options.secrets;
  windows.vatRate = [this] { return m_logic->Call().Tariff().vatRate; };
  windows.afterBill = [this] { m_logic->Call().RefreshPeriodCost(); };
  windows.afterSettings = [this] {
    m_form->ApplySettings(WindowSettingsFrom(m_settings));
    m_hints.SetShown(m_settings.showHints == 1);
    m_hints.SetPause(m_settings.hintPause);
    m_services->SettingsChanged();
    m_logic->Call().ApplyTimerSettings();
  };
  windows.selectTariff = [this](int index) { m_logic->Call().SelectTariff(index); };
  WireServices(windows);
  m_windows = std::make_unique<TProgramWindows>(std::move(windows));
}

// What the main window asks of the meter and the network services, and what it tells them.
void TOrvaProgram::WireForm() {
  m_services->playNewMailSound = [this] { m_logic->Call().PlayEventSound(kEventMail); };
  m_form->CounterSource = [this] { return MeterCounters(m_logic->Call(), m_clock->Now()); };
  m_form->CommandSource = [this] {
    CommandStateInput in;
    in.metering = m_logic->Call().Metering();
    in.voiceCall = m_logic->Call().Metering() && m_logic->Call().Info().kind == kKindVoice;
    in.mailCheckRunning = m_services->MailBusy();
    in.hostsWaiting = m_services->HostsWaiting();
    return in;
  };
  m_form->OnTariffChosen = [this](int index) { m_logic->Call().SelectTariff(index); };
  m_form->OnDialEntry = [this](const std::string& entry) { m_logic->Watcher().DialEntry(entry); };
  m_form->OnShowVoiceDialer = [this] { m_windows->OpenPhoneBook(); };
  // The first activation: the saved tariff and the period cost; then the setup wizard while
  // "Mostra wizard" is on, with both shortcut questions preset to "Sì".
  m_form->OnFirstActivation = [this] {
    m_logic->FirstActivation();
    if (m_settings.showWizard)
      m_windows->OpenWizard(true);
    else if (ShowTipsAtStart(m_settings))
      m_windows->OpenTips();
  };
}

// The DNS and monitor panels show the monitor's lookups and views.
void TOrvaProgram::EmbedServicePanels() {
  TrafficMonitor* monitor = m_services->Monitor();
  if (!monitor) return;
  auto embed = [this](const char* bodyName, auto make) {
    auto* body = m_form->findChild<QWidget*>(QString::fromLatin1(bodyName));
    if (!body) return;
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 0, 2, 0);
    QWidget* panel = make(body);
    layout->addWidget(panel);
    m_servicePanels << panel;
  };
  embed("MPanel5Body", [monitor](QWidget* body) { return new TDnsPanel(body, monitor->Dns()); });
  embed("MPanel6Body", [monitor](QWidget* body) { return new TMonitorPanel(body, *monitor); });
}

void TOrvaProgram::QuitOnSignals() {
  // SIGTERM and SIGINT end the program as the end of the session does: a metered call is
  // ended and recorded, the settings are saved, no password is asked.
  if (const Status watched = WatchQuitSignals(this, [this] { QuitUnattended(); }); !watched)
    std::fprintf(stderr, "orva32: %s\n", watched.error.c_str());
}

// The dial-up and telephony services as the windows use them: "Componi", the entries and their
// settings; their late news (entries learnt, refused requests) reach the window.
void TOrvaProgram::WireServices(ProgramWindowsContext& windows) {
  Dialup& dialup = *m_options.dialup;
  Telephony& telephony = *m_options.telephony;
  // Without a telephony service the phone book refuses "Componi" with a clear message.
  if (telephony.HasService()) {
    windows.dial = [&telephony](const DialRequest& request, std::string& error) {
      const Status placed = telephony.MakeCall(request.number, request.calledParty);
      if (!placed) error = placed.error;
      return placed.ok;
    };
  }
  windows.dialupEntries = [&dialup] { return dialup.EnumEntries(); };
  // The hosts window may delete names that waited, or save them into the hosts file.
  windows.afterHosts = [this] { m_services->ShowHostsWaiting(); };
  windows.entryUser = [&dialup](const std::string& entry) { return dialup.EntryUser(entry); };
  windows.editEntry = [this, &dialup](const std::string& entry) {
    const auto command = dialup.EditCommand(entry);
    return !command.empty() &&
           m_options.launcher->Launch({command, "", ShowWindow::swShowNormal}).ok;
  };
  dialup.onEntriesChanged = [this, &dialup] { m_form->SetDialEntries(dialup.EnumEntries()); };
  auto warn = [this](const std::string& text) {
    m_dialogs->Message(text, MsgType::Warning, MsgButtons::Ok);
  };
  dialup.onError = warn;
  telephony.onError = warn;
}

// A tariff that could not be copied or read would otherwise only show as a shorter list.
void TOrvaProgram::ReportStartupProblems() {
  std::vector<std::string> problems = m_options.startupProblems;
  const std::vector<std::string>& unreadable = m_records->catalogue.errors;
  problems.insert(problems.end(), unreadable.begin(), unreadable.end());
  if (problems.empty()) return;
  std::string text;
  for (const std::string& p : problems) text += (text.empty() ? "" : "\n") + p;
  m_dialogs->Message(text, MsgType::Warning, MsgButtons::Ok);
}

void TOrvaProgram::MakeLogic() {
  m_logAppended = std::make_unique<AppendedLog>(m_records->services.Log(), m_windows.get());
  m_records->services.Log().chooseLogFile = [this]() -> std::optional<std::string> {
    const QString file = ChooseLogFile(QString::fromStdString(m_options.dataDir), m_form.get());
    if (file.isEmpty()) return std::nullopt;
    return file.toStdString();
  };
  MeterPlatform platform;
  platform.clock = m_clock;
  platform.timers = m_timers;
  platform.dialogs = m_dialogs;
  platform.sound = m_sound;
  platform.view = m_form.get();
  platform.dialup = m_options.dialup;
  platform.telephony = m_options.telephony;
  platform.statistics = m_options.statistics;
  platform.launcher = m_options.launcher;
  platform.notifier = m_options.notifier;
  platform.chooseService = [this](const std::string& text) {
    return ChooseService(text, ServiceFilePath(m_options.dataDir), *m_dialogs, m_form.get());
  };
  platform.applicationId = ::getpid();
  platform.network =
      m_services->Hooks([this]() -> const CallInfo& { return m_logic->Call().Info(); },
                        [this] { return m_logic->Call().CallEnd(); });
  RecordLayers layers;
  layers.log = m_logAppended.get();
  m_logic = std::make_unique<MainLogic>(m_records->services.MeterDependencies(platform, layers));
}

std::vector<std::string> TOrvaProgram::HandleRequest(const std::string& line) {
  // The quit may ask the open windows: the request is answered first and the quit runs
  // from the event loop, so no question waits inside a request (the asker may be gone when
  // it is answered).
  if (const auto request = ParseWireRequest(line);
      request && !request->show && request->message.number == kMsgQuit) {
    if (!m_quitQueued) {
      m_quitQueued = true;
      QTimer::singleShot(0, this, [this] {
        m_quitQueued = false;
        QuitFromMessage();
      });
    }
    return {FormatDone(true)};
  }
  // A simulated link goes down with the call, as a hang-up takes a real one.
  return AnswerWireRequest(
      *m_logic, line, [this] { m_form->ShowORVAWin(); },
      [this](int number) {
        if (m_options.simulatedLink && (number == kMsgStop || number == kMsgQuit))
          m_options.simulatedLink->RemoveAll();
      });
}

bool TOrvaProgram::FormCloseQuery() {
  // The open windows first, then the password when "SaveOnExit" asks for it (not while the
  // session ends) and the confirmation of ending a call in progress. Nothing is closed
  // before all agreed.
  if (!m_windows->QueryClose()) return false;
  if (!m_logic->FormCloseQuery()) return false;
  m_windows->CloseAll();
  return true;
}

void TOrvaProgram::QuitFromMessage() {
  if (m_saved || !m_windows->QueryClose()) return;  // "Annulla": the meter goes on
  m_windows->CloseAll();
  if (m_options.simulatedLink) m_options.simulatedLink->RemoveAll();
  // Ends a call in progress, saves the settings and closes the main window.
  m_logic->HandleAppMessage(kMsgQuit, 0, 0, nullptr);
}

void TOrvaProgram::WMQueryEndSession() {
  m_logic->WMQueryEndSession();
}

void TOrvaProgram::CommitDataUnattended() {
  if (m_saved) return;
  WMQueryEndSession();
  m_windows->SaveUnattended();
  m_windows->StoreOpenWindows();
  StoreWindowSettings(m_form->CurrentSettings(), m_settings);
  m_settings.tariffIndex = std::max(0, m_logic->Call().SelectedTariff());
  // Nobody can read a message now; the settings are saved again at the end.
  [[maybe_unused]] const Status saved = SaveSettings(m_settings, m_options.dataDir);
}

void TOrvaProgram::QuitUnattended() {
  if (m_saved) return;
  WMQueryEndSession();
  m_windows->SaveUnattended();
  m_windows->CloseAll();
  m_form->QuitNow();
}

void TOrvaProgram::FormDestroy() {
  if (m_saved || !m_logic) return;
  m_saved = true;
  StoreWindowSettings(m_form->CurrentSettings(), m_settings);
  m_settings.tariffIndex = std::max(0, m_logic->Call().SelectedTariff());
  m_logic->FormDestroy();
}

void TOrvaProgram::BindCommands() {
  CommandHandlers& commands = m_form->Commands();
  commands.Bind(CommandId::Start, [this] { m_logic->Start1Click(); });
  commands.Bind(CommandId::Stop, [this] { m_logic->Stop1Click(); });
  commands.Bind(CommandId::Disconnect, [this] { m_logic->HangupBtnClick(); });
  commands.Bind(CommandId::Connect, [this] {
    // With dial-up entries the button and the item carry one dial item per entry.
    if (m_options.dialup->EnumEntries().empty())
      m_dialogs->Message("Nessuna connessione di accesso remoto configurata.\n" +
                             m_options.dialup->ConfigurationHint(),
                         MsgType::Information, MsgButtons::Ok);
  });
  m_services->BindCommands(commands);
  m_windows->BindCommands(commands);
}

}  // namespace orva

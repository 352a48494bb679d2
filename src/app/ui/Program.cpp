// The desktop program around the main window.
#include "app/ui/Program.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>

#include "app/ui/SplashForm.h"
#include "bill/Bolletta.h"
#include "core/HowUtils.h"
#include "core/password.h"
#include "platform/Dialup.h"
#include "tariff/Tariffe.h"

namespace orva {

bool ShowSplash(bool setting, const QStringList& arguments) {
  if (!setting) return false;
  return arguments.isEmpty() || arguments.front().toLower() != u"nosplash";
}

TOrvaProgram::TOrvaProgram(ProgramOptions options)
    : m_options(std::move(options)), m_settings(ProgramSettings()) {
  m_registry = std::make_unique<Registry>(m_options.dataDir);
  m_qtDialogs = std::make_unique<QtDialogs>();
  m_clock = m_options.clock ? m_options.clock : &m_systemClock;
  m_timers = m_options.timers ? m_options.timers : &m_qtTimers;
  m_dialogs = m_options.dialogs ? m_options.dialogs : m_qtDialogs.get();
  m_sound = m_options.sound ? m_options.sound : &m_qtSound;
  m_form = std::make_unique<TMainForm>();
  m_qtDialogs->SetParent(m_form.get());
}

TOrvaProgram::~TOrvaProgram() {
  FormDestroy();
  m_form->OnDestroy = nullptr;
}

void TOrvaProgram::SplashStep(const char* text) {
  if (m_splash) m_splash->Step(QString::fromUtf8(text));
}

void TOrvaProgram::Start() {
  // 1-2: the settings (and, at the first run, the autostart entry).
  AutostartRequest autostart{QApplication::applicationFilePath().toStdString(), {}};
  LoadSettings(m_settings, *m_registry, m_options.autostart ? &autostart : nullptr);
  // 4: the splash window.
  if (ShowSplash(m_settings.showSplash, m_options.arguments)) {
    m_splash = std::make_unique<TSplashForm>();
    m_splash->show();
  }
  SplashStep("Loading preferences...");
  // 5: the install record.
  WriteInstallRecord(*m_registry);
  // 3, 6, 7: colours, panels and the place of the window.
  m_form->ApplySettings(WindowSettingsFrom(m_settings));
  SplashStep("Initialize RAS...");
  SplashStep("Initialize TAPI...");
  SplashStep("Initialize Sysmenu...");
  SplashStep("Checking RAS...");
  SplashStep("Open Database...");
  SplashStep("Scanning files...");
  SplashStep("Setup cost...");
  SplashStep("Startup...");

  m_form->CloseQuery = [this] { return FormCloseQuery(); };
  m_form->OnDestroy = [this] { FormDestroy(); };
  m_form->OnCommand = [this](const QString& name) { Command(name); };
  ProgramWindowsContext windows{
      m_settings, *m_registry,  *m_dialogs,
      *m_sound,   m_form.get(), QApplication::applicationFilePath().toStdString(),
      {},         {},           {},
      {},         {},           {}};
  windows.vatRate = [this] {
    TariffResult r;
    EvaluateTariff(m_windows->Catalogue(), m_settings.tariffIndex, 0, 0, m_clock->Now(), r,
                   *m_dialogs);
    return r.vatRate;
  };
  windows.afterBill = [this] {
    ReadPeriodCost();
    m_form->RedrawCounters();
  };
  windows.afterSettings = [this] { m_form->ApplySettings(WindowSettingsFrom(m_settings)); };
  windows.selectTariff = [this](int index) { m_form->SelectTariff(index); };
  // No telephony service yet: the phone book refuses "Componi" with a clear message.
  windows.dial = nullptr;
  windows.dialupEntries = [] { return PppDialup().EnumEntries(); };
  m_windows = std::make_unique<TProgramWindows>(std::move(windows));
  // The first activation opens the setup wizard while "Mostra wizard" is on, with both
  // shortcut questions preset to "Sì".
  m_form->CounterSource = [this] {
    CounterInput in;
    in.now = m_clock->Now();
    in.periodCost = m_periodCost;
    return in;
  };
  m_form->OnFirstActivation = [this] {
    ReadPeriodCost();
    if (m_settings.showWizard) m_windows->OpenWizard(true);
  };
  m_form->SetTariffs(m_windows->Catalogue().descriptions, m_windows->Catalogue().abbreviations);
  m_form->SelectTariff(m_settings.tariffIndex);
  // The windows of these commands are not part of the program yet.
  for (const char* name :
       {cmd::kLog,           cmd::kLogTables, cmd::kBill,    cmd::kBillTables, cmd::kTariffs,
        cmd::kTariffsTables, cmd::kServers,   "HostsBtn",    "Opzioni1",       "SetupBtn",
        "Wizard1",           "Suggerimenti1", cmd::kMailNow, cmd::kMailCyclic, cmd::kMailStop,
        "ClockBtn",          cmd::kVoice,     "VoiceBtn",    cmd::kStart,      "StartBtn",
        cmd::kStop,          "StopBtn",       cmd::kConnect, "ConnectBtn",     cmd::kDisconnect,
        "HangupBtn"})
    if (!TProgramWindows::Commands().contains(QString::fromLatin1(name)))
      m_form->SetCommandAvailable(QString::fromLatin1(name), false);

  // 20: the splash goes, the window takes its mode and place.
  m_splash.reset();
  m_form->FormCreate();
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { WMQueryEndSession(); });
}

namespace {
int g_signalPipe[2] = {-1, -1};
void OnQuitSignal(int) {
  const char c = 1;
  [[maybe_unused]] const auto n = ::write(g_signalPipe[1], &c, 1);
}
}  // namespace

void TOrvaProgram::QuitOnSignals() {
  // SIGTERM and SIGINT end the program as the end of the session does: a metered call is
  // ended and recorded, the settings are saved, no password is asked.
  if (g_signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, [this] {
    char c;
    [[maybe_unused]] const auto n = ::read(g_signalPipe[0], &c, 1);
    WMQueryEndSession();
    m_form->QuitNow();
  });
  struct sigaction sa {};
  sa.sa_handler = OnQuitSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
}

bool TOrvaProgram::FormCloseQuery() {
  if (!m_shutdown && !CheckPasswordFor(ProtectedAction::Close, m_settings.access, *m_dialogs))
    return false;
  return true;
}

void TOrvaProgram::WMQueryEndSession() {
  m_shutdown = true;
}

void TOrvaProgram::FormDestroy() {
  if (m_saved) return;
  m_saved = true;
  StoreWindowSettings(m_form->CurrentSettings(), m_settings);
  m_settings.tariffIndex = m_form->SelectedTariff() < 0 ? 0 : m_form->SelectedTariff();
  const Status saved = SaveSettings(m_settings);
  if (!saved.ok) m_dialogs->Message(saved.error, MsgType::Error, MsgButtons::Ok);
}

void TOrvaProgram::ReadPeriodCost() {
  BillOptions options;
  options.directory = m_options.dataDir;
  options.decimals = m_settings.decimals;
  m_periodCost = PeriodCost(m_settings.billStart, DecodeDate(m_clock->Now()), options);
}

void TOrvaProgram::Command(const QString& name) {
  if (m_windows && m_windows->Handle(name)) return;
  if (name == u"Informazioni1") ShowAbout();
}

void TOrvaProgram::ShowAbout() {
  QMessageBox::about(m_form.get(), QStringLiteral("ORVA32"),
                     QStringLiteral("ORVA32 4.1\n\nContascatti per connessioni e telefonate.\n"
                                    "Dati in: %1")
                         .arg(QString::fromStdString(m_options.dataDir)));
}

}  // namespace orva

// The desktop program around the main window: the settings, the platform services, the
// start-up order with the splash window, the close decision and the save at the end.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/AccessibleNames.h"
#include "app/ui/Hints.h"
#include "app/ui/MainForm.h"
#include "app/ui/NetworkServices.h"
#include "app/ui/Windows.h"
#include "core/Settings.h"
#include "core/WindowPlaces.h"
#include "meter/MainLogic.h"
#include "platform/Clock.h"
#include "platform/Dialup.h"
#include "platform/Notifier.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/SecretStore.h"
#include "platform/SysMon.h"
#include "platform/Telephony.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtSound.h"
#include "platform/qt/QtTimer.h"
#include "platform/qt/WindowStateLauncher.h"
#include "services/ProgramServices.h"
#include "simulation/Simulated.h"

namespace orva {

class TSplashForm;

// The connection log as the meter writes it, telling the windows what changed in the file.
class AppendedLog final : public LogService {
 public:
  AppendedLog(LogService& log, TProgramWindows* windows) : m_log(log), m_windows(windows) {}
  AppendResult Append(const CallRecord& record) override;
  AppendResult SetService(const std::string& line, const std::string& service) override;

 private:
  LogService& m_log;
  TProgramWindows* m_windows;
};

inline constexpr unsigned kWhiteHints = 0xFFFFFF;

struct ProgramOptions {
  std::string dataDir;  // the resolved data directory, with a trailing "/"
  std::string systemHosts = kSystemHostsPath;
  QStringList arguments;           // the command line without the program name
  Clock* clock = nullptr;          // default: the system clock
  TimerFactory* timers = nullptr;  // default: Qt timers
  Dialogs* dialogs = nullptr;      // default: Qt message boxes
  Sound* sound = nullptr;          // default: Qt Multimedia
  // The dial-up links, their byte counters, the modem's calls and the program launcher;
  // default: the system's (NetworkManager or pppd links, sysfs counters, ModemManager's voice
  // calls when it runs, real processes).
  Dialup* dialup = nullptr;
  // Without `dialup`: "nm", "pppd", or empty for NetworkManager when it is on the system bus.
  std::string dialupChoice;
  // The name patterns of pppd's links (--interfaces); empty: "ppp*".
  std::vector<std::string> interfacePatterns;
  StatisticsSource* statistics = nullptr;
  Telephony* telephony = nullptr;
  Launcher* launcher = nullptr;
  // A simulated link: the stop and quit messages take it down, as a real hang-up would.
  SimulatedDialup* simulatedLink = nullptr;
  // Sockets and resolver, and the connection table; default: Qt's and the system's /proc.
  NetworkFactory* network = nullptr;
  MibAgentPtr mib;
  // What went wrong before the program started (copying the shipped tariffs): shown once the
  // window is up.
  std::vector<std::string> startupProblems;
  // The desktop's notifications; default: the notification service of the session bus.
  Notifier* notifier = nullptr;
  // Where the mailboxes' passwords are kept; default: the desktop's keyring, when one runs.
  SecretStore* secrets = nullptr;
};

class TOrvaProgram final : public QObject {
  Q_OBJECT
 public:
  explicit TOrvaProgram(ProgramOptions options);
  ~TOrvaProgram() override;

  // FormCreate: the start-up in its order; the window is shown (or hidden) at the end.
  void Start();
  TMainForm& Form() { return *m_form; }
  Settings& ProgramSettingsRecord() { return m_settings; }
  const TariffCatalogue& Catalogue() const { return m_records->catalogue; }
  MainLogic& Logic() { return *m_logic; }
  TProgramWindows& Windows() { return *m_windows; }
  TNetworkServices& Network() { return *m_services; }
  THints& Hints() { return m_hints; }
  TSplashForm* Splash() const { return m_splash.get(); }

  // One request line of another instance or of `orva32cli send`; the answer lines.
  std::vector<std::string> HandleRequest(const std::string& line);

  // The close decision ("Termina"): every open window that may refuse is asked first, then
  // the password when "SaveOnExit" asks for it and the call in progress. "Annulla" anywhere
  // leaves everything running; once all agreed the windows store their values and close.
  bool FormCloseQuery();
  // Message 1027 (another instance, `orva32cli send quit`): the windows are asked as above,
  // then the call is ended and recorded, the settings saved and the program ends. Runs
  // after the request was answered, never inside the request.
  void QuitFromMessage();
  // The desktop session is ending: no password is asked at close; the call in progress is
  // ended and recorded without questions.
  void WMQueryEndSession();
  // The session asks to commit data: nobody answers; the call is recorded, unsaved window
  // edits saved as "Sì" would, every window's values and the settings stored.
  void CommitDataUnattended();
  // SIGTERM: the same, then the program ends.
  void QuitUnattended();
  // Saves the settings with the window's values.
  void FormDestroy();
  // SIGTERM and SIGINT close the program cleanly.
  void QuitOnSignals();

 private:
  void SplashStep(const char* text);
  void ApplyHintSettings();
  void BindCommands();
  void ReportStartupProblems();
  void MakeLogic();
  void MakeWindows();
  void WireForm();
  void EmbedServicePanels();
  void WireServices(ProgramWindowsContext& windows);

  ProgramOptions m_options;
  WindowPlaces m_places;
  SystemClock m_systemClock;
  QtTimerFactory m_qtTimers;
  std::unique_ptr<QtDialogs> m_qtDialogs;
  QtSound m_qtSound;
  Clock* m_clock;
  TimerFactory* m_timers;
  Dialogs* m_dialogs;
  Sound* m_sound;
  // The settings, the catalogue, the bill and the log of the data directory, made once here;
  // the windows and the meter get references.
  std::unique_ptr<ProgramRecords> m_records;
  Settings& m_settings;
  std::unique_ptr<TMainForm> m_form;
  std::unique_ptr<TSplashForm> m_splash;
  THints m_hints;
  TAccessibleNames m_accessibleNames;
  std::unique_ptr<TProgramWindows> m_windows;
  std::unique_ptr<Dialup> m_ownDialup;
  std::unique_ptr<Telephony> m_ownTelephony;
  std::unique_ptr<Notifier> m_ownNotifier;
  std::unique_ptr<SecretStore> m_ownSecrets;
  SysfsStatistics m_sysfs;
  WindowStateLauncher m_processLauncher;
  std::unique_ptr<AppendedLog> m_logAppended;
  std::unique_ptr<TNetworkServices> m_services;
  // The panels over the services' monitor: they go before the services.
  QList<QPointer<QWidget>> m_servicePanels;
  // Declared last: it goes first, while everything it calls is still there.
  std::unique_ptr<MainLogic> m_logic;
  bool m_saved = false;
  bool m_quitQueued = false;
};

// Whether the splash window is shown: the setting is on and the first argument is not
// "nosplash" in any letter case.
bool ShowSplash(bool setting, const QStringList& arguments);

}  // namespace orva

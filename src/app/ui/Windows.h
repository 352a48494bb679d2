// The windows the main window opens from its commands: the log, the bill view, the options,
// the setup wizard, the phone book, the tariff editor, the hosts dialog, the tips and the
// information box. Each is created
// when its command runs; the log and the phone book stay open beside the main window.
#pragma once

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Commands.h"
#include "core/Settings.h"
#include "log/Logform.h"
#include "net/Hosts.h"
#include "phone/ui/vivavoce.h"
#include "phone/vivavoce.h"
#include "platform/DateTime.h"
#include "platform/Dialogs.h"
#include "platform/Registry.h"
#include "platform/SecretStore.h"
#include "platform/Sound.h"
#include "tariff/Tariffe.h"

class QWidget;

namespace orva {

struct SetupContext;

class TDialForm;
class WindowPlaces;
class TWizardDlg;
class TSetupForm;
class TLog;
class TTipsForm;

struct ProgramWindowsContext {
  ProgramWindowsContext(Settings& s, Registry& r, const TariffCatalogue& c, Dialogs& d, Sound& so)
      : settings(s), registry(r), catalogue(c), dialogs(d), sound(so) {}

  Settings& settings;
  Registry& registry;
  // The tariffs of the data directory, as the program read them at its start.
  const TariffCatalogue& catalogue;
  Dialogs& dialogs;
  Sound& sound;
  QWidget* parent = nullptr;
  std::string programPath;
  // The data directory (with a trailing "/") and the system hosts file.
  std::string dataDir;
  std::string systemHosts = kSystemHostsPath;
  // The program's clock: the day the bill view opens on, the new log entry's date, the tip of
  // the day. The wall clock when unset.
  std::function<TDateTime()> now;
  // Where the log, its manual entry, the visited servers and the tariff editor open; none
  // keeps no places.
  WindowPlaces* places = nullptr;
  // The VAT rate of the current tariff, as a fraction.
  std::function<double()> vatRate;
  // After the bill view closed (the main window reads the period cost again and redraws),
  // after the options or the wizard changed the settings, and the tariff hand-over (1028).
  std::function<void()> afterBill;
  std::function<void()> afterSettings;
  std::function<void(int tariffIndex)> selectTariff;
  // After the hosts window closed.
  std::function<void()> afterHosts;
  // The voice call request; false with a text when it cannot be placed.
  std::function<bool(const DialRequest&, std::string&)> dial;
  std::function<std::vector<std::string>()> dialupEntries;
  // The "Accesso Remoto" page: an entry's stored user name, and its settings editor (false
  // when it cannot be opened).
  std::function<std::string(const std::string& entry)> entryUser;
  std::function<bool(const std::string& entry)> editEntry;
  // The desktop's keyring for the mailboxes' passwords; none: POP3.LST alone.
  SecretStore* secrets = nullptr;
};

class TProgramWindows {
 public:
  explicit TProgramWindows(ProgramWindowsContext context);
  ~TProgramWindows();

  // Binds the commands that open the program's windows.
  void BindCommands(CommandHandlers& commands);

  void OpenLog();
  void OpenBill();
  void OpenOptions();
  // presetShortcuts: the first activation asks both shortcut questions preset to "Sì".
  void OpenWizard(bool presetShortcuts);
  void OpenPhoneBook();
  void OpenTariffEditor();
  // The tips of the day (beside the main window) and the information box (modal).
  void OpenTips();
  void OpenAbout();
  // "Gestione indirizzi dei server", modal.
  void OpenHosts();
  static void OpenHelp(int context);

  // Quitting. QueryClose asks every open window that may refuse (the log with unsaved
  // changes); false when one was cancelled, and then nothing has been closed.
  bool QueryClose();
  // Nobody can answer (the session ends): unsaved changes are saved as "Sì" would.
  void SaveUnattended();
  // Every open window stores its values into the settings (place, phone book, speaker).
  void StoreOpenWindows();
  // Stores and closes every open window without asking again.
  void CloseAll();
  // The meter appended a call to the log: an open log window shows it.
  void LogAppended();
  void LogRecordRewritten(const std::string& oldLine, const std::string& newLine);

 private:
  TDateTime Now() const;
  void BindMailboxFile(SetupContext& ctx, const std::string& pop3);

  ProgramWindowsContext m_ctx;
  QPointer<TLog> m_log;
  std::shared_ptr<LogClipboard> m_logClipboard = std::make_shared<LogClipboard>();
  QPointer<TDialForm> m_phone;
  QPointer<TWizardDlg> m_wizard;
  DialFormSettings m_phoneSettings;
  QPointer<TSetupForm> m_options;
  QPointer<TTipsForm> m_tips;
};

}  // namespace orva

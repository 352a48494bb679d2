// The settings store: every user setting of ORVA32.INI and of the registry in one record,
// loaded once at start-up and written back at shutdown and after the options dialog and the
// guided setup. Windows apply the values (sizes, colours, hints); this file only holds them.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "core/Currency.h"
#include "platform/Registry.h"
#include "platform/Result.h"

namespace orva {

// A colour as the settings file stores it: the decimal value of 0x00BBGGRR.
using SettingsColour = std::uint32_t;

// The left coordinate of a window moved out of sight instead of being hidden.
inline constexpr int kHiddenLeft = -5000;

inline constexpr int kPasswordPeriod = 7;

// The access-control values under HKEY_CURRENT_USER\Software\VALDO\Settings. A missing value
// reads as 0 or empty; the guards and limits act only while the password is not empty.
struct AccessSettings {
  std::string password;            // plain text ("Regkey" unscrambled); empty: no password
  int preventStop = 0;             // "Maximize": stopping the meter by hand needs the password
  int preventStart = 0;            // "Minimize": starting the meter by hand needs the password
  int limitBill = 0;               // "Access": opening the bill needs the password
  int disconnectAfterMinutes = 0;  // "Scrolling"
  std::optional<int> disconnectMinutes;      // "Position" (the options show 30 when absent)
  int disconnectAtTick = 0;                  // "Updating"
  std::optional<int> disconnectTick;         // "Undo" (options default 5)
  std::optional<int> disconnectTickAdvance;  // "Previous", seconds (options default 10)
  int preventClose = 0;                      // "SaveOnExit": closing the program needs the password

  bool HasPassword() const { return !password.empty(); }
};

// The event sounds, in the order of their keys in section "Suoni".
enum SoundEvent { kSoundConnect, kSoundDisconnect, kSoundTick, kSoundWarning, kSoundMail };
inline constexpr int kSoundEvents = 5;

// One program launched when a dial-up connection comes up ("Avvio applicazioni").
struct LaunchedProgram {
  std::string program;                 // "Applicazione n"
  int window = 0;                      // "Finestra n": 0 normal, 1 maximised, 2 minimised
  std::string provider = "qualunque";  // "Provider n": entry name, "qualunque" = any
};

struct Settings {
  // [Impostazioni generali]
  int soundsOn = 1;              // "Beep ad ogni scatto": master switch of the event sounds
  bool showWizard = true;        // "Mostra wizard"
  bool showSplash = false;       // "Show splash screen"
  int saveOptions = 1;           // "Salva opzioni": 0 = never written back
  int savePosition = 1;          // "Salva posizione": the window size and top are applied at load
  int leftLarge = 0;             // "Left coord. Z"
  int leftSmall = 100;           // "Left coord. S"
  int topLarge = 0;              // "Top coord. Z"
  int topSmall = 0;              // "Top coord. S"
  int mainWidth = 450;           // "Main width"
  int mainHeight = 450;          // "Main height"
  int mainTop = 100;             // "Top coord."
  int mainLeft = kHiddenLeft;    // "Left coord.": written only, skipped while kHiddenLeft
  int confirmStop = 1;           // "Conferma allo stop"
  int aboutLeft = -1;            // "About box Left coord."
  int aboutTop = -1;             // "About box Top coord."
  int display = 1;               // "Display": counter item 1..7
  int lockPosition = 0;          // "Blocca posizione"
  int alwaysOnTop = 1;           // "Sempre in primo piano"
  bool autoSleep = false;        // "Modalità sleep automatica"
  bool bitmapBackground = true;  // "Sfondo a bitmap"
  bool askService = false;       // "Richiedi servizio"
  int decimals = 1;              // "Cifre decimali"
  // "Valuta": the currency every amount is shown in. LoadSettings gives a new installation
  // (no ORVA32.INI) euro; an ORVA32.INI written before the key existed keeps its lire.
  Currency currency = Currency::Lire;
  std::array<bool, 6> panels{true, true, true, true, true, true};  // "Pannello 1".."Pannello 6"
  SettingsColour labelColour = 255;                                // "Colore etichette"
  SettingsColour textColour = 0xFFFFFF;                            // "Colore testo"
  SettingsColour backgroundColour = 0;                             // "Colore sfondo"
  int maximizeOnConnect = 1;                                       // "Massimizza"
  int iconOnStart = 0;                                             // "Icona allo start"
  int iconOnStop = 0;                                              // "Icona allo stop"
  int hideOnStop = 0;                                              // "Nascondi allo stop"
  int flashIcon = 0;                                               // "Icona lampeggiante"
  int flashWindow = 0;                                             // "Finestra lampeggiante"
  int flashAdvance = 10;                  // "Anticipo finestra lampeggiante", seconds
  int windowMode = 0;                     // "Dimensioni finestra principale": 0 large
  std::string setupPosition = "Default";  // "Posizione setup"

  // [Tariffa]
  int tariffIndex = 0;  // "Classe tariffa"

  // [Opzioni avanzate]
  int timerClockMs = 200;                 // "Timer clock ms."
  int autoStart = 0;                      // "Avvio automatico"
  int autoStop = 0;                       // "Arresto automatico"
  std::string negotiationTime = "10000";  // "Tempo di negoziazione", ms
  std::string modemInit = "ATX3";         // "Stringa init modem"
  int dialMode = 1;                       // "Tipo di selezione"

  // [Messaggi aiuto]
  int showHints = 1;                   // "Mostra suggerimenti"
  int hintPause = 250;                 // "Attesa suggerimenti", ms
  int hintType = 1;                    // "Tipo suggerimenti"
  SettingsColour hintColour = 0xFFFF;  // "Colore suggerimenti"

  // [Bolletta]
  std::string billStart;                 // "Inizio conteggio"
  std::string billFixedCosts = "0";      // "Costi fissi"
  std::string billExtraTicks = "0";      // "Scatti supplementari"
  int billShowData = 0;                  // "Visualizza dati"
  std::string billPosition = "Default";  // "Posizione"

  // [Suoni]: "Suono connessione" ... "Suono nuova mail", "Abilita suono ..." (SoundEvent order)
  std::array<std::string, kSoundEvents> soundFiles{"None", "None", "None", "None", "None"};
  std::array<bool, kSoundEvents> soundEnabled{};

  // [Log settings] (the log window keeps "Header 0".."Header 11", "Log", "Show url" itself)
  std::string logEditor = "xdg-open";  // "Editor": the program that opens the log as text
  std::string logFileName;             // "Nome file Log": data directory + "ORVA.LOG"
  std::string defaultService;          // "Default servizio"
  int serviceIndex = 0;                // "Indice Servizio"
  int sortIndex = -1;                  // "Indice ordinamento"
  bool sortAscending = true;           // "Ordinamento ascendente"
  std::string logFont;                 // "Font"
  int logFontSize = 0;                 // "Dimensione font"
  int logFontStyle = 0;                // "Stile font"
  SettingsColour logFontColour = 0;    // "Colore font"
  SettingsColour logBackgroundColour = 0xFFFFFF;  // "Colore sfondo lista"

  // [Messsaggi di avviso]
  int warnTimeOn = 0;                     // "Attiva a tempo"
  int warnTimeMinutes = 20;               // "A tempo"
  int warnDayCostOn = 0;                  // "Attiva costo giornaliero"
  std::string warnDayCost = "1000";       // "Costo giornaliero", lire
  int warnDayCostWithVat = 1;             // "Costo giornaliero con IVA"
  int warnPeriodCostOn = 0;               // "Attiva costo periodo"
  std::string warnPeriodCost = "100000";  // "Costo periodo", lire
  int warnPeriodCostWithVat = 1;          // "Costo periodo con IVA"
  int warnFrequency = 1;                  // "Frequenza", seconds
  int warning = 1;                        // "Avvertimento"

  // [Notifiche]: said through the desktop's notifications when a notification service runs
  bool notifyWarnings = true;  // "Avvisi": the time and cost warnings, instead of the box
  bool notifyMail = true;      // "Nuova posta": new mail, instead of the box
  bool notifyCallEnd = false;  // "Fine chiamata": a summary of each finished call

  // [Avvio applicazioni]: "Applicazione n", "Finestra n", "Provider n", n = 1..3
  std::array<LaunchedProgram, 3> launched{};

  // [Viva voce]
  int speakerVolume = 2;                  // "Volume altoparlante", 0..3
  std::string phoneBook;                  // "Rubrica telefonica": data directory + "rubrica.tel"
  std::string voicePosition = "Default";  // "Posizione"

  // [TCPIP]
  bool getNetworkTime = true;    // "Get network time"
  bool setNetworkTime = false;   // "Set network time"
  bool tcpMonitoring = true;     // "TCP monitoring"
  bool resolveAddresses = true;  // "Resolve IP addresses"
  bool manageHosts = true;       // "Automated Hosts management"
  bool recordIpList = true;      // "Record IP list"

  // [POP3]
  int mailCheckMinutes = 15;      // "Check mail every"
  bool mailCheckEnabled = false;  // "Mail check enabled"
  bool mailRequireTls = true;     // "Richiedi connessione cifrata"
  int mailReadTimeout = 60;       // "Timeout lettura", seconds

  // [Mail dialog]: "Header width 0".."Header width 4"
  std::array<int, 5> mailHeaderWidths{150, 55, 65, 50, 150};
  std::string mailPosition = "Default";  // "Mail pos"

  // [Suggerimenti] "Help Tips": tips at start; when false the main window starts hidden
  bool helpTips = true;
  // [Setup] "Suggerimenti": owned by the tips window
  bool setupTips = true;

  // [Host dialog]
  std::string hostPosition = "Default";  // "Host pos"

  // Not keys: fixed at load.
  std::string associationPath;  // data directory + "lista.ser"

  // The registry values.
  AccessSettings access;
  std::string rubrixPath;  // HKEY_CURRENT_USER\Software\Zefir\Rubrix "Path" (read only)

  // Bookkeeping of the save: each key's text as the file held it when last loaded or saved.
  // A key whose value is unchanged since then is not written, so a window that stored its
  // own value in the file meanwhile (a position, a column width) keeps it.
  std::map<std::string, std::string> storedTexts;
};

// Reads ORVA32.INI of `dataDir` and the registry values into `s`; a missing file or
// key, or a text that does not convert, gives the default; a number out of the range the
// program works with is brought to the nearest end of it. At the program's start
// (`atStartup`), first deletes the "Run" value ORVA32. The default files (log, phone book,
// service list) are those of `dataDir`.
void LoadSettings(Settings& s, const std::string& dataDir, Registry& registry,
                  bool atStartup = false);

// "Valuta" of the settings in `dataDir` alone, by the rule of LoadSettings: euro without an
// ORVA32.INI, lire for one written without the key.
Currency LoadCurrencySetting(const std::string& dataDir);

// Writes every key back (once, crash-safely) unless "Salva opzioni" is 0, with the three
// informational keys of section "ORVA32". A failed write is returned.
Status SaveSettings(Settings& s, const std::string& dataDir);

// Reads the VALDO values; "Regkey" is unscrambled (an unreadable value gives no password).
void LoadAccessSettings(AccessSettings& access, const Registry& registry);
// Writes the VALDO values but "Regkey" as the options dialog does: a flag as 1 when set and
// deleted when clear, a number deleted when absent.
Status SaveAccessSettings(const AccessSettings& access, Registry& registry);

// HKEY_CURRENT_USER\Software\Zefir\ORVA32: "Path" (the data directory) and "Version" "4.1",
// written at every start.
Status WriteInstallRecord(Registry& registry, const std::string& dataDir);

// A colour text: "clDefault", a text that is not an integer, or a value that is no RGB colour
// gives the fallback.
SettingsColour ParseSettingsColour(const std::string& text, SettingsColour fallback);

}  // namespace orva

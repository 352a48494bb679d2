// Loading and saving the settings record.
#include "core/Settings.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "core/Autostart.h"
#include "core/HowUtils.h"
#include "core/UCritto.h"
#include "platform/DataFiles.h"
#include "platform/IniFile.h"
#include "platform/Numbers.h"
#include "platform/SafeFile.h"
#include "platform/TextCodec.h"
#include "platform/Trim.h"

namespace orva {

namespace {

constexpr const char* kGeneral = "Impostazioni generali";
constexpr const char* kAdvanced = "Opzioni avanzate";
constexpr const char* kHints = "Messaggi aiuto";
constexpr const char* kBill = "Bolletta";
constexpr const char* kSounds = "Suoni";
constexpr const char* kLog = "Log settings";
// The section name as the file has always spelt it.
constexpr const char* kWarnings = "Messsaggi di avviso";
constexpr const char* kLaunch = "Avvio applicazioni";
constexpr const char* kVoice = "Viva voce";
constexpr const char* kTcpip = "TCPIP";

constexpr const char* kSoundKeys[kSoundEvents] = {"Suono connessione", "Suono disconnessione",
                                                  "Suono scatto", "Suono avviso",
                                                  "Suono nuova mail"};
constexpr const char* kSoundEnableKeys[kSoundEvents] = {
    "Abilita suono connessione", "Abilita suono disconnessione", "Abilita suono scatto",
    "Abilita suono avviso", "Abilita suono mail"};

// One walk over the key table serves both the load and the save.
class KeyVisitor {
 public:
  virtual ~KeyVisitor() = default;
  virtual void Int(const std::string& section, const std::string& key, int& value) = 0;
  virtual void Bool(const std::string& section, const std::string& key, bool& value) = 0;
  virtual void Str(const std::string& section, const std::string& key, std::string& value) = 0;
  virtual void Colour(const std::string& section, const std::string& key,
                      SettingsColour& value) = 0;
};

void VisitKeys(Settings& s, KeyVisitor& v) {
  const std::string g = kGeneral;
  v.Int(g, "Beep ad ogni scatto", s.soundsOn);
  v.Bool(g, "Mostra wizard", s.showWizard);
  v.Bool(g, "Show splash screen", s.showSplash);
  v.Int(g, "Salva opzioni", s.saveOptions);
  v.Int(g, "Salva posizione", s.savePosition);
  v.Int(g, "Left coord. Z", s.leftLarge);
  v.Int(g, "Left coord. S", s.leftSmall);
  v.Int(g, "Top coord. Z", s.topLarge);
  v.Int(g, "Top coord. S", s.topSmall);
  v.Int(g, "Main width", s.mainWidth);
  v.Int(g, "Main height", s.mainHeight);
  v.Int(g, "Top coord.", s.mainTop);
  v.Int(g, "Conferma allo stop", s.confirmStop);
  v.Int(g, "About box Left coord.", s.aboutLeft);
  v.Int(g, "About box Top coord.", s.aboutTop);
  v.Int(g, "Display", s.display);
  v.Int(g, "Blocca posizione", s.lockPosition);
  v.Int(g, "Sempre in primo piano", s.alwaysOnTop);
  v.Bool(g, "Modalità sleep automatica", s.autoSleep);
  v.Bool(g, "Sfondo a bitmap", s.bitmapBackground);
  v.Bool(g, "Richiedi servizio", s.askService);
  v.Int(g, "Cifre decimali", s.decimals);
  std::string currency = CurrencyName(s.currency);
  v.Str(g, "Valuta", currency);
  s.currency = ParseCurrencyName(currency).value_or(s.currency);
  for (int i = 0; i < 6; ++i) {
    bool shown = s.panels[static_cast<std::size_t>(i)];
    v.Bool(g, "Pannello " + std::to_string(i + 1), shown);
    s.panels[static_cast<std::size_t>(i)] = shown;
  }
  v.Colour(g, "Colore etichette", s.labelColour);
  v.Colour(g, "Colore testo", s.textColour);
  v.Colour(g, "Colore sfondo", s.backgroundColour);
  v.Int(g, "Massimizza", s.maximizeOnConnect);
  v.Int(g, "Icona allo start", s.iconOnStart);
  v.Int(g, "Icona allo stop", s.iconOnStop);
  v.Int(g, "Nascondi allo stop", s.hideOnStop);
  v.Int(g, "Icona lampeggiante", s.flashIcon);
  v.Int(g, "Finestra lampeggiante", s.flashWindow);
  v.Int(g, "Anticipo finestra lampeggiante", s.flashAdvance);
  v.Int(g, "Dimensioni finestra principale", s.windowMode);
  v.Str(g, "Posizione setup", s.setupPosition);

  v.Int("Tariffa", "Classe tariffa", s.tariffIndex);

  v.Int(kAdvanced, "Timer clock ms.", s.timerClockMs);
  v.Int(kAdvanced, "Avvio automatico", s.autoStart);
  v.Int(kAdvanced, "Arresto automatico", s.autoStop);
  v.Str(kAdvanced, "Tempo di negoziazione", s.negotiationTime);
  v.Str(kAdvanced, "Stringa init modem", s.modemInit);
  v.Int(kAdvanced, "Tipo di selezione", s.dialMode);

  v.Int(kHints, "Mostra suggerimenti", s.showHints);
  v.Int(kHints, "Attesa suggerimenti", s.hintPause);
  v.Int(kHints, "Tipo suggerimenti", s.hintType);
  v.Colour(kHints, "Colore suggerimenti", s.hintColour);

  v.Str(kBill, "Inizio conteggio", s.billStart);
  v.Str(kBill, "Costi fissi", s.billFixedCosts);
  v.Str(kBill, "Scatti supplementari", s.billExtraTicks);
  v.Int(kBill, "Visualizza dati", s.billShowData);
  v.Str(kBill, "Posizione", s.billPosition);

  for (int i = 0; i < kSoundEvents; ++i)
    v.Str(kSounds, kSoundKeys[i], s.soundFiles[static_cast<std::size_t>(i)]);
  for (int i = 0; i < kSoundEvents; ++i) {
    bool on = s.soundEnabled[static_cast<std::size_t>(i)];
    v.Bool(kSounds, kSoundEnableKeys[i], on);
    s.soundEnabled[static_cast<std::size_t>(i)] = on;
  }

  v.Str(kLog, "Editor", s.logEditor);
  v.Str(kLog, "Nome file Log", s.logFileName);
  v.Str(kLog, "Default servizio", s.defaultService);
  v.Int(kLog, "Indice Servizio", s.serviceIndex);
  v.Int(kLog, "Indice ordinamento", s.sortIndex);
  v.Bool(kLog, "Ordinamento ascendente", s.sortAscending);
  v.Str(kLog, "Font", s.logFont);
  v.Int(kLog, "Dimensione font", s.logFontSize);
  v.Int(kLog, "Stile font", s.logFontStyle);
  v.Colour(kLog, "Colore font", s.logFontColour);
  v.Colour(kLog, "Colore sfondo lista", s.logBackgroundColour);

  v.Int(kWarnings, "Attiva a tempo", s.warnTimeOn);
  v.Int(kWarnings, "A tempo", s.warnTimeMinutes);
  v.Int(kWarnings, "Attiva costo giornaliero", s.warnDayCostOn);
  v.Str(kWarnings, "Costo giornaliero", s.warnDayCost);
  v.Int(kWarnings, "Costo giornaliero con IVA", s.warnDayCostWithVat);
  v.Int(kWarnings, "Attiva costo periodo", s.warnPeriodCostOn);
  v.Str(kWarnings, "Costo periodo", s.warnPeriodCost);
  v.Int(kWarnings, "Costo periodo con IVA", s.warnPeriodCostWithVat);
  v.Int(kWarnings, "Frequenza", s.warnFrequency);
  v.Int(kWarnings, "Avvertimento", s.warning);

  v.Bool("Notifiche", "Avvisi", s.notifyWarnings);
  v.Bool("Notifiche", "Nuova posta", s.notifyMail);
  v.Bool("Notifiche", "Fine chiamata", s.notifyCallEnd);

  for (int i = 0; i < 3; ++i) {
    auto& p = s.launched[static_cast<std::size_t>(i)];
    const std::string n = std::to_string(i + 1);
    v.Str(kLaunch, "Applicazione " + n, p.program);
    v.Int(kLaunch, "Finestra " + n, p.window);
    v.Str(kLaunch, "Provider " + n, p.provider);
  }

  v.Int(kVoice, "Volume altoparlante", s.speakerVolume);
  v.Str(kVoice, "Rubrica telefonica", s.phoneBook);
  v.Str(kVoice, "Posizione", s.voicePosition);

  v.Bool(kTcpip, "Get network time", s.getNetworkTime);
  v.Bool(kTcpip, "Set network time", s.setNetworkTime);
  v.Bool(kTcpip, "TCP monitoring", s.tcpMonitoring);
  v.Bool(kTcpip, "Resolve IP addresses", s.resolveAddresses);
  v.Bool(kTcpip, "Automated Hosts management", s.manageHosts);
  v.Bool(kTcpip, "Record IP list", s.recordIpList);

  v.Int("POP3", "Check mail every", s.mailCheckMinutes);
  v.Bool("POP3", "Mail check enabled", s.mailCheckEnabled);
  v.Bool("POP3", "Richiedi connessione cifrata", s.mailRequireTls);
  v.Int("POP3", "Timeout lettura", s.mailReadTimeout);

  for (int i = 0; i < 5; ++i)
    v.Int("Mail dialog", "Header width " + std::to_string(i),
          s.mailHeaderWidths[static_cast<std::size_t>(i)]);

  v.Bool("Suggerimenti", "Help Tips", s.helpTips);
  v.Bool("Setup", "Suggerimenti", s.setupTips);
  v.Str("Host dialog", "Host pos", s.hostPosition);
  v.Str("Mail dialog", "Mail pos", s.mailPosition);
}

std::string StoredId(const std::string& section, const std::string& key) {
  return FoldCase(section) + '\n' + FoldCase(key);
}

class Loader final : public KeyVisitor {
 public:
  Loader(const TIniFile& ini, Settings& s) : m_ini(ini), m_s(s) {}
  void Int(const std::string& section, const std::string& key, int& value) override {
    Remember(section, key);
    value = m_ini.ReadInteger(section, key, value);
  }
  void Bool(const std::string& section, const std::string& key, bool& value) override {
    Remember(section, key);
    value = m_ini.ReadBool(section, key, value);
  }
  void Str(const std::string& section, const std::string& key, std::string& value) override {
    Remember(section, key);
    value = m_ini.ReadString(section, key, value);
  }
  void Colour(const std::string& section, const std::string& key, SettingsColour& value) override {
    Remember(section, key);
    value = ParseSettingsColour(m_ini.ReadString(section, key, "clDefault"), value);
  }

 private:
  void Remember(const std::string& section, const std::string& key) {
    if (m_ini.ValueExists(section, key))
      m_s.storedTexts[StoredId(section, key)] = m_ini.ReadString(section, key, "");
  }
  const TIniFile& m_ini;
  Settings& m_s;
};

// An INI line holds no line end: one inside a value would make a line of its own.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

class Saver final : public KeyVisitor {
 public:
  Saver(TIniFile& ini, const Settings& s) : m_ini(ini), m_s(s) {}
  void Int(const std::string& section, const std::string& key, int& value) override {
    Put(section, key, std::to_string(value));
  }
  void Bool(const std::string& section, const std::string& key, bool& value) override {
    Put(section, key, value ? "1" : "0");
  }
  void Str(const std::string& section, const std::string& key, std::string& value) override {
    Put(section, key, OneLine(value));
  }
  void Colour(const std::string& section, const std::string& key, SettingsColour& value) override {
    Put(section, key, std::to_string(value & 0xFFFFFFu));
  }
  void Put(const std::string& section, const std::string& key, const std::string& text) {
    const std::string id = StoredId(section, key);
    const auto it = m_s.storedTexts.find(id);
    if (it != m_s.storedTexts.end() && it->second == text && m_ini.ValueExists(section, key))
      return;
    m_ini.WriteString(section, key, text);
    written.emplace_back(id, text);
  }
  std::vector<std::pair<std::string, std::string>> written;

 private:
  TIniFile& m_ini;
  const Settings& m_s;
};

std::optional<int> ReadNumberValue(const Registry& registry, std::string_view name) {
  const auto text = registry.ReadString(kValdoSettingsKey, name);
  if (!text) return std::nullopt;
  return ParseInteger(*text);
}

Status Keep(Status first, Status next) {
  return first ? next : first;
}

void Clamp(int& value, int lo, int hi) {
  value = std::clamp(value, lo, hi);
}
void Clamp(std::optional<int>& value, int lo, int hi) {
  if (value) value = std::clamp(*value, lo, hi);
}

// Numbers typed into the files by hand are brought into ranges the program can work with:
// the meter adds to, subtracts from and multiplies them ("Previous" + 20, "Undo" - 1,
// "Frequenza" x 1000), and the windows take them as sizes and indices. A value the options
// dialog sets is held to the dialog's own range, so the file cannot make the program do what
// the dialog would not let the user choose.
void ClampLoadedNumbers(Settings& s) {
  constexpr int kCoordinate = 32767;
  for (int* v : {&s.leftLarge, &s.leftSmall, &s.topLarge, &s.topSmall, &s.mainTop, &s.aboutLeft,
                 &s.aboutTop})
    Clamp(*v, -kCoordinate, kCoordinate);
  Clamp(s.mainWidth, 0, kCoordinate);
  Clamp(s.mainHeight, 0, kCoordinate);
  Clamp(s.display, 1, 7);
  Clamp(s.decimals, 0, 5);  // "Cifre decimali"
  Clamp(s.flashAdvance, 0, 3600);
  Clamp(s.tariffIndex, 0, kCoordinate);
  // No interval (or a negative one) is the default sample of 200 ms, as the meter takes it.
  if (s.timerClockMs <= 0) s.timerClockMs = 200;
  Clamp(s.timerClockMs, 100, 3000);  // "Frequenza di controllo"
  Clamp(s.hintPause, 100, 2500);     // "Ritardo"
  Clamp(s.sortIndex, -1, 11);
  Clamp(s.logFontSize, 0, 200);
  Clamp(s.warnTimeMinutes, 0, 99999);
  Clamp(s.warnFrequency, 1, 1000);
  for (auto& p : s.launched) Clamp(p.window, 0, 2);
  Clamp(s.speakerVolume, 0, 3);
  Clamp(s.mailCheckMinutes, 1, 59);
  for (int& w : s.mailHeaderWidths) Clamp(w, 0, kCoordinate);
  Clamp(s.access.disconnectMinutes, 0, 99999);
  Clamp(s.access.disconnectTick, 1, 1000000);
  Clamp(s.access.disconnectTickAdvance, 0, 86400);
}

}  // namespace

SettingsColour ParseSettingsColour(const std::string& text, SettingsColour fallback) {
  const auto trimmed = TrimBlanks(text);
  if (trimmed == "clDefault") return fallback;
  const auto value = ParseInteger64(trimmed);
  if (!value || *value < 0 || *value > 0xFFFFFF) return fallback;
  return static_cast<SettingsColour>(*value);
}

void LoadAccessSettings(AccessSettings& access, const Registry& registry) {
  access = AccessSettings{};
  if (const auto stored = registry.ReadString(kValdoSettingsKey, "Regkey"))
    access.password = UnscramblePassword(*stored, kPasswordPeriod);
  access.preventStop = registry.ReadInteger(kValdoSettingsKey, "Maximize");
  access.preventStart = registry.ReadInteger(kValdoSettingsKey, "Minimize");
  access.limitBill = registry.ReadInteger(kValdoSettingsKey, "Access");
  access.disconnectAfterMinutes = registry.ReadInteger(kValdoSettingsKey, "Scrolling");
  access.disconnectMinutes = ReadNumberValue(registry, "Position");
  access.disconnectAtTick = registry.ReadInteger(kValdoSettingsKey, "Updating");
  access.disconnectTick = ReadNumberValue(registry, "Undo");
  access.disconnectTickAdvance = ReadNumberValue(registry, "Previous");
  access.preventClose = registry.ReadInteger(kValdoSettingsKey, "SaveOnExit");
}

Status SaveAccessSettings(const AccessSettings& access, Registry& registry) {
  Status st = Status::Ok();
  auto flag = [&](std::string_view name, int value) {
    st = Keep(st, value != 0 ? registry.WriteInteger(kValdoSettingsKey, name, 1)
                             : registry.DeleteValue(kValdoSettingsKey, name));
  };
  auto number = [&](std::string_view name, const std::optional<int>& value) {
    st = Keep(st, value ? registry.WriteInteger(kValdoSettingsKey, name, *value)
                        : registry.DeleteValue(kValdoSettingsKey, name));
  };
  flag("Maximize", access.preventStop);
  flag("Minimize", access.preventStart);
  flag("Access", access.limitBill);
  flag("Scrolling", access.disconnectAfterMinutes);
  number("Position", access.disconnectMinutes);
  flag("Updating", access.disconnectAtTick);
  number("Undo", access.disconnectTick);
  number("Previous", access.disconnectTickAdvance);
  flag("SaveOnExit", access.preventClose);
  return st;
}

Status WriteInstallRecord(Registry& registry, const std::string& dataDir) {
  return Keep(registry.WriteString(kOrvaInstallKey, "Path", dataDir),
              registry.WriteString(kOrvaInstallKey, "Version", "4.1"));
}

void LoadSettings(Settings& s, const std::string& dataDir, Registry& registry, bool atStartup) {
  const std::string dir = WithTrailingBackslash(dataDir);
  // Failures here are not the user's business at start-up.
  if (atStartup) static_cast<void>(HandleStartupAutostart(registry));
  s = Settings{};
  s.logFileName = DataPath(dir).File(kDefaultLogName);
  // Only the file names are fixed in lower case: the folder is kept as it is, since letter
  // case matters on this file system.
  s.phoneBook = DataPath(dir).File(kPhoneBookFileName);
  s.associationPath = ResolveNoCase(dir + "lista.ser");

  const std::string file = SettingsFileIn(dir);
  // A new installation counts in euro; one that has its settings from before the currency
  // option keeps its lire.
  s.currency = FileExists(file) ? Currency::Lire : Currency::Euro;
  const TIniFile ini(file);
  Loader loader(ini, s);
  VisitKeys(s, loader);
  if (s.savePosition == 0) {
    // "Salva posizione" off: the window keeps its built-in width, height and top.
    const Settings builtIn;
    s.mainWidth = builtIn.mainWidth;
    s.mainHeight = builtIn.mainHeight;
    s.topLarge = builtIn.topLarge;
    s.topSmall = builtIn.topSmall;
    s.mainTop = builtIn.mainTop;
  }

  LoadAccessSettings(s.access, registry);
  s.rubrixPath = registry.ReadString(kRubrixKey, "Path").value_or("");
  ClampLoadedNumbers(s);
}

Currency LoadCurrencySetting(const std::string& dataDir) {
  const std::string file = SettingsFileIn(WithTrailingBackslash(dataDir));
  if (!FileExists(file)) return Currency::Euro;
  const TIniFile ini(file);
  return ParseCurrencyName(ini.ReadString(kGeneral, "Valuta", "Lire")).value_or(Currency::Lire);
}

Status SaveSettings(Settings& s, const std::string& dataDir) {
  if (s.saveOptions == 0) return Status::Ok();
  TIniFile ini(SettingsFileIn(dataDir));
  Saver saver(ini, s);
  saver.Put("ORVA32", "Autore", "Zefir");
  saver.Put("ORVA32", "Versione", "4.1  32 bit per Win95-98-NT4.0");
  saver.Put("ORVA32", "Data rilascio", "del 28/10/99");
  VisitKeys(s, saver);
  if (s.mainLeft != kHiddenLeft) saver.Put(kGeneral, "Left coord.", std::to_string(s.mainLeft));
  Status st = ini.UpdateFile();
  if (!st) return st;
  for (auto& [id, text] : saver.written) s.storedTexts[id] = text;
  return st;
}

}  // namespace orva

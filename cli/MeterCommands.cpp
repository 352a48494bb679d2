// orva32cli meter, send and simulate-call: the meter without windows, on the real clock and
// dial-up service or on a manual clock.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <nlohmann/json.hpp>

#include "Args.h"
#include "Commands.h"
#include "ConsoleDialogs.h"
#include "LogJson.h"
#include "app/CounterDisplay.h"
#include "core/AppMessages.h"
#include "core/HowUtils.h"
#include "core/Settings.h"
#include "meter/MainLogic.h"
#include "meter/MeterCounters.h"
#include "meter/WireRequests.h"
#include "platform/Numbers.h"
#include "platform/Registry.h"
#include "platform/SafeFile.h"
#include "services/ProgramServices.h"
#include "simulation/ManualClock.h"
#include "simulation/Simulated.h"

#if __has_include(<QCoreApplication>)
#define ORVA_CLI_QT 1
#include <QCoreApplication>

#include <QDBusConnection>

#include "platform/qt/QtTimer.h"
#include "platform/qt/QuitSignals.h"
#include "platform/qt/SingleInstance.h"
#include "platform/qt/SystemServices.h"
#endif

namespace orva::cli {
namespace {

// Keeps the tariff selection of the associations but, when asked, forces the negotiation.
class ForcedNegotiation final : public TariffService {
 public:
  ForcedNegotiation(TariffService& inner, std::optional<std::string> negotiation)
      : m_inner(inner), m_negotiation(std::move(negotiation)) {}
  Status Evaluate(int i, long long t, TDateTime e, TDateTime m, TariffValues& r) override {
    return m_inner.Evaluate(i, t, e, m, r);
  }
  int Count() const override { return m_inner.Count(); }
  std::string Abbreviation(int i) const override { return m_inner.Abbreviation(i); }
  std::string FindAssociation(const std::string& entry, const std::string& current,
                              const std::function<void(int)>& select) override {
    const std::string found = m_inner.FindAssociation(entry, current, select);
    return m_negotiation ? *m_negotiation : found;
  }

 private:
  TariffService& m_inner;
  std::optional<std::string> m_negotiation;
};

MeterPlatform Platform(Clock& clock, TimerFactory& timers, Dialogs& dialogs, Sound& sound,
                       MeterView& view, Dialup& dialup, Telephony& telephony,
                       StatisticsSource& stats, Launcher& launcher) {
  MeterPlatform p;
  p.clock = &clock;
  p.timers = &timers;
  p.dialogs = &dialogs;
  p.sound = &sound;
  p.view = &view;
  p.dialup = &dialup;
  p.telephony = &telephony;
  p.statistics = &stats;
  p.launcher = &launcher;
  return p;
}

}  // namespace

// ---- simulate-call

namespace {

struct SimulateOptions {
  std::string entry;
  TDateTime start = 0;
  long long duration = 0;
  long long kind = kKindModem;
  std::optional<long long> tariff;
  std::optional<std::string> negotiation;
  std::optional<long long> sampleMs;
};

SimulateOptions ParseSimulateOptions(const Args& args) {
  args.Allow({"entry", "tariff", "start", "duration", "kind", "negotiation", "sample-ms"});
  SimulateOptions o;
  o.entry = args.Require("entry");
  const auto start = ParseIsoDateTime(args.Require("start"));
  if (!start) throw UsageError("--start: data non valida (AAAA-MM-GG hh:mm:ss)");
  o.start = *start;
  o.duration = args.RequireInteger("duration");
  if (o.duration < 0 || o.duration > 31LL * 86400)
    throw UsageError("--duration: da 0 a 2678400 secondi");
  o.kind = args.GetInteger("kind").value_or(kKindModem);
  if (o.kind < 0 || o.kind > 5) throw UsageError("--kind: da 0 a 5");
  o.tariff = args.GetInteger("tariff");
  if (const auto n = args.GetInteger("negotiation")) {
    if (*n < 0 || *n > 0x7FFFFFFF) throw UsageError("--negotiation: millisecondi non validi");
    o.negotiation = std::to_string(*n);
  }
  o.sampleMs = args.GetInteger("sample-ms");
  if (o.sampleMs && (*o.sampleMs < 1 || *o.sampleMs > 60000))
    throw UsageError("--sample-ms: da 1 a 60000");
  return o;
}

// The machine a simulated call runs on: a manual clock and links driven by hand.
struct SimulatedMachine {
  explicit SimulatedMachine(TDateTime start)
      // The first poll falls exactly at the start.
      : clock(start - 250.0 / 86400000.0) {}
  ManualClock clock;
  NoSound sound;
  MeterView view;
  SimulatedDialup dialup;
  SimulatedTelephony telephony;
  SimulatedStatistics stats;
  RecordingLauncher launcher;  // programs are not started by a simulation
};

// The call comes up as its kind does: a dial-up link, a manual start or a modem call.
void StartCall(const SimulateOptions& o, SimulatedMachine& m, MainLogic& logic) {
  switch (o.kind) {
    case kKindModem:
      m.dialup.Add(o.entry);
      break;
    case kKindUnknown:
      m.clock.AdvanceMs(250);
      logic.HandleAppMessage(kMsgStart, 0, 0);
      break;
    default: {
      const int media = o.kind == kKindVoice   ? kMediaInteractiveVoice
                        : o.kind == kKindFaxG3 ? kMediaG3Fax
                        : o.kind == kKindFaxG4 ? kMediaG4Fax
                                               : 0;
      m.telephony.calls[1] = {0, "", o.entry, media};
      m.clock.AdvanceMs(250);
      logic.Watcher().AssumeKind(static_cast<int>(o.kind));
      m.telephony.Event(1, kCallConnected);
      break;
    }
  }
}

// Runs the call for its duration, then ends it as its kind ends. The bill is written as the
// call goes on, as the meter writes it: at the start, then at most every fifth of a second
// of real time, so a simulation stopped half-way leaves the bill holding what the call spent
// up to then.
void RunAndEndCall(const SimulateOptions& o, SimulatedMachine& m, MainLogic& logic,
                   const std::function<void()>& flushBill) {
  // The start is local time in the zone of TZ; the duration is real time, so a call across a
  // daylight-saving change lasts what it says.
  const std::int64_t endMs = UtcMsFromLocal(o.start) + o.duration * 1000;
  m.clock.AdvanceMs(o.kind == kKindModem ? 250 : 0);
  flushBill();
  auto flushed = std::chrono::steady_clock::now();
  // Run to the end, a simulated minute at a time.
  while (logic.Call().Metering() && m.clock.UtcMilliseconds() < endMs) {
    m.clock.AdvanceMs(std::min<std::int64_t>(60000, endMs - m.clock.UtcMilliseconds()));
    if (std::chrono::steady_clock::now() - flushed >= std::chrono::milliseconds(200)) {
      flushBill();
      flushed = std::chrono::steady_clock::now();
    }
  }
  if (logic.Call().Metering()) {
    if (o.kind == kKindModem) {
      m.dialup.RemoveAll();
      m.clock.AdvanceMs(250);
    } else if (o.kind == kKindUnknown) {
      logic.HandleAppMessage(kMsgStop, 0, 0);
    } else {
      m.telephony.Event(1, kCallIdle);
    }
  }
  if (logic.Call().Metering()) logic.Call().End();
}

// An amount of the plain output: lire as the meter counts them, or euro ("0,46").
std::string PlainAmount(double lire, Currency currency) {
  return currency == Currency::Lire ? FormatShortest(lire) : FormatAmountNumber(lire, currency);
}

// The JSON keeps lire (with the euro beside); the plain text is in the program's currency.
void PrintSimulatedCall(const MeteredCall& call, const std::string& line,
                        const std::vector<BillAddition>& billed, bool json, Currency currency) {
  const std::string elapsed = FormatDuration(call.ElapsedSeconds());
  if (json) {
    Json bill = Json::array();
    for (const auto& a : billed) {
      Json entry = {{"date", IsoDate(a.day)}, {"price", Number(a.price)}, {"ticks", a.ticks}};
      PutEuro(entry, "price", a.price);
      bill.push_back(std::move(entry));
    }
    Json out = {{"ticks", call.Ticks()}, {"cost", Number(call.Cost())}};
    PutEuro(out, "cost", call.Cost());
    PutCurrency(out, currency);
    PutTyped(out, "elapsed", call.ElapsedSeconds(), elapsed);
    out["log_line"] = line;
    out["log"] = line.empty() ? Json(nullptr) : LogLineJson(line);
    out["bill"] = bill;
    PrintJson(out);
    return;
  }
  std::printf("scatti: %lld\ncosto: %s\ndurata: %s\n", call.Ticks(),
              PlainAmount(call.Cost(), currency).c_str(), elapsed.c_str());
  std::string shown = line;
  for (char& c : shown)
    if (c == '\t') c = '|';
  std::printf("registro: %s\n", shown.c_str());
  for (const auto& a : billed)
    std::printf("bolletta: %s %lld x %s\n", IsoDate(a.day).c_str(), a.ticks,
                PlainAmount(a.price, currency).c_str());
}

}  // namespace

int RunSimulateCall(const std::vector<std::string>& words) {
  const Args args(words, {});
  const SimulateOptions o = ParseSimulateOptions(args);
  const Context ctx = MakeContext(words, DataAccess::Write);

  SimulatedMachine m(o.start);
  ConsoleDialogs dialogs("orva32cli: ", true);
  ProgramRecords p(ctx.dataDir, ctx.tariffDir, m.clock, dialogs);
  if (o.sampleMs) p.settings.timerClockMs = static_cast<int>(*o.sampleMs);
  p.settings.askService = false;  // nobody to ask
  ForcedNegotiation tariffs(p.services.Tariffs(), o.negotiation);
  DeferredBill bill(p.services.Bill());
  // A failure to write the bill is shown once, as the meter shows it, and ends in exit 1.
  Status billFailed = Status::Ok();
  auto noteBill = [&](const Status& s) {
    if (!s && billFailed) {
      billFailed = s;
      std::fprintf(stderr, "orva32cli: %s\n", s.error.c_str());
    }
  };
  auto flushBill = [&] { noteBill(bill.Flush()); };
  BillFirstLog log(p.services.Log(), bill, noteBill);
  MainLogic logic(p.services.MeterDependencies(Platform(m.clock, m.clock, dialogs, m.sound, m.view,
                                                        m.dialup, m.telephony, m.stats, m.launcher),
                                               {&tariffs, &bill, &log}));
  logic.Startup();
  logic.FirstActivation();
  if (o.tariff) {
    if (*o.tariff < 0 || *o.tariff >= std::max(1, p.catalogue.Size()))
      throw UsageError("--tariff: indice fuori dal catalogo");
    logic.Call().SelectTariff(static_cast<int>(*o.tariff));
  }
  StartCall(o, m, logic);
  RunAndEndCall(o, m, logic, flushBill);
  flushBill();
  const auto& lines = p.services.Log().lines;
  PrintSimulatedCall(logic.Call(), lines.empty() ? std::string() : lines.back(), bill.added,
                     ctx.json, p.settings.currency);
  return lines.empty() || !billFailed ? 1 : 0;
}

#ifdef ORVA_CLI_QT
namespace {

// The console meter's view: one line whenever what it shows changes.
class ConsoleView final : public MeterView {
 public:
  ConsoleView(const MainLogic*& logic, const Settings& settings, const Clock& clock)
      : m_logic(logic), m_settings(settings), m_clock(clock) {}
  void RedrawCounters() override { Print(); }
  void RefreshCommandStates() override { Print(); }
  void SetLabel(MeterLabel l, const std::string& text) override {
    if (l == MeterLabel::RasLb) m_ras = text;
  }
  void Quit() override { QCoreApplication::quit(); }

  void Print() {
    if (!m_logic) return;
    const MainLogic& g = *m_logic;
    CounterInput in = MeterCounters(g.Call(), m_clock.Now());
    in.item = m_settings.display;
    in.decimals = m_settings.decimals;
    in.currency = m_settings.currency;
    const CounterTexts texts = orva::RedrawCounters(in);
    if (texts.complete) m_counter = texts.counter;
    const double cost = g.Call().Cost();
    const std::string money = m_settings.currency == Currency::Lire
                                  ? "L. " + FormatFixed(cost, m_settings.decimals)
                                  : FormatAmount(cost, m_settings.currency);
    const std::string line = g.Call().Info().status + " | " + g.Call().Info().entryName + " | " +
                             TimeToStr(MeteredCall::FromSeconds(g.Call().ElapsedSeconds())) +
                             " | scatti " + std::to_string(g.Call().Ticks()) + " | " + money +
                             " | " + m_counter;
    if (line == m_last) return;
    m_last = line;
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
  }

 private:
  const MainLogic*& m_logic;
  const Settings& m_settings;
  const Clock& m_clock;
  std::string m_last, m_ras, m_counter;
};

double CpuSeconds() {
  auto bytes = ReadFileBytes("/proc/self/stat");
  if (!bytes) return 0;
  const std::string& s = *bytes;
  const auto close = s.rfind(')');
  if (close == std::string::npos) return 0;
  // Fields after the command: state is field 3; utime and stime are fields 14 and 15.
  std::vector<std::string> fields;
  std::size_t i = close + 2;
  while (i < s.size() && fields.size() < 13) {
    const auto j = s.find(' ', i);
    fields.push_back(s.substr(i, j - i));
    if (j == std::string::npos) break;
    i = j + 1;
  }
  if (fields.size() < 13) return 0;
  const double ticks = static_cast<double>(ParseInteger64(fields[11]).value_or(0) +
                                           ParseInteger64(fields[12]).value_or(0));
  return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// "--interfaces ppp0,wwan*": the interface names or patterns the links are looked for on.
std::vector<std::string> InterfacePatterns(const std::optional<std::string>& list) {
  if (!list) return {"ppp*"};
  std::vector<std::string> patterns;
  std::size_t i = 0;
  while (i <= list->size()) {
    const auto j = list->find(',', i);
    const std::string one = list->substr(i, j == std::string::npos ? std::string::npos : j - i);
    if (!one.empty()) patterns.push_back(one);
    if (j == std::string::npos) break;
    i = j + 1;
  }
  return patterns;
}

// The links and calls the console meter watches: the system's services chosen as the desktop
// program chooses them (--dialup, else NetworkManager whenever it runs and pppd otherwise;
// ModemManager's calls), or with --simulate one simulated link that is up from the start and
// moves some bytes every second.
struct MeterLinks {
  MeterLinks(const std::optional<std::string>& simulate, const std::string& choice,
             const std::optional<std::string>& interfaces) {
    if (!simulate) {
      dialup =
          MakeSystemDialup(choice, QDBusConnection::systemBus(), InterfacePatterns(interfaces));
      telephony = MakeSystemTelephony(QDBusConnection::systemBus());
      stats = std::make_unique<SysfsStatistics>("/sys");
      return;
    }
    telephony = std::make_unique<NoTelephony>();
    auto d = std::make_unique<SimulatedDialup>();
    auto s = std::make_unique<SimulatedStatistics>();
    d->Add(*simulate);
    simulated = d.get();
    simulatedStats = s.get();
    dialup = std::move(d);
    stats = std::move(s);
    QObject::connect(&traffic, &QTimer::timeout, &traffic, [this] { MoveBytes(); });
    traffic.start(1000);
  }
  // The simulated link goes down (with the call, or at the end).
  void HangUp() {
    if (simulated) simulated->RemoveAll();
  }

  std::unique_ptr<Dialup> dialup;
  std::unique_ptr<Telephony> telephony;
  std::unique_ptr<StatisticsSource> stats;

 private:
  void MoveBytes() {
    if (simulated->EnumConnections()->empty()) return;
    for (const char* c : {kBytesReceivedCounter, kBytesSentCounter}) {
      const auto v = simulatedStats->ReadCounter("ppp0", c).value_or(0);
      simulatedStats->Set("ppp0", c, v + (c == kBytesReceivedCounter ? 4096 : 512));
    }
  }

  SimulatedDialup* simulated = nullptr;
  SimulatedStatistics* simulatedStats = nullptr;
  QTimer traffic;
};

void PrintCpuUse(std::chrono::steady_clock::time_point wallStart, double cpuStart) {
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  const double cpu = CpuSeconds() - cpuStart;
  std::fprintf(stderr, "cpu: %s s in %s s (%s %%)\n", FormatFixed(cpu, 2).c_str(),
               FormatFixed(wall, 1).c_str(),
               FormatFixed(wall > 0 ? cpu * 100 / wall : 0, 3).c_str());
}

}  // namespace

int RunMeter(const std::vector<std::string>& words) {
  const Args args(words, {"cpu"});
  args.Allow({"simulate", "cpu", "interfaces", "dialup"});
  const auto simulate = args.Get("simulate");
  const std::string dialupChoice = args.Get("dialup").value_or("");
  if (!IsDialupChoice(dialupChoice)) throw UsageError("--dialup: usare nm oppure pppd");
  if (simulate && !IsDialableEntryName(*simulate)) throw UsageError("--simulate: nome non valido");
  const Context ctx = MakeContext(words, DataAccess::Write);

  static int argc = 1;
  static char name[] = "orva32cli";
  static char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  SingleInstance instance;
  if (!instance.Acquire()) {
    std::fprintf(stderr, "orva32cli: ORVA32 è già in esecuzione\n");
    return 1;
  }

  SystemClock clock;
  QtTimerFactory timers;
  ConsoleDialogs dialogs("orva32cli: ", true);
  ProgramRecords p(ctx.dataDir, ctx.tariffDir, clock, dialogs);
  NoSound sound;
  const MainLogic* current = nullptr;
  ConsoleView view(current, p.settings, clock);
  MeterLinks links(simulate, dialupChoice, args.Get("interfaces"));
  ProcessLauncher launcher;
  MeterPlatform platform = Platform(clock, timers, dialogs, sound, view, *links.dialup,
                                    *links.telephony, *links.stats, launcher);
  platform.applicationId = ::getpid();
  MainLogic logic(p.services.MeterDependencies(platform));
  current = &logic;

  instance.OnRequest = [&](const std::string& line) {
    // The simulated link goes down with the call.
    return AnswerWireRequest(logic, line, {}, [&](int number) {
      if (number == kMsgStop || number == kMsgQuit) links.HangUp();
    });
  };

  const Status watched = WatchQuitSignals(&app, [&] {
    // Ended like a session end: a metered call is ended and recorded first.
    links.HangUp();
    logic.WMQueryEndSession();
    QCoreApplication::quit();
  });
  if (!watched) {
    std::fprintf(stderr, "orva32cli: %s\n", watched.error.c_str());
    return 1;
  }

  const auto wallStart = std::chrono::steady_clock::now();
  const double cpuStart = CpuSeconds();
  logic.Startup();
  logic.FirstActivation();
  view.Print();
  app.exec();
  if (logic.Call().Metering()) logic.WMQueryEndSession();
  logic.FormDestroy();
  if (args.Flag("cpu")) PrintCpuUse(wallStart, cpuStart);
  return 0;
}

int RunSend(const std::vector<std::string>& words) {
  const Args args(words, {});
  args.Allow({});
  const auto message = ParseSendWords(args.Positional());
  if (!message)
    throw UsageError(
        "messaggio non valido: start, stop, quit, tariff N, default, redraw o un numero da 1025 "
        "a 1122");
  static int argc = 1;
  static char name[] = "orva32cli";
  static char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  SingleInstance instance;
  std::vector<std::string> answers;
  if (!SingleInstance::Send(instance.SocketPath(), FormatMessageRequest(*message), answers)) {
    std::fprintf(stderr, "orva32cli: nessuna istanza di ORVA32 in esecuzione\n");
    return 1;
  }
  const bool json = std::find(words.begin(), words.end(), "--json") != words.end();
  bool handled = false;
  nlohmann::json replies = nlohmann::json::array();
  for (const auto& a : answers) {
    if (a == "OK 1") handled = true;
    if (a.rfind("REPLY ", 0) == 0) replies.push_back(a.substr(6));
  }
  if (json) {
    std::printf("%s\n",
                nlohmann::json({{"handled", handled}, {"replies", replies}}).dump().c_str());
  } else {
    for (const auto& r : replies) std::printf("%s\n", r.get<std::string>().c_str());
    if (!handled) std::fprintf(stderr, "orva32cli: messaggio non gestito\n");
  }
  return 0;
}

#else

int RunMeter(const std::vector<std::string>&) {
  return NotYetAvailable("meter (senza Qt)");
}
int RunSend(const std::vector<std::string>&) {
  return NotYetAvailable("send (senza Qt)");
}

#endif

}  // namespace orva::cli

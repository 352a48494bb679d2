// orva32cli meter, send and simulate-call: the meter without windows, on the real clock and
// dial-up service or on a manual clock.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <nlohmann/json.hpp>

#include "Args.h"
#include "Commands.h"
#include "ConsoleDialogs.h"
#include "app/CounterDisplay.h"
#include "app/MainLogic.h"
#include "app/MeterCounters.h"
#include "app/WireRequests.h"
#include "core/AppMessages.h"
#include "core/HowUtils.h"
#include "core/Settings.h"
#include "platform/Numbers.h"
#include "platform/Registry.h"
#include "platform/SafeFile.h"
#include "services/ProgramServices.h"
#include "simulation/ManualClock.h"

#if __has_include(<QCoreApplication>)
#define ORVA_CLI_QT 1
#include <QCoreApplication>

#include "platform/qt/QtTimer.h"
#include "platform/qt/QuitSignals.h"
#include "platform/qt/SingleInstance.h"
#include "simulation/Simulated.h"
#endif

namespace orva::cli {
namespace {

// The settings, catalogue and files of the data directory, as the desktop program has them.
struct Program {
  Program(const Context& ctx, const Clock& clock, Dialogs& dialogs)
      : data(ctx.dataDir, ctx.tariffDir),
        records(ctx.dataDir, data.settings, data.catalogue, clock, dialogs) {}
  ProgramData data;
  ProgramServices records;
  Settings& settings = data.settings;
};

// Keeps the tariff selection of the associations but, when asked, forces the negotiation.
class ForcedNegotiation final : public TariffService {
 public:
  ForcedNegotiation(TariffService& inner, std::optional<std::string> negotiation)
      : m_inner(inner), m_negotiation(std::move(negotiation)) {}
  Status Evaluate(int i, long long t, TDateTime e, TDateTime m, MeterTariff& r) override {
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

std::string IsoDate(TDateTime day) {
  return FormatIso(day).substr(0, 10);
}

}  // namespace

// ---- simulate-call

int RunSimulateCall(const std::vector<std::string>& words) {
  const Args args(words, {});
  args.Allow({"entry", "tariff", "start", "duration", "kind", "negotiation", "sample-ms"});
  const std::string entry = args.Require("entry");
  const auto start = ParseIsoDateTime(args.Require("start"));
  if (!start) throw UsageError("--start: data non valida (AAAA-MM-GG hh:mm:ss)");
  const long long duration = args.RequireInteger("duration");
  if (duration < 0 || duration > 31LL * 86400)
    throw UsageError("--duration: da 0 a 2678400 secondi");
  const long long kind = args.GetInteger("kind").value_or(kKindModem);
  if (kind < 0 || kind > 5) throw UsageError("--kind: da 0 a 5");
  const auto tariff = args.GetInteger("tariff");
  std::optional<std::string> negotiation;
  if (const auto n = args.GetInteger("negotiation")) {
    if (*n < 0 || *n > 0x7FFFFFFF) throw UsageError("--negotiation: millisecondi non validi");
    negotiation = std::to_string(*n);
  }
  const auto sampleMs = args.GetInteger("sample-ms");
  if (sampleMs && (*sampleMs < 1 || *sampleMs > 60000))
    throw UsageError("--sample-ms: da 1 a 60000");
  const Context ctx = MakeContext(words, DataAccess::Write);

  // The first poll falls exactly at the start.
  ManualClock clock(*start - 250.0 / 86400000.0);
  ConsoleDialogs dialogs("orva32cli: ", true);
  Program p(ctx, clock, dialogs);
  if (sampleMs) p.settings.timerClockMs = static_cast<int>(*sampleMs);
  p.settings.askService = false;  // nobody to ask
  ForcedNegotiation tariffs(p.records.Tariffs(), negotiation);
  NoSound sound;
  MeterView view;
  SimulatedDialup dialup;
  SimulatedTelephony telephony;
  SimulatedStatistics stats;
  RecordingLauncher launcher;  // programs are not started by a simulation
  DeferredBill bill(p.records.Bill());
  MeterDeps deps = p.records.MeterDependencies(
      Platform(clock, clock, dialogs, sound, view, dialup, telephony, stats, launcher));
  deps.tariffs = &tariffs;
  deps.bill = &bill;
  MainLogic logic(deps);
  logic.Startup();
  logic.FirstActivation();
  if (tariff) {
    if (*tariff < 0 || *tariff >= std::max(1, p.data.catalogue.Size()))
      throw UsageError("--tariff: indice fuori dal catalogo");
    logic.Call().SelectTariff(static_cast<int>(*tariff));
  }

  auto lineEvent = [&](int state) { telephony.Event(1, state); };
  int media = 0;
  switch (kind) {
    case kKindModem:
      dialup.Add(entry);
      break;
    case kKindUnknown:
      clock.AdvanceMs(250);
      logic.HandleAppMessage(kMsgStart, 0, 0);
      break;
    default:
      media = kind == kKindVoice   ? kMediaInteractiveVoice
              : kind == kKindFaxG3 ? kMediaG3Fax
              : kind == kKindFaxG4 ? kMediaG4Fax
                                   : 0;
      telephony.calls[1] = {0, "", entry, media};
      clock.AdvanceMs(250);
      logic.Watcher().AssumeKind(static_cast<int>(kind));
      lineEvent(kCallConnected);
      break;
  }
  // The start is local time in the zone of TZ; the duration is real time, so a call across a
  // daylight-saving change lasts what it says.
  const std::int64_t endMs = UtcMsFromLocal(*start) + duration * 1000;
  clock.AdvanceMs(kind == kKindModem ? 250 : 0);
  // Run to the end, a simulated hour at a time.
  while (logic.Call().Metering() && clock.UtcMilliseconds() < endMs)
    clock.AdvanceMs(std::min<std::int64_t>(3600000, endMs - clock.UtcMilliseconds()));
  if (logic.Call().Metering()) {
    if (kind == kKindModem) {
      dialup.RemoveAll();
      clock.AdvanceMs(250);
    } else if (kind == kKindUnknown) {
      logic.HandleAppMessage(kMsgStop, 0, 0);
    } else {
      lineEvent(kCallIdle);
    }
  }
  if (logic.Call().Metering()) logic.Call().End();
  if (const Status s = bill.Flush(); !s) {
    std::fprintf(stderr, "orva32cli: %s\n", s.error.c_str());
    return 1;
  }

  const std::string elapsed = FormatDuration(logic.Call().ElapsedSeconds());
  const std::string line =
      p.records.Log().lines.empty() ? std::string() : p.records.Log().lines.back();
  if (ctx.json) {
    nlohmann::json billed = nlohmann::json::array();
    for (const auto& a : bill.added)
      billed.push_back({{"date", IsoDate(a.day)}, {"price", a.price}, {"ticks", a.ticks}});
    nlohmann::json out = {{"ticks", logic.Call().Ticks()},
                          {"cost", logic.Call().Cost()},
                          {"elapsed", elapsed},
                          {"log_line", line},
                          {"bill", billed}};
    std::printf("%s\n", out.dump().c_str());
  } else {
    std::printf("scatti: %lld\ncosto: %s\ndurata: %s\n", logic.Call().Ticks(),
                FormatShortest(logic.Call().Cost()).c_str(), elapsed.c_str());
    std::string shown = line;
    for (char& c : shown)
      if (c == '\t') c = '|';
    std::printf("registro: %s\n", shown.c_str());
    for (const auto& a : bill.added)
      std::printf("bolletta: %s %lld x %s\n", IsoDate(a.day).c_str(), a.ticks,
                  FormatShortest(a.price).c_str());
  }
  return p.records.Log().lines.empty() ? 1 : 0;
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
    const CounterTexts texts = orva::RedrawCounters(in);
    if (texts.complete) m_counter = texts.counter;
    const std::string line = g.Call().Info().status + " | " + g.Call().Info().entryName + " | " +
                             TimeToStr(MeteredCall::FromSeconds(g.Call().ElapsedSeconds())) +
                             " | scatti " + std::to_string(g.Call().Ticks()) + " | L. " +
                             FormatFixed(g.Call().Cost(), m_settings.decimals) + " | " + m_counter;
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

}  // namespace

int RunMeter(const std::vector<std::string>& words) {
  const Args args(words, {"cpu"});
  args.Allow({"simulate", "cpu", "interfaces"});
  const auto simulate = args.Get("simulate");
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
  Program p(ctx, clock, dialogs);
  NoSound sound;
  const MainLogic* current = nullptr;
  ConsoleView view(current, p.settings, clock);
  std::unique_ptr<Dialup> dialup;
  std::unique_ptr<StatisticsSource> stats;
  SimulatedDialup* simulated = nullptr;
  SimulatedStatistics* simulatedStats = nullptr;
  if (simulate) {
    auto d = std::make_unique<SimulatedDialup>();
    auto s = std::make_unique<SimulatedStatistics>();
    d->Add(*simulate);
    simulated = d.get();
    simulatedStats = s.get();
    dialup = std::move(d);
    stats = std::move(s);
  } else {
    std::vector<std::string> patterns = {"ppp*"};
    if (const auto list = args.Get("interfaces")) {
      patterns.clear();
      std::size_t i = 0;
      while (i <= list->size()) {
        const auto j = list->find(',', i);
        const std::string one = list->substr(i, j == std::string::npos ? std::string::npos : j - i);
        if (!one.empty()) patterns.push_back(one);
        if (j == std::string::npos) break;
        i = j + 1;
      }
    }
    dialup = std::make_unique<PppDialup>(PppRoots{}, patterns);
    stats = std::make_unique<SysfsStatistics>("/sys");
  }
  NoTelephony telephony;
  ProcessLauncher launcher;
  MeterDeps deps = p.records.MeterDependencies(
      Platform(clock, timers, dialogs, sound, view, *dialup, telephony, *stats, launcher));
  deps.applicationId = ::getpid();
  MainLogic logic(deps);
  current = &logic;

  // Simulated traffic on the simulated link, so the byte counters move.
  QTimer traffic;
  if (simulated) {
    QObject::connect(&traffic, &QTimer::timeout, &app, [&] {
      if (simulated->EnumConnections()->empty()) return;
      for (const char* c : {kBytesReceivedCounter, kBytesSentCounter}) {
        const auto v = simulatedStats->ReadCounter("ppp0", c).value_or(0);
        simulatedStats->Set("ppp0", c, v + (c == kBytesReceivedCounter ? 4096 : 512));
      }
    });
    traffic.start(1000);
  }

  instance.OnRequest = [&](const std::string& line) {
    // The simulated link goes down with the call.
    return AnswerWireRequest(logic, line, {}, [&](int number) {
      if (simulated && (number == kMsgStop || number == kMsgQuit)) simulated->RemoveAll();
    });
  };

  const Status watched = WatchQuitSignals(&app, [&] {
    // Ended like a session end: a metered call is ended and recorded first.
    if (simulated) simulated->RemoveAll();
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
  if (args.Flag("cpu")) {
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double cpu = CpuSeconds() - cpuStart;
    std::fprintf(stderr, "cpu: %s s in %s s (%s %%)\n", FormatFixed(cpu, 2).c_str(),
                 FormatFixed(wall, 1).c_str(),
                 FormatFixed(wall > 0 ? cpu * 100 / wall : 0, 3).c_str());
  }
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

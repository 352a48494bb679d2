// orva32cli meter, send and simulate-call: the meter without windows, on the real clock and
// dial-up service or on a manual clock.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <nlohmann/json.hpp>

#include "Args.h"
#include "Commands.h"
#include "app/CounterDisplay.h"
#include "app/MeterCounters.h"
#include "core/AppMessages.h"
#include "core/HowUtils.h"
#include "core/MainLogic.h"
#include "core/MeterWiring.h"
#include "core/Settings.h"
#include "core/WireRequests.h"
#include "platform/ManualClock.h"
#include "platform/Numbers.h"
#include "platform/Registry.h"
#include "platform/SafeFile.h"

#if __has_include(<QCoreApplication>)
#define ORVA_CLI_QT 1
#include <QCoreApplication>
#include <QSocketNotifier>

#include "platform/qt/QtTimer.h"
#include "platform/qt/SingleInstance.h"
#endif

namespace orva::cli {
namespace {

// Messages of the meter on the console: printed, answered with the default button.
class ConsoleDialogs final : public Dialogs {
 public:
  MsgAnswer Message(const std::string& text, MsgType, MsgButtons buttons) override {
    std::string oneLine = text;
    for (char& c : oneLine)
      if (c == '\r' || c == '\n') c = ' ';
    std::fprintf(stderr, "orva32cli: %s\n", oneLine.c_str());
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Closed;
  }
  std::optional<std::string> AskPassword(const std::string&) override { return std::nullopt; }
  std::optional<std::string> ChooseOpenFile(const std::string&, const std::string&,
                                            const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> ChooseSaveFile(const std::string&, const std::string&,
                                            const std::string&) override {
    return std::nullopt;
  }
  void Beep() override {}
};

// The settings, catalogue and files of the data directory, as the desktop program has them.
struct Program {
  Program(const Context& ctx, const Clock& clock, Dialogs& dialogs)
      : registry(ctx.dataDir), bill(settings, ctx.dataDir, clock), log(settings) {
    LoadSettings(settings, registry);
    ScanTariffFiles(catalogue, ctx.tariffDir);
    tariffs = std::make_unique<CatalogueTariffs>(catalogue, settings.associationPath, dialogs);
  }
  Registry registry;
  Settings settings;
  TariffCatalogue catalogue;
  std::unique_ptr<CatalogueTariffs> tariffs;
  BillFiles bill;
  LogFiles log;
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

// A simulated hour would spend its time flushing the bill file to disk at every tick: the
// additions are kept and written at the end, those of one day and price together, which
// leaves the files as the call would have left them.
class DeferredBill final : public BillService {
 public:
  explicit DeferredBill(BillFiles& files) : m_files(files) {}
  Status AddTicks(TDateTime day, long long ticks, double price) override {
    added.push_back({DatePart(day), ticks, price});
    return Status::Ok();
  }
  double PeriodCost() override { return m_files.PeriodCost(); }
  Status Flush() {
    for (std::size_t i = 0; i < added.size();) {
      std::size_t j = i;
      long long ticks = 0;
      while (j < added.size() && added[j].day == added[i].day && added[j].price == added[i].price)
        ticks += added[j++].ticks;
      if (const Status s = m_files.AddTicks(added[i].day, ticks, added[i].price); !s) return s;
      i = j;
    }
    return Status::Ok();
  }
  std::vector<BillFiles::Added> added;

 private:
  BillFiles& m_files;
};

MainLogic::Deps BaseDeps(Program& p, Clock& clock, TimerFactory& timers, Dialogs& dialogs,
                         Sound& sound, MeterView& view, Dialup& dialup, Telephony& telephony,
                         StatisticsSource& stats, Launcher& launcher, TariffService& tariffs) {
  MainLogic::Deps d;
  d.clock = &clock;
  d.timers = &timers;
  d.dialogs = &dialogs;
  d.sound = &sound;
  d.view = &view;
  d.dialup = &dialup;
  d.telephony = &telephony;
  d.statistics = &stats;
  d.launcher = &launcher;
  d.tariffs = &tariffs;
  d.bill = &p.bill;
  d.log = &p.log;
  d.settings = &p.settings;
  d.saveSettings = [&p] {
    if (const Status s = SaveSettings(p.settings); !s)
      std::fprintf(stderr, "orva32cli: %s\n", s.error.c_str());
  };
  return d;
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
  ConsoleDialogs dialogs;
  Program p(ctx, clock, dialogs);
  if (sampleMs) p.settings.timerClockMs = static_cast<int>(*sampleMs);
  p.settings.askService = false;  // nobody to ask
  ForcedNegotiation tariffs(*p.tariffs, negotiation);
  NoSound sound;
  MeterView view;
  SimulatedDialup dialup;
  SimulatedTelephony telephony;
  SimulatedStatistics stats;
  RecordingLauncher launcher;  // programs are not started by a simulation
  DeferredBill bill(p.bill);
  MainLogic::Deps deps =
      BaseDeps(p, clock, clock, dialogs, sound, view, dialup, telephony, stats, launcher, tariffs);
  deps.bill = &bill;
  MainLogic logic(deps);
  logic.Startup();
  logic.FirstActivation();
  if (tariff) {
    if (*tariff < 0 || *tariff >= std::max(1, p.catalogue.Size()))
      throw UsageError("--tariff: indice fuori dal catalogo");
    logic.SelectTariff(static_cast<int>(*tariff));
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
      logic.MutableInfo().kind = static_cast<int>(kind);
      lineEvent(kCallConnected);
      break;
  }
  // The start is local time in the zone of TZ; the duration is real time, so a call across a
  // daylight-saving change lasts what it says.
  const std::int64_t endMs = UtcMsFromLocal(*start) + duration * 1000;
  clock.AdvanceMs(kind == kKindModem ? 250 : 0);
  // Run to the end, a simulated hour at a time.
  while (logic.Metering() && clock.UtcMilliseconds() < endMs)
    clock.AdvanceMs(std::min<std::int64_t>(3600000, endMs - clock.UtcMilliseconds()));
  if (logic.Metering()) {
    if (kind == kKindModem) {
      dialup.RemoveAll();
      clock.AdvanceMs(250);
    } else if (kind == kKindUnknown) {
      logic.HandleAppMessage(kMsgStop, 0, 0);
    } else {
      lineEvent(kCallIdle);
    }
  }
  if (logic.Metering()) logic.EndCall();
  if (const Status s = bill.Flush(); !s) {
    std::fprintf(stderr, "orva32cli: %s\n", s.error.c_str());
    return 1;
  }

  const std::string elapsed = FormatDuration(logic.ElapsedSeconds());
  const std::string line = p.log.lines.empty() ? std::string() : p.log.lines.back();
  if (ctx.json) {
    nlohmann::json billed = nlohmann::json::array();
    for (const auto& a : bill.added)
      billed.push_back({{"date", IsoDate(a.day)}, {"price", a.price}, {"ticks", a.ticks}});
    nlohmann::json out = {{"ticks", logic.Ticks()},
                          {"cost", logic.Cost()},
                          {"elapsed", elapsed},
                          {"log_line", line},
                          {"bill", billed}};
    std::printf("%s\n", out.dump().c_str());
  } else {
    std::printf("scatti: %lld\ncosto: %s\ndurata: %s\n", logic.Ticks(),
                FormatShortest(logic.Cost()).c_str(), elapsed.c_str());
    std::string shown = line;
    for (char& c : shown)
      if (c == '\t') c = '|';
    std::printf("registro: %s\n", shown.c_str());
    for (const auto& a : bill.added)
      std::printf("bolletta: %s %lld x %s\n", IsoDate(a.day).c_str(), a.ticks,
                  FormatShortest(a.price).c_str());
  }
  return p.log.lines.empty() ? 1 : 0;
}

#ifdef ORVA_CLI_QT
namespace {

int g_signalPipe[2] = {-1, -1};
void OnSignal(int) {
  const char c = 1;
  [[maybe_unused]] const auto n = ::write(g_signalPipe[1], &c, 1);
}

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
    CounterInput in = MeterCounters(g, m_clock.Now());
    in.item = m_settings.display;
    in.decimals = m_settings.decimals;
    const CounterTexts texts = orva::RedrawCounters(in);
    if (texts.complete) m_counter = texts.counter;
    const std::string line = g.Info().status + " | " + g.Info().entryName + " | " +
                             TimeToStr(MainLogic::FromSeconds(g.ElapsedSeconds())) + " | scatti " +
                             std::to_string(g.Ticks()) + " | L. " +
                             FormatFixed(g.Cost(), m_settings.decimals) + " | " + m_counter;
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
  ConsoleDialogs dialogs;
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
  MainLogic::Deps deps = BaseDeps(p, clock, timers, dialogs, sound, view, *dialup, telephony,
                                  *stats, launcher, *p.tariffs);
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

  if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    std::fprintf(stderr, "orva32cli: %s\n", SystemErrorText(errno).c_str());
    return 1;
  }
  QSocketNotifier notifier(g_signalPipe[0], QSocketNotifier::Read);
  QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
    char buf[16];
    while (::read(g_signalPipe[0], buf, sizeof buf) > 0) {
    }
    // Ended like a session end: a metered call is ended and recorded first.
    if (simulated) simulated->RemoveAll();
    logic.WMQueryEndSession();
    QCoreApplication::quit();
  });
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);

  const auto wallStart = std::chrono::steady_clock::now();
  const double cpuStart = CpuSeconds();
  logic.Startup();
  logic.FirstActivation();
  view.Print();
  app.exec();
  if (logic.Metering()) logic.WMQueryEndSession();
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

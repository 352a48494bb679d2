// orva32cli time and mail: one network time check against a server, and a mail check of the
// enabled mailboxes of POP3.LST, both on a Qt event loop as the desktop program runs them.
#include <cstdio>
#include <limits>
#include <optional>

#include "Args.h"
#include "Commands.h"
#include "JsonOut.h"

#if __has_include(<QCoreApplication>) && __has_include("platform/qt/QtSockets.h")
#define ORVA_CLI_NETWORK 1
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostInfo>
#include <QObject>
#include <QTimer>
#include <memory>

#include "core/Settings.h"
#include "net/Mail.h"
#include "net/SntpCheck.h"
#include "platform/DataFiles.h"
#include "platform/Registry.h"
#include "platform/SafeFile.h"
#include "platform/qt/DesktopKeyring.h"
#include "platform/qt/QtSockets.h"
#include "platform/qt/QtTimer.h"
#endif

namespace orva::cli {

#ifdef ORVA_CLI_NETWORK

namespace {

// Forward lookups through Qt's resolver, IPv4 addresses only.
class QtHostLookup final : public Resolver {
 public:
  int LookupName(const std::string& name, Callback done) override {
    return QHostInfo::lookupHost(
        QString::fromStdString(name), &m_context, [done](const QHostInfo& info) {
          LookupResult r;
          for (const auto& a : info.addresses())
            if (a.protocol() == QAbstractSocket::IPv4Protocol)
              r.addresses.push_back(a.toString().toStdString());
          r.ok = info.error() == QHostInfo::NoError && !r.addresses.empty();
          if (!r.ok) r.error = info.errorString().toStdString();
          done(r);
        });
  }
  int LookupAddress(const std::string& address, Callback done) override {
    return QHostInfo::lookupHost(QString::fromStdString(address), &m_context,
                                 [done](const QHostInfo& info) {
                                   LookupResult r;
                                   r.ok = info.error() == QHostInfo::NoError;
                                   r.name = info.hostName().toStdString();
                                   done(r);
                                 });
  }
  void Abort(int id) override { QHostInfo::abortHostLookup(id); }

 private:
  QObject m_context;
};

// A QCoreApplication for the command, unless one runs already.
std::unique_ptr<QCoreApplication> EventLoop() {
  if (QCoreApplication::instance()) return nullptr;
  static int argc = 1;
  static char name[] = "orva32cli";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QCoreApplication>(argc, argv);
}

bool Pump(const std::function<bool()>& done, qint64 limitMs) {
  QElapsedTimer t;
  t.start();
  QTimer wake;  // the loop wakes at least this often to look at the clock
  wake.start(50);
  while (!done()) {
    if (t.elapsed() > limitMs) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

class PrintView final : public MailView {
 public:
  void SetPop3Label(const std::string& t) override { label = t; }
  void SetMailIcon(bool, bool) override {}
  void SetMailIconHint(const std::string&) override {}
  void RefreshDisplay() override {}
  void PlayNewMailSound() override {}
  void ShowNewMailBox() override {}
  std::string label;
};

int TimeCheck(const std::vector<std::string>& words) {
  Args args(words, {});
  args.Allow({"port"});
  const std::string server = args.Word(1, "il server");
  const long long port = args.GetInteger("port").value_or(123);
  if (port < 1 || port > 65535) throw UsageError("--port: porta non valida");
  MakeContext(words);
  auto app = EventLoop();
  QtHostLookup resolver;
  QtNetworkFactory network(resolver);
  QtTimerFactory timers;
  SystemClock clock;
  TSNTPClient client(network, timers, clock);
  client.HostPort = std::to_string(port);
  TNetworkTimeCheck check(client, clock);
  check.SetServers({server});
  check.SetCallHasAddress(true);
  check.SetGetNetworkTime(true);
  check.ClockBtnClick();
  Pump([&] { return check.ClockBtnEnabled(); }, 30000);
  const bool ok = check.Difference().has_value();
  if (args.Flag("json")) {
    Json j = {{"server", server}, {"text", check.SyncroL()}, {"ok", ok}};
    if (ok) {
      j["zone"] = check.SyncroLHint();
      j["difference_seconds"] = *check.Difference() * 86400.0;
      j["round_trip_ms"] = client.Answer().roundTripMs;
      j["stratum"] = client.Answer().stratum;
      j["unsynchronised"] = client.Answer().unsynchronised;
    }
    PrintJson(j);
  } else {
    std::puts(check.SyncroL().c_str());
  }
  return ok ? 0 : 1;
}

// A header as the mail window lists it: the date as an ISO date beside its "dd/mm/yy" text,
// the time "hh:mm" as the header gave it, the size in bytes beside its kilobytes text.
Json MessageJson(const TPOP3Msg& m) {
  Json j = {{"sender", m.sender}, {"subject", m.subject}};
  PutTyped(j, "date", IsoDateOrNull(m.date), m.date);
  j["time"] = m.time;
  PutTyped(j, "size", m.bytes >= 0 ? Json(m.bytes) : Json(nullptr), m.size);
  return j;
}

int MailCheck(const std::vector<std::string>& words) {
  Args args(words, {});
  args.Allow({"lst", "timeout", "mailbox-timeout"});
  // Each mailbox ends by its own deadline, so the run is bounded without --timeout too; a
  // limit on the whole run stops the mailboxes it has not reached.
  const std::optional<long long> timeout = args.GetInteger("timeout");
  if (timeout && *timeout < 1) throw UsageError("--timeout: secondi non validi");
  const std::optional<long long> mailboxTimeout = args.GetInteger("mailbox-timeout");
  if (mailboxTimeout && (*mailboxTimeout < 1 || *mailboxTimeout > 86400))
    throw UsageError("--mailbox-timeout: secondi non validi");
  const Context ctx = MakeContext(words, DataAccess::Write);
  const std::string lst = args.Get("lst").value_or(DataPath(ctx.dataDir).File(kMailboxFileName));
  if (args.Get("lst") && !FileExists(lst)) {
    std::fprintf(stderr, "orva32cli: %s non trovato\n", lst.c_str());
    return 1;
  }
  auto app = EventLoop();
  QtHostLookup resolver;
  QtNetworkFactory network(resolver);
  QtTimerFactory timers;
  SystemClock clock;
  TPop3Cli client(network);
  PrintView view;
  TMailCheck mail(client, view, clock, timers);
  // The same POP3 settings as the program: encryption required or not, the read time-out.
  Settings settings;
  Registry registry(ctx.dataDir);
  LoadSettings(settings, ctx.dataDir, registry);
  mail.RequireEncryption = settings.mailRequireTls;
  mail.ReadTimeoutSeconds = settings.mailReadTimeout;
  if (mailboxTimeout) mail.MailboxDeadlineMs = static_cast<int>(*mailboxTimeout * 1000);
  // A password the file leaves empty may be in the desktop's keyring.
  DesktopKeyring keyring;
  if (const Status loaded = mail.LoadMailboxes(lst, &keyring); !loaded) {
    std::fprintf(stderr, "orva32cli: %s: %s\n", lst.c_str(), loaded.error.c_str());
    return 1;
  }
  mail.CallStarted();
  bool timedOut = false;
  if (!Pump([&] { return !mail.Busy(); },
            timeout ? *timeout * 1000 : std::numeric_limits<qint64>::max())) {
    timedOut = true;
    mail.Abort1Click();
  }
  bool failed = false;
  Json out = Json::array();
  for (const auto& box : mail.Mailboxes()) {
    Json j = {{"mailbox", box.Address()}, {"count", box.messages.size()}};
    Json messages = Json::array();
    for (const auto& m : box.messages) messages.push_back(MessageJson(m));
    j["messages"] = messages;
    std::string error = box.lastError;
    if (timedOut && error.empty() && box.messages.empty()) error = "tempo scaduto";
    if (!error.empty()) {
      j["error"] = error;
      failed = true;
    }
    if (!args.Flag("json")) {
      std::printf("%s: %zu messaggi%s\n", box.Address().c_str(), box.messages.size(),
                  error.empty() ? "" : (" (errore: " + error + ")").c_str());
      for (const auto& m : box.messages)
        std::printf("  %s\t%s\t%s\t%s\t%s\n", m.sender.c_str(), m.subject.c_str(), m.date.c_str(),
                    m.time.c_str(), m.size.c_str());
    }
    out.push_back(j);
  }
  if (args.Flag("json")) PrintJson(out);
  return failed ? 1 : 0;
}

}  // namespace

int RunTime(const std::vector<std::string>& words) {
  Args args(words, {});
  if (args.Word(0, "il sottocomando (check)") != "check")
    throw UsageError("sottocomando sconosciuto: " + args.Word(0, ""));
  return TimeCheck(words);
}

int RunMail(const std::vector<std::string>& words) {
  Args args(words, {});
  if (args.Word(0, "il sottocomando (check)") != "check")
    throw UsageError("sottocomando sconosciuto: " + args.Word(0, ""));
  return MailCheck(words);
}

#else

int RunTime(const std::vector<std::string>&) {
  return NotYetAvailable("time (senza Qt)");
}

int RunMail(const std::vector<std::string>&) {
  return NotYetAvailable("mail (senza Qt)");
}

#endif

}  // namespace orva::cli

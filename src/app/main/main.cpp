// orva32: the desktop meter.
#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <memory>

#include "app/ui/Glyphs.h"
#include "app/ui/Program.h"
#include "app/ui/SimulatedLink.h"
#include "app/ui/Translations.h"
#include "core/AppMessages.h"
#include "core/HowUtils.h"
#include "platform/DataDir.h"
#include "platform/qt/SingleInstance.h"
#include "platform/qt/SystemServices.h"

namespace {

// Takes "--name VALUE" out of the arguments; empty when absent.
QString TakeOption(QStringList& args, const QString& name) {
  const int at = args.indexOf(name);
  if (at < 0 || at + 1 >= args.size()) return {};
  const QString value = args[at + 1];
  args.remove(at, 2);
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ORVA32"));
  QApplication::setDesktopFileName(QStringLiteral("orva32"));
  QApplication::setWindowIcon(orva::AppIcon());
  // The tray keeps the program running; "Termina" ends it.
  QApplication::setQuitOnLastWindowClosed(false);
  orva::UseItalianInterface(app);

  QStringList args = QApplication::arguments().mid(1);
  const std::string dataDirOption = TakeOption(args, QStringLiteral("--data-dir")).toStdString();
  // --simulate NAME: a dial-up entry held in memory (--connected: its link is up at start).
  const std::string simulate = TakeOption(args, QStringLiteral("--simulate")).toStdString();
  const bool connected = args.removeAll(QStringLiteral("--connected")) > 0;
  // --dialup nm|pppd: the dial-up service, instead of NetworkManager when it runs, else pppd.
  const std::string dialup = TakeOption(args, QStringLiteral("--dialup")).toStdString();
  // --interfaces ppp0,wwan*: where pppd's links are looked for.
  const QString interfaces = TakeOption(args, QStringLiteral("--interfaces"));
  if (!orva::IsDialupChoice(dialup)) {
    std::fprintf(stderr, "orva32: --dialup: usare nm oppure pppd\n");
    return 2;
  }
  if (!simulate.empty() && !orva::IsDialableEntryName(simulate)) {
    std::fprintf(stderr, "orva32: --simulate: nome di connessione non valido\n");
    return 2;
  }

  // One copy per user: a second one brings the first to the front and ends.
  orva::SingleInstance instance;
  if (!instance.Acquire()) {
    std::vector<std::string> answers;
    if (orva::SingleInstance::Send(instance.SocketPath(), orva::FormatShowRequest(), answers))
      return 0;
    std::fprintf(stderr, "orva32: un'altra copia di ORVA32 è in esecuzione ma non risponde\n");
    return 1;
  }

  auto dir = orva::ResolveDataDirectory(dataDirOption);
  if (!dir) {
    std::fprintf(stderr, "orva32: %s\n", dir.error.c_str());
    return 1;
  }
  // Shortcuts and the autostart entry start the program on the same data directory.
  if (orva::DataDirectoryChosen(dataDirOption)) orva::SetChosenDataDirectory(*dir);
  const orva::Status seeded = orva::SeedTariffs(*dir);

  orva::ProgramOptions options;
  if (!seeded) options.startupProblems.push_back(seeded.error);
  options.dataDir = *dir;
  options.arguments = args;
  options.dialupChoice = dialup;
  for (const QString& pattern : interfaces.split(u',', Qt::SkipEmptyParts))
    options.interfacePatterns.push_back(pattern.toStdString());
  std::unique_ptr<orva::TSimulatedLink> link;
  if (!simulate.empty()) {
    link = std::make_unique<orva::TSimulatedLink>(simulate, connected);
    options.dialup = &link->Dialup();
    options.statistics = &link->Statistics();
    options.launcher = &link->Dialer();
    options.simulatedLink = &link->Dialup();
  }
  orva::TOrvaProgram program(options);
  instance.OnRequest = [&program](const std::string& line) { return program.HandleRequest(line); };
  program.Start();
  program.QuitOnSignals();
  if (qEnvironmentVariableIsSet("ORVA32_REPORT_STARTUP")) {
    // For measuring: the wall clock (ms) once the window is up and the event loop runs.
    QTimer::singleShot(0, [] {
      const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
          std::chrono::system_clock::now().time_since_epoch());
      std::fprintf(stderr, "orva32: window up at %lld\n", static_cast<long long>(ms.count()));
    });
  }
  return app.exec();
}

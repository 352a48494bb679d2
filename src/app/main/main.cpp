// orva32: the desktop meter.
#include <QApplication>
#include <QLocale>
#include <QTimer>
#include <chrono>
#include <cstdio>

#include "app/ui/Glyphs.h"
#include "app/ui/Program.h"
#include "core/HowUtils.h"
#include "platform/DataDir.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ORVA32"));
  QApplication::setDesktopFileName(QStringLiteral("orva32"));
  QApplication::setWindowIcon(orva::AppIcon());
  // The tray keeps the program running; "Termina" ends it.
  QApplication::setQuitOnLastWindowClosed(false);
  QLocale::setDefault(QLocale::c());

  QStringList args = QApplication::arguments().mid(1);
  std::string dataDirOption;
  const int at = args.indexOf(QStringLiteral("--data-dir"));
  if (at >= 0 && at + 1 < args.size()) {
    dataDirOption = args[at + 1].toStdString();
    args.remove(at, 2);
  }
  auto dir = orva::ResolveDataDirectory(dataDirOption);
  if (!dir) {
    std::fprintf(stderr, "orva32: %s\n", dir.error.c_str());
    return 1;
  }
  orva::SetProgramDirectory(*dir);
  orva::SeedTariffs(*dir);

  orva::ProgramOptions options;
  options.dataDir = *dir;
  options.arguments = args;
  orva::TOrvaProgram program(options);
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

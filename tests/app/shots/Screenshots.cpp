// Takes the pictures of the main window for the documentation: the large window and the small
// bar during a simulated dial-up call metered by the real program on a manual clock, with the
// shipped tariffs. Run under a real X server (Xvfb): orva32_screenshots OUTDIR
#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "app/ui/Glyphs.h"
#include "app/ui/Program.h"
#include "core/HowUtils.h"
#include "platform/DataDir.h"
#include "platform/SafeFile.h"
#include "simulation/ManualClock.h"
#include "simulation/Simulated.h"

using namespace orva;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  QLocale::setDefault(QLocale::c());
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  QDir().mkpath(out);
  QTemporaryDir temp;
  const std::string dir = temp.path().toStdString() + "/";
  if (const Status seeded = SeedTariffs(dir); !seeded) {
    std::fprintf(stderr, "%s\n", seeded.error.c_str());
    return 1;
  }
  const std::string ini =
      "[Impostazioni generali]\r\nMostra wizard=0\r\nValuta=Euro\r\nDisplay=1\r\nLeft coord. "
      "Z=40\r\n"
      "Top coord. Z=40\r\nLeft coord. S=40\r\nTop coord. S=40\r\nMain height=560\r\n[TCPIP]\r\nGet "
      "network time=0\r\n";
  if (const Status s = ReplaceFile(dir + "ORVA32.INI", ini); !s) {
    std::fprintf(stderr, "%s\n", s.error.c_str());
    return 1;
  }

  // Tuesday 8 December 2026, 21:02:00: an evening call.
  ManualClock clock(EncodeDate(2026, 12, 8) + EncodeTime(21, 2, 0));
  SilentDialogs dialogs;  // nobody is there to answer
  NoSound sound;
  SimulatedDialup dialup;
  SimulatedStatistics stats;
  RecordingLauncher launcher;
  ProgramOptions o;
  o.dataDir = dir;
  o.arguments = {QStringLiteral("nosplash")};
  o.clock = &clock;
  o.timers = &clock;
  o.dialogs = &dialogs;
  o.sound = &sound;
  o.dialup = &dialup;
  o.statistics = &stats;
  o.launcher = &launcher;
  TOrvaProgram program(o);
  program.Start();
  QApplication::processEvents();

  // The link comes up; twelve and a half minutes of traffic follow, sampled as the meter does.
  dialup.Add("Provider");
  stats.Set("ppp0", kBytesReceivedCounter, 0);
  stats.Set("ppp0", kBytesSentCounter, 0);
  clock.AdvanceMs(250);
  for (int step = 1; step <= 757 * 4; ++step) {
    stats.Set("ppp0", kBytesReceivedCounter, step * 612);
    stats.Set("ppp0", kBytesSentCounter, step * 71);
    clock.AdvanceMs(250);
  }
  TMainForm& form = program.Form();
  QTimer::singleShot(300, [&] {
    form.RedrawCounters();
    form.grab().save(out + QStringLiteral("/main-window-large.png"));
    form.ShrinkBtnClick();
    form.SelectCounterItem(2);
    QTimer::singleShot(300, [&] {
      form.grab().save(out + QStringLiteral("/main-window-small.png"));
      AppIconPixmap(128).save(out + QStringLiteral("/icon.png"));
      for (const std::string& m : dialogs.messages)
        std::fprintf(stderr, "message: %s\n", m.c_str());
      program.WMQueryEndSession();
      app.quit();
    });
  });
  return app.exec();
}

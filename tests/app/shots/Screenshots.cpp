// Takes the pictures of the main window for the documentation: the large window and the small
// bar during a simulated call. Run under a real X server (Xvfb): orva32_screenshots OUTDIR
#include <sys/resource.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "app/ui/Glyphs.h"
#include "app/ui/MainForm.h"

using namespace orva;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QLocale::setDefault(QLocale::c());
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  QDir().mkpath(out);
  TMainForm form;
  CounterInput call;
  call.metering = true;
  call.now = EncodeDate(2026, 12, 8) + EncodeTime(21, 14, 37);
  call.tickStart = call.now - 22 * kOneSecond;
  call.elapsed = EncodeTime(0, 12, 37);
  call.ticks = 14;
  call.cost = 14 * 127;
  call.tickText = "00.01.00";
  call.status = "Connesso";
  call.entryName = "Provider";
  call.bytesReceived = "1843210";
  call.bytesSent = "212877";
  form.CounterSource = [&] { return call; };
  form.CommandSource = [] { return CommandStateInput{true, false, false}; };
  WindowSettings s;
  s.display = 1;
  s.positions.large = {40, 40};
  form.ApplySettings(s);
  form.SetTariffs({"Esempio urbano", "Interurbana"}, {"URB", "INT"});
  form.SelectTariff(0);
  form.FormCreate();
  form.SetGauges(60, 22);
  form.SetLabel(QStringLiteral("StatusLb"), QStringLiteral("Connesso a 33600 bps"));
  form.SetLabel(QStringLiteral("ServiceLb"), QStringLiteral("Connesso a: Provider"));
  form.SetLabel(QStringLiteral("IPLb"), QStringLiteral("10.64.1.23"));
  form.SetLabel(QStringLiteral("RasLb"), QStringLiteral("Connesso"));
  form.SetLabel(QStringLiteral("DevName"), QStringLiteral("ppp0"));
  form.SetLabel(QStringLiteral("DevType"), QStringLiteral("Modem"));
  form.SetTrayHint(QStringLiteral("ORVA32 - Connesso a : Provider"));
  if (argc > 2) {
    // orva32_screenshots OUTDIR SECONDS: the CPU of a call redrawn at every 200 ms sample.
    const int seconds = QString::fromLocal8Bit(argv[2]).toInt();
    auto cpu = [] {
      rusage u{};
      getrusage(RUSAGE_SELF, &u);
      return u.ru_utime.tv_sec + u.ru_stime.tv_sec +
             (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    };
    const double cpu0 = cpu();
    QElapsedTimer wall;
    wall.start();
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, &form, [&] {
      call.now += 0.2 * kOneSecond;
      call.elapsed += 0.2 * kOneSecond;
      if (call.now - call.tickStart >= 60 * kOneSecond) {
        call.tickStart = call.now;
        ++call.ticks;
        call.cost += 127;
      }
      form.SetGaugePosition(static_cast<int>((call.now - call.tickStart) * kSecondsPerDay));
      form.RedrawCounters();
    });
    sample.start(200);
    QTimer::singleShot(seconds * 1000, [&] {
      const double used = cpu() - cpu0;
      std::printf("cpu %.3f s over %.1f s = %.3f %%\n", used, wall.elapsed() / 1000.0,
                  100.0 * used / (wall.elapsed() / 1000.0));
      app.quit();
    });
    return app.exec();
  }
  QTimer::singleShot(300, [&] {
    form.RedrawCounters();
    form.grab().save(out + QStringLiteral("/main-window-large.png"));
    form.ShrinkBtnClick();
    form.SelectCounterItem(2);
    QTimer::singleShot(300, [&] {
      form.grab().save(out + QStringLiteral("/main-window-small.png"));
      AppIconPixmap(128).save(out + QStringLiteral("/icon.png"));
      app.quit();
    });
  });
  return app.exec();
}

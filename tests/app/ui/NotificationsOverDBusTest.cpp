// The whole program with a desktop notification service, mocked by python-dbusmock's
// notification template on a private bus: a time warning and the summary of the finished call
// arrive as notifications and no box is shown; without the service, or once it has gone, the
// warning is the box again. The meter runs on a manual clock.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusArgument>
#include <QDBusVariant>

#include "PrivateBus.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "TestProgram.h"
#include "app/ui/Program.h"
#include "platform/qt/DesktopNotifier.h"
#include "simulation/ManualClock.h"
#include "simulation/Simulated.h"

namespace orva {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

struct Sent {
  QString app, summary, body;
  int urgency = -1;
};

struct NotificationsOverDBus : ::testing::Test {
  test::PrivateBus bus;
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  // Monday 5 January 2026, 10:00:00.
  ManualClock clock{EncodeDate(2026, 1, 5) + EncodeTime(10, 0, 0)};
  NoSound sound;
  SimulatedDialup dialup;
  SimulatedStatistics stats;
  RecordingLauncher launcher;
  std::unique_ptr<DesktopNotifier> notifier;
  std::unique_ptr<TOrvaProgram> program;

  void SetUp() override {
    const std::string reason = test::PrivateBus::SkipReason();
    if (!reason.empty()) GTEST_SKIP() << reason;
    std::string error;
    ASSERT_TRUE(bus.Start(error)) << error;
  }
  void TearDown() override {
    program.reset();
    notifier.reset();
  }
  void StartService() {
    std::string error;
    ASSERT_TRUE(bus.StartMock(QStringLiteral("notification_daemon"), kService, error)) << error;
  }
  // A time warning after one minute; the summary of each call.
  void Make() {
    test::WriteBytes(dir.File("ORVA32.INI"),
                     "[Impostazioni generali]\r\nMostra wizard=0\r\n"
                     "[TCPIP]\r\nGet network time=0\r\nTCP monitoring=0\r\n"
                     "[Messsaggi di avviso]\r\nAttiva a tempo=1\r\nA tempo=1\r\n"
                     "[Notifiche]\r\nFine chiamata=1\r\n");
    notifier = std::make_unique<DesktopNotifier>(bus.Connection());
    ProgramOptions o = test::QuietProgram(dir.path(), dialogs);
    o.sound = &sound;
    o.clock = &clock;
    o.timers = &clock;
    o.dialup = &dialup;
    o.statistics = &stats;
    o.launcher = &launcher;
    o.notifier = notifier.get();
    program = std::make_unique<TOrvaProgram>(o);
    program->Start();
    QApplication::processEvents();
  }
  // What the service was asked to show, in order.
  std::vector<Sent> SentNotices() {
    std::vector<Sent> out;
    const QVariantList reply =
        bus.Mock(kService, kPath, QStringLiteral("GetMethodCalls"), {QStringLiteral("Notify")});
    if (reply.isEmpty()) return out;
    const QDBusArgument calls = reply.front().value<QDBusArgument>();
    calls.beginArray();
    while (!calls.atEnd()) {
      qulonglong when = 0;
      QVariantList args;
      calls.beginStructure();
      calls >> when >> args;
      calls.endStructure();
      if (args.size() != 8) continue;
      Sent s{args[0].toString(), args[3].toString(), args[4].toString()};
      QVariantMap hints;
      args[6].value<QDBusArgument>() >> hints;
      if (hints.contains(QStringLiteral("urgency")))
        s.urgency = hints.value(QStringLiteral("urgency")).toInt();
      out.push_back(s);
    }
    calls.endArray();
    return out;
  }
  int WarningBoxes() const {
    int n = 0;
    for (const auto& s : dialogs.shown) n += s.text.rfind("ORVA AVVISO !", 0) == 0;
    return n;
  }
};

TEST_F(NotificationsOverDBus, WarningAndCallSummaryArriveAsNotificationsWithoutABox) {
  StartService();
  Make();
  ASSERT_TRUE(test::WaitFor([&] { return notifier->Available(); }));
  program->Logic().Start1Click();
  ASSERT_TRUE(program->Logic().Call().Metering());
  clock.AdvanceMs(61000);
  ASSERT_TRUE(test::WaitFor([&] { return SentNotices().size() == 1; }));
  Sent warning = SentNotices()[0];
  EXPECT_EQ(warning.app, QStringLiteral("ORVA32"));
  EXPECT_EQ(warning.summary, QStringLiteral("ORVA AVVISO !"));
  EXPECT_EQ(warning.body,
            QString::fromUtf8("Il tempo totale di connessione è superiore al limite impostato"));
  EXPECT_EQ(warning.urgency, 2);
  EXPECT_EQ(WarningBoxes(), 0);

  // A call of 2 minutes 5 seconds, then ended by hand: its summary.
  clock.AdvanceMs(64000);
  program->Logic().Stop1Click();
  ASSERT_TRUE(test::WaitFor([&] {
    const auto sent = SentNotices();
    return !sent.empty() && sent.back().summary.startsWith(QStringLiteral("Chiamata terminata"));
  }));
  const Sent summary = SentNotices().back();
  EXPECT_EQ(summary.summary, QStringLiteral("Chiamata terminata: Sconosciuto: Avvio manuale"));
  EXPECT_TRUE(summary.body.startsWith(QStringLiteral("Durata 00.02.05\n")))
      << summary.body.toStdString();
  EXPECT_TRUE(summary.body.contains(QStringLiteral("Costo L. "))) << summary.body.toStdString();
  EXPECT_EQ(WarningBoxes(), 0);
}

TEST_F(NotificationsOverDBus, WithoutTheServiceOrOnceItIsGoneTheWarningIsABox) {
  Make();
  EXPECT_FALSE(notifier->Available());
  program->Logic().Start1Click();
  clock.AdvanceMs(61000);
  QApplication::processEvents();
  EXPECT_EQ(WarningBoxes(), 1);
  program->Logic().Stop1Click();

  // The service comes late, is used, and goes away again.
  StartService();
  ASSERT_TRUE(test::WaitFor([&] { return notifier->Available(); }));
  program->Logic().Start1Click();
  clock.AdvanceMs(61000);
  ASSERT_TRUE(test::WaitFor([&] { return !SentNotices().empty(); }));
  EXPECT_EQ(WarningBoxes(), 1);
  program->Logic().Stop1Click();
  std::string error;
  ASSERT_TRUE(bus.StopMock(kService, error)) << error;
  ASSERT_TRUE(test::WaitFor([&] { return !notifier->Available(); }));
  program->Logic().Start1Click();
  clock.AdvanceMs(61000);
  QApplication::processEvents();
  EXPECT_EQ(WarningBoxes(), 2);
}

}  // namespace
}  // namespace orva

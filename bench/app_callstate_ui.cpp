// How long a modem's call-state change takes to reach the meter: ModemManager (mocked by
// python-dbusmock on a private system bus) answers a ringing call, and the time runs from the
// request that makes the mock emit its signals to the "connected" line event, on which the
// watcher calls StartCall at once (the end-to-end test measures up to StartCall itself).
// The target is under 50 ms. Each iteration is one call: raised, answered (timed), hung up
// and deleted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDBusObjectPath>
#include <chrono>
#include <cstdio>
#include <memory>

#include "PrivateBus.h"
#include "platform/qt/MmTelephony.h"

namespace orva {
namespace {

const QString kMm = QStringLiteral("org.freedesktop.ModemManager1");
const QString kRoot = QStringLiteral("/org/freedesktop/ModemManager1");

void BM_CallStateToConnectedEvent(benchmark::State& state) {
  const std::string reason = test::PrivateBus::SkipReason();
  if (!reason.empty()) {
    state.SkipWithError(reason.c_str());
    return;
  }
  test::PrivateBus bus;
  std::string error;
  if (!bus.Start(error) ||
      !bus.StartMock(test::MockTemplateDir() + QStringLiteral("modemmanager.py"), kMm, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  MmTelephony mm(bus.Connection());
  bool connected = false, idle = false;
  std::chrono::steady_clock::time_point started;
  mm.Open([&](std::int64_t, int, int s, int) {
    if (s == kCallConnected) {
      connected = true;
      started = std::chrono::steady_clock::now();
    }
    if (s == kCallIdle) idle = true;
  });
  test::WaitFor([&] { return mm.VoiceModems() == 1; });
  for (auto _ : state) {
    connected = idle = false;
    const auto added =
        bus.Mock(kMm, kRoot, QStringLiteral("AddIncomingCall"), {QStringLiteral("0612345678")});
    const QString call = added.value(0).value<QDBusObjectPath>().path();
    const auto sent = std::chrono::steady_clock::now();
    bus.Mock(kMm, kRoot, QStringLiteral("SetCallState"), {call, 4, 3});
    test::WaitFor([&] { return connected; });
    state.SetIterationTime(std::chrono::duration<double>(started - sent).count());
    bus.Mock(kMm, kRoot, QStringLiteral("SetCallState"), {call, 7, 4});
    bus.Mock(kMm, kRoot, QStringLiteral("DropCall"), {QVariant::fromValue(QDBusObjectPath(call))});
    test::WaitFor([&] { return idle; });
  }
}
BENCHMARK(BM_CallStateToConnectedEvent)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50);

}  // namespace
}  // namespace orva

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

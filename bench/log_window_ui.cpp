// The log window with a 100,000-call log, on the offscreen platform: opening it (load, list,
// totals, first paint), opening it with a kept sort column, a click on "Costo", scrolling to
// the last row and back, and selecting every row. Time is wall clock, CPU the whole process.
//   bench_log_window_ui                        run the benchmarks
//   bench_log_window_ui --write-log FILE [N] [office]
//                                              write the sample log (N lines, 100,000) and stop
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "BenchFile.h"
#include "LogSample.h"
#include "core/HowUtils.h"
#include "core/Settings.h"
#include "log/ui/Logform.h"
#include "platform/Dialogs.h"
#include "platform/SafeFile.h"

namespace orva {
namespace {

constexpr std::size_t kCalls = 100000;

const std::string& BenchDir() {
  static const std::string dir = [] {
    std::string d = (std::filesystem::temp_directory_path() /
                     ("orva-bench-logwin-" + std::to_string(::getpid())))
                        .string() +
                    "/";
    std::filesystem::create_directories(d);
    return d;
  }();
  return dir;
}

struct Cleanup {
  ~Cleanup() {
    std::error_code ec;
    std::filesystem::remove_all(BenchDir(), ec);
  }
} g_cleanup;

// The home log (a few dozen services), and the office log (thousands of them).
const std::string& SampleLogPath(bool office = false) {
  static const std::string home = [] {
    const std::string p = BenchDir() + "ORVA.LOG";
    orva::bench::WriteInput(p, bench::MakeSampleLog(kCalls));
    return p;
  }();
  static const std::string many = [] {
    const std::string p = BenchDir() + "OFFICE.LOG";
    orva::bench::WriteInput(p, bench::MakeSampleLog(kCalls, true));
    return p;
  }();
  return office ? many : home;
}

SilentDialogs g_dialogs;

Settings SettingsWithSort(int column, bool office = false) {
  Settings s;
  s.logFileName = SampleLogPath(office);
  s.sortIndex = column;
  s.sortAscending = true;
  return s;
}

// Lets the window lay itself out and paint what is visible.
void Paint(TLog& w) {
  QApplication::processEvents();
  w.List()->viewport()->repaint();
}

void OpenWith(benchmark::State& state, int sortColumn, bool office = false) {
  Settings settings = SettingsWithSort(sortColumn, office);
  for (auto _ : state) {
    auto w = std::make_unique<TLog>(settings, g_dialogs, BenchDir(), LogWindowHooks{});
    w->resize(980, 600);
    w->show();
    Paint(*w);
    if (w->Model().Count() != kCalls) state.SkipWithError("wrong record count");
    state.PauseTiming();
    w.reset();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}

void BM_OpenLogWindow_100k(benchmark::State& state) {
  OpenWith(state, -1);
}
void BM_OpenLogWindowSortedByData_100k(benchmark::State& state) {
  OpenWith(state, 1);
}
void BM_OpenOfficeLogWindow_100k(benchmark::State& state) {
  OpenWith(state, -1, true);
}

// One open window, kept across the benchmarks that use it (closed before the application).
Settings g_settings;
std::unique_ptr<TLog> g_window;
TLog& OpenWindow() {
  if (!g_window) {
    g_settings = SettingsWithSort(-1);
    g_window = std::make_unique<TLog>(g_settings, g_dialogs, BenchDir(), LogWindowHooks{});
    g_window->resize(980, 600);
    g_window->show();
    Paint(*g_window);
  }
  return *g_window;
}

const std::vector<std::size_t> kSelected = {0, 1, kCalls - 1};

void BM_SortByCosto_100k(benchmark::State& state) {
  TLog& w = OpenWindow();
  w.SelectRows(kSelected);
  for (auto _ : state) {
    w.HeaderTopSectionClick(7);  // ascending, then descending, and so on
    Paint(w);
  }
  // The selection stays on the same rows of the list, as the highlighted rows do.
  if (w.SelectedRows() != kSelected) state.SkipWithError("the selection moved");
}

void BM_ScrollToEndAndBack_100k(benchmark::State& state) {
  TLog& w = OpenWindow();
  w.SelectRows(kSelected);
  for (auto _ : state) {
    w.List()->scrollToBottom();
    Paint(w);
    w.List()->scrollToTop();
    Paint(w);
  }
  if (w.SelectedRows() != kSelected) state.SkipWithError("the selection moved");
}

void BM_SelectAll_100k(benchmark::State& state) {
  TLog& w = OpenWindow();
  for (auto _ : state) {
    w.SelectAllBtnClick();
    Paint(w);
    state.PauseTiming();
    w.SelectRows({});
    state.ResumeTiming();
  }
}

#define ORVA_WINDOW_BENCH(fn) \
  BENCHMARK(fn)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()

ORVA_WINDOW_BENCH(BM_OpenLogWindow_100k);
ORVA_WINDOW_BENCH(BM_OpenLogWindowSortedByData_100k);
ORVA_WINDOW_BENCH(BM_OpenOfficeLogWindow_100k);
ORVA_WINDOW_BENCH(BM_SortByCosto_100k);
ORVA_WINDOW_BENCH(BM_ScrollToEndAndBack_100k);
ORVA_WINDOW_BENCH(BM_SelectAll_100k);

}  // namespace
}  // namespace orva

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--write-log") == 0) {
    const std::size_t lines = argc >= 4 ? std::stoul(argv[3]) : orva::kCalls;
    const bool office = argc >= 5 && std::strcmp(argv[4], "office") == 0;
    const orva::Status st = orva::ReplaceFile(argv[2], orva::bench::MakeSampleLog(lines, office));
    if (!st) std::fprintf(stderr, "%s\n", st.error.c_str());
    return st ? 0 : 1;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  orva::g_window.reset();
  benchmark::Shutdown();
  return 0;
}

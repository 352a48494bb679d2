#!/usr/bin/env bash
# Sets up, checks the format, builds and runs every test: once normally (then the journeys
# again on Xvfb, and the running program as a screen reader finds it), once with
# AddressSanitizer and UndefinedBehaviorSanitizer, then the Debian package and its checks,
# then a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs=$(( $(nproc) + 1 ))
export CTEST_OUTPUT_ON_FAILURE=1

echo "== Format (clang-format, the repository's .clang-format) =="
find src cli tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 |
  xargs -0 clang-format --dry-run -Werror

# The desktop program and its window tests are the product: a build without them is a failure,
# not a smaller success.
require_front_ends() {
  local dir=$1 missing=0 windows=0 n exe
  for f in app/orva32 cli/orva32cli tests/app/orva_app_ui_tests; do
    [ -x "$dir/$f" ] || { echo "$dir/$f was not built" >&2; missing=1; }
  done
  for exe in "$dir"/tests/*/orva_*_ui_tests; do
    [ -x "$exe" ] || continue
    n=$(QT_QPA_PLATFORM=offscreen "$exe" --gtest_list_tests | grep -c '^  ' || true)
    windows=$((windows + n))
  done
  [ "$windows" -gt 0 ] || { echo "$dir: no window tests were built" >&2; missing=1; }
  [ "$missing" -eq 0 ] || exit 1
  echo "$dir: $(ctest --test-dir "$dir" -N | grep -c 'Test *#') tests, $windows of them window tests"
}

echo "== Build and test (normal) =="
bash scripts/configure.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVA_WERROR=ON
cmake --build build -j "$jobs"
require_front_ends build
ctest --test-dir build -j "$jobs" --timeout 300

echo "== The real program on an X server (Xvfb) with a window manager and the accessibility bus =="
# The journeys, every menu command, the main window's places and a dialog's place once more on
# a real display server with a window manager (whose frames and title bars a stored place must
# allow for) and the window state of the programs started with the link, instead of the
# offscreen platform, then the running program as a screen reader finds it.
on_display() {
  xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- bash -c \
    'openbox >/dev/null 2>&1 & wm=$!; sleep 1; "$@"; rc=$?; kill $wm; exit $rc' on_display \
    env QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 LC_ALL=C.UTF-8 \
    TZ=Europe/Rome ORVA_TEST_DATA="$PWD/tests/data" "$@"
}
on_display build/tests/app/orva_app_ui_tests --gtest_brief=1 \
  --gtest_filter='Journey.*:MenuFixture.*:AccessibleNames.*:WindowPlaces.*:HiddenStart.*:DefaultSize.*:LaunchedWindows.*'
on_display build/tests/setup/orva_setup_ui_tests --gtest_brief=1 \
  --gtest_filter='SetupFixture.ReopenedDialogComesBackExactlyWhereItWas'
on_display build/tests/log/orva_log_ui_tests --gtest_brief=1 --gtest_filter='CompareFixture.*'
on_display tests/desktop/with_keyring.sh build/tests/app/orva_app_live_tests --gtest_brief=1 \
  --gtest_filter='KeyringLive.*'
xvfb-run -a dbus-run-session -- /usr/bin/python3 tests/desktop/screen_reader.py build

echo "== Build and test (AddressSanitizer + UndefinedBehaviorSanitizer) =="
bash scripts/configure.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DORVA_SANITIZE=ON -DORVA_BENCH=OFF \
  -DORVA_WERROR=ON
cmake --build build-asan -j "$jobs"
require_front_ends build-asan
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
  ctest --test-dir build-asan -j "$jobs" --timeout 600

echo "== Debian package =="
bash scripts/package.sh build

echo "== Fuzz smoke (${ORVA_FUZZ_SECONDS:-5} s per target) =="
bash scripts/fuzz.sh "${ORVA_FUZZ_SECONDS:-5}"

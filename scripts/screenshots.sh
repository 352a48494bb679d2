#!/usr/bin/env bash
# Takes the documentation's pictures into docs/screenshots (or the folder given) from a built
# tree: the windows' picture cases of the window tests, the pictures the tests of the whole
# program take on the way, and the main window during a simulated call. Needs Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/screenshots}")
mkdir -p "$out"
export ORVA_SCREENSHOTS="$out" ORVA_TEST_DATA="$PWD/tests/data" LC_ALL=C.UTF-8 TZ=Europe/Rome
for exe in build/tests/*/orva_*_ui_tests; do
  QT_QPA_PLATFORM=offscreen "$exe" --gtest_brief=1
done
xvfb-run -a -s "-screen 0 1280x1024x24" build/tests/app/orva32_screenshots "$out"
echo "pictures in $out"

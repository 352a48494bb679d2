#!/usr/bin/env bash
# Sets up, builds and runs every test: once normally and once with AddressSanitizer and
# UndefinedBehaviorSanitizer, then a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs=$(( $(nproc) + 1 ))
export CTEST_OUTPUT_ON_FAILURE=1

echo "== Build and test (normal) =="
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build -j "$jobs" --timeout 300

echo "== Build and test (AddressSanitizer + UndefinedBehaviorSanitizer) =="
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVA_SANITIZE=ON -DORVA_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
  ctest --test-dir build-asan -j "$jobs" --timeout 600

echo "== Fuzz smoke (${ORVA_FUZZ_SECONDS:-5} s per target) =="
bash scripts/fuzz.sh "${ORVA_FUZZ_SECONDS:-5}"

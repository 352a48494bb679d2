#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given seconds (default 60).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVA_FUZZ=ON -DORVA_GUI=OFF -DORVA_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(( $(nproc) + 1 ))" --target fuzzers
for target in build-fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus=build-fuzz/corpus/$name
  mkdir -p "$corpus"
  seeds=fuzz/seeds/${name#fuzz_}
  args=("$corpus")
  [ -d "$seeds" ] && args+=("$seeds")
  echo "-- $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -max_len=65536 -print_final_stats=0 "${args[@]}" \
    2>build-fuzz/$name.log || { tail -n 40 build-fuzz/$name.log; exit 1; }
  grep -E '^#[0-9]+.*DONE' build-fuzz/$name.log | tail -n 1 || true
done
echo "fuzz: no finding"

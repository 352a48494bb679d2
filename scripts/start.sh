#!/usr/bin/env bash
# Sets up, builds and starts ORVA32 (the desktop program when Qt is there and a display is
# open; otherwise the command-line tool lists the tariffs of the data directory).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(( $(nproc) + 1 ))"
if [ -x build/app/orva32 ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/app/orva32 "$@"
fi
exec build/cli/orva32cli tariff list "$@"

#!/usr/bin/env bash
# Sets up, builds and starts ORVA32: the desktop program on the open display. Arguments are
# passed on to orva32 (for example "nosplash", "--data-dir DIR", "--simulate NAME").
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/configure.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(( $(nproc) + 1 ))" --target orva32 orva32cli
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "ORVA32 is built, but no display is open (DISPLAY and WAYLAND_DISPLAY are empty), so its" >&2
  echo "window cannot be shown. Start it from a desktop session with build/app/orva32, or" >&2
  echo "try it on a virtual display: xvfb-run -a build/app/orva32. Without windows," >&2
  echo "build/cli/orva32cli --help lists what the command-line tool does; the tariffs:" >&2
  exec build/cli/orva32cli tariff list
fi
exec build/app/orva32 "$@"

#!/bin/sh
# Fails when an #include under src/ runs up the layers: logic that includes a window, the
# application or Qt, or a layer that includes a higher one. ctest runs it as CheckLayers;
# by hand: scripts/check-layers.sh [source tree].
#
# The layers, lowest first; folders on one line are peers, whose logic keeps apart:
#   platform
#   core
#   tariff
#   bill log net phone
#   services
#   meter
#   simulation setup
#   app
# A folder's logic (src/<layer>/, src/net/helper/) includes its own layer and lower ones,
# never a window (src/*/ui/, src/app/main/), src/platform/qt/ or a Qt header <Q...>. Its
# windows (src/<layer>/ui/) include the logic and the windows of their own and lower layers.
# src/platform/qt/ includes only the platform. Qt headers: src/*/ui/, src/app/, src/platform/qt/.
set -eu
cd "${1:-$(dirname "$0")/..}"

problems=$(find src \( -name '*.h' -o -name '*.cpp' \) | sort | xargs awk '
  BEGIN {
    split("platform|core|tariff|bill log net phone|services|meter|simulation setup|app", rows, "|")
    for (i = 1; i in rows; ++i) {
      n = split(rows[i], names, " ")
      for (j = 1; j <= n; ++j) level[names[j]] = i
    }
  }
  # "window" for windows and programs with Qt, "qt" for the platform Qt side, else "logic".
  function side(path) {
    if (path ~ /\/ui\// || path ~ /^app\/main\//) return "window"
    if (path ~ /^platform\/qt\//) return "qt"
    return "logic"
  }
  FNR == 1 {
    path = substr(FILENAME, 5)
    layer = path; sub(/\/.*/, "", layer)
    from = side(path)
    if (!(layer in level)) print FILENAME ": src/" layer " has no place in the layers"
  }
  !(layer in level) { next }
  /^[ \t]*#[ \t]*include[ \t]*[<"]/ {
    target = $0
    sub(/^[^<"]*/, "", target)
    quoted = substr(target, 1, 1) == "\""
    target = substr(target, 2); sub(/[>"].*/, "", target)
    where = FILENAME ":" FNR
    if (!quoted) {
      if (target ~ /^Q/ && from == "logic" && layer != "app")
        print where ": Qt header <" target "> in logic"
      next
    }
    if (target !~ /\//) next
    to_layer = target; sub(/\/.*/, "", to_layer)
    if (!(to_layer in level)) next  # a test or a library header
    if (from == "logic" && side(target) != "logic")
      print where ": logic includes " target
    else if (from == "qt" && to_layer != "platform")
      print where ": the platform Qt side includes " target
    else if (level[to_layer] > level[layer])
      print where ": " layer " includes the higher layer " to_layer ": " target
    else if (from == "logic" && level[to_layer] == level[layer] && to_layer != layer)
      print where ": " layer " includes its peer " to_layer ": " target
  }
')
if [ -n "$problems" ]; then
  echo "$problems" >&2
  echo "check-layers: includes that run up the layers (see scripts/check-layers.sh)" >&2
  exit 1
fi
echo "check-layers: every include keeps to the layers"

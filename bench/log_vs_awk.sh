#!/usr/bin/env bash
# Times loading and totalling a 1,000,000-line connection log with orva32cli against the awk
# line that sums the cost column of the same file, and prints the ratio (below 1: faster).
#   bench/log_vs_awk.sh [BUILD_DIR] [LINES]
#   bench/log_vs_awk.sh --write-log FILE [LINES]   only writes the log (bench/run.sh uses it)
set -euo pipefail
cd "$(dirname "$0")/.."

# Lines as the meter writes them: eleven TAB-terminated fields, CR LF.
write_log() {
awk -v n="$2" 'BEGIN {
  srand(42); split("TI-I TI-U INFOSTRADA WIND", tar, " ")
  split("Modem: Tiscali|Modem: Libero (0612345678)|A voce: Mario Rossi|FAX G3: Studio|?", srv, "|")
  for (i = 0; i < n; i++) {
    d = int(rand() * 28) + 1; m = int(rand() * 12) + 1; y = int(rand() * 10) + 95
    h = int(rand() * 22); mi = int(rand() * 60); s = int(rand() * 60); dur = int(rand() * 120)
    ticks = dur + 1; cost = 127 * ticks + (rand() < 0.5 ? 63.5 : 0)
    bps = rand() < 0.1 ? "n.d" : 14400 + 2400 * int(rand() * 9)
    printf "%02d/%02d/%02d\t%02d.%02d.%02d\t%02d.%02d.%02d\t00.%02d.%02d\t%s\t%d\t%s\t%s\t%d\t%d\t%s\t\r\n",
      d, m, y % 100, h, mi, s, h + 1, mi, s, dur % 60, s, tar[int(rand() * 4) + 1], ticks, cost,
      bps, int(rand() * 5000000), int(rand() * 500000), srv[int(rand() * 5) + 1]
  }
}' >"$1"
}

if [ "${1:-}" = --write-log ]; then
  write_log "$2" "${3:-1000000}"
  exit 0
fi
build=${1:-build}
lines=${2:-1000000}
cli=$build/cli/orva32cli
[ -x "$cli" ] || { echo "build $cli first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
write_log "$work/big.log" "$lines"
# Written out before timing: the write-back of 90 MB would weigh on the first runs.
sync "$work/big.log"
mkdir -p "$work/data"

# Best of five wall-clock runs, in seconds.
best() {
  local best_t=""
  for _ in 1 2 3 4 5; do
    local t0 t1
    # The shell's own clock: starting `date` around a run of 60 ms would weigh in the figure.
    t0=$EPOCHREALTIME
    "$@" >/dev/null
    t1=$EPOCHREALTIME
    best_t=$(awk -v a="$t0" -v b="$t1" -v c="$best_t" 'BEGIN { t = b - a; if (c == "" || t < c) c = t; print c }')
  done
  echo "$best_t"
}

ours=$(best "$cli" log totals "$work/big.log" --vat 20 --data-dir "$work/data")
theirs=$(best awk -F'\t' '{s+=$7} END {print s}' "$work/big.log")
echo "lines: $lines ($(du -h "$work/big.log" | cut -f1))"
echo "orva32cli log totals: ${ours} s"
echo "awk sum of column 7:  ${theirs} s"
awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "ratio orva32cli/awk: %.2f\n", a / b }'

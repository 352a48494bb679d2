#!/usr/bin/env bash
# Runs every benchmark of a build and the comparison of `orva32cli log` with mawk on a
# 1,000,000-line log, and prints one table: each figure (median of the repetitions, CPU time
# of the process for the benchmarks, wall time for the command-line runs), its spread (lowest
# and highest) and its goal.
#   bench/run.sh [BUILD_DIR] [REPETITIONS]
# The machine is usually shared: figures are medians, and the ratio to mawk is taken from runs
# made one after the other in this same call.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
reps=${2:-5}
cli=$build/cli/orva32cli
[ -x "$cli" ] || { echo "build $cli first" >&2; exit 1; }
command -v mawk >/dev/null || { echo "mawk is needed for the comparison" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen LC_ALL=C

# ---- the benchmarks: every repetition kept, the table takes median, lowest and highest ----
for exe in "$build"/bench/bench_*; do
  [ -f "$exe" ] && [ -x "$exe" ] || continue  # not the build's *_autogen folders
  name=$(basename "$exe")
  echo "running $name" >&2
  "$exe" --benchmark_repetitions="$reps" --benchmark_format=json \
    --benchmark_out="$work/$name.json" --benchmark_out_format=json >/dev/null 2>"$work/$name.err" ||
    { echo "$name failed:" >&2; cat "$work/$name.err" >&2; }
done

# ---- orva32cli against mawk on the same file, one after the other ----
lines=1000000
bash bench/log_vs_awk.sh --write-log "$work/big.log" "$lines"
# Written out before timing: the write-back of 90 MB would weigh on the first runs.
sync "$work/big.log"
mkdir -p "$work/data"
# Wall seconds (the shell's clock: time's own is in hundredths) and peak resident kilobytes of
# one run.
measure() {
  local t0=$EPOCHREALTIME
  /usr/bin/time -f "%M" -o "$work/time" "$@" >/dev/null
  local t1=$EPOCHREALTIME
  echo "$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", b - a }') $(cat "$work/time")"
}
: >"$work/cli.txt"
for _ in $(seq "$reps"); do
  echo "mawk $(measure mawk -F'\t' '{s+=$7} END {print s}' "$work/big.log")" >>"$work/cli.txt"
  echo "totals $(measure "$cli" log totals "$work/big.log" --vat 20 --data-dir "$work/data")" \
    >>"$work/cli.txt"
  echo "show $(measure "$cli" log show "$work/big.log" --json --data-dir "$work/data")" \
    >>"$work/cli.txt"
  echo "csv $(measure "$cli" log export-csv "$work/big.log" "$work/out.csv" \
    --data-dir "$work/data")" >>"$work/cli.txt"
done

python3 - "$work" "$lines" <<'EOF'
import glob, json, os, statistics, sys

work, lines = sys.argv[1], int(sys.argv[2])
# Goals by benchmark name (the part before the first "/" arguments are kept), in the unit the
# table shows. None: measured for the record, no goal.
GOALS = {
    "BM_RefreshConnectionTable/5000": ("ms", 10),
    "BM_RefreshConnectionTable/9000": ("ms", 20),
    "BM_NetstatStart/9000": ("ms", 20),
    "BM_ReadAllCounters": ("us", None),
    "BM_RefreshLiveTable": ("ms", None),
    "BM_MergeStagedHosts": ("ms", 100),
    "BM_MergeInMemory": ("ms", None),
    "BM_EvaluateTariff_ExampleWeekday": ("us", 5),
    "BM_EvaluateTariff_DiscountedHoliday": ("us", 5),
    "BM_FindBand": ("us", None),
    "BM_RecalculateCall_OneHour": ("us", None),
    "BM_Timer22SampleWithoutTick": ("us", 10),
    "BM_Timer22SampleWithTick": ("us", 10),
    "BM_LoadLogFile_1M": ("ms", 300),
    "BM_SortByCosto_1M": ("ms", None),
    "BM_SortByData_1M": ("ms", None),
    "BM_TotalsAllRows_1M": ("ms", None),
    "BM_AppendLogRecord_100k": ("ms", None),
    "BM_CompareShippedTariffs_100k": ("ms", 2000),
    "BM_OpenLogWindow_100k": ("ms", 100),
    "BM_OpenLogWindowSortedByData_100k": ("ms", 100),
    "BM_OpenOfficeLogWindow_100k": ("ms", 100),
    "BM_SortByCosto_100k": ("ms", 20),
    "BM_ScrollToEndAndBack_100k": ("ms", 100),
    "BM_SelectAll_100k": ("ms", 100),
    # At most twice the bound of one reply (16 MB).
    "BM_MailTopReplyPeakMemory/iterations:1": ("MB", 32),
}
SCALE = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
rows = []

def row(figure, unit, values, goal, lower_is_better=True):
    med = statistics.median(values)
    spread = f"{min(values):.3g}-{max(values):.3g}"
    if goal is None:
        verdict = ""
    else:
        verdict = "met" if (med <= goal if lower_is_better else med >= goal) else "NOT MET"
    goal_text = "" if goal is None else f"<= {goal:g} {unit}"
    rows.append((figure, goal_text, f"{med:.3g} {unit}", spread, verdict))

for path in sorted(glob.glob(os.path.join(work, "bench_*.json"))):
    try:
        data = json.load(open(path))
    except (OSError, ValueError):
        continue
    exe = os.path.basename(path)[len("bench_"):-len(".json")]
    runs = {}
    for b in data.get("benchmarks", []):
        if b.get("run_type") != "iteration" or b.get("error_occurred"):
            continue
        name = b["run_name"]
        b["wall"] = "/real_time" in name
        for suffix in ("/real_time", "/process_time"):
            name = name.replace(suffix, "")
        runs.setdefault(name, []).append(b)
    for name, bs in runs.items():
        unit, goal = GOALS.get(name, ("ms", None))
        if "peak_MB" in bs[0]:
            row(f"{exe}: {name} (peak)", "MB", [b["peak_MB"] for b in bs], goal or None)
            continue
        # CPU time of the process (the window benchmarks), else of the benchmark's thread; the
        # wall time where the user waits for work shared among threads.
        ms = [b["real_time" if b["wall"] else "cpu_time"] * SCALE[b["time_unit"]] for b in bs]
        row(f"{exe}: {name}", unit, [v / SCALE[unit] for v in ms], goal)

cli = {}
for line in open(os.path.join(work, "cli.txt")):
    what, secs, kb = line.split()
    cli.setdefault(what, []).append((float(secs), int(kb)))
mawk = [s for s, _ in cli["mawk"]]
totals = [s for s, _ in cli["totals"]]
ratios = [t / m for t, m in zip(totals, mawk) if m > 0]
row(f"mawk sum of column 7, {lines} lines", "s", mawk, None)
row("orva32cli log totals", "s", totals, None)
row("log totals / mawk (wall, same run)", "x", ratios, 0.25)
row("log totals peak memory", "MB", [k / 1024 for _, k in cli["totals"]], 16)
row("mawk peak memory", "MB", [k / 1024 for _, k in cli["mawk"]], None)
row("log show --json peak memory", "MB", [k / 1024 for _, k in cli["show"]], 16)
row("log show --json wall", "s", [s for s, _ in cli["show"]], None)
row("log export-csv peak memory", "MB", [k / 1024 for _, k in cli["csv"]], 16)
row("log export-csv wall", "s", [s for s, _ in cli["csv"]], None)

widths = [max(len(r[i]) for r in rows + [("figure", "goal", "median", "spread", "")])
          for i in range(5)]
head = ("figure", "goal", "median", "spread", "")
for r in [head] + rows:
    print("  ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip())
EOF

#!/usr/bin/env bash
# Times the main window: the window benchmarks (start-up to the listed mods,
# choosing a mod with up to 10,000 maps; medians of five repetitions), then
# the whole valve road test program run several times under /usr/bin/time,
# reporting the median wall time and the median peak memory.
#
# Usage: scripts/time-window.sh [BUILD_DIR] [RUNS]
#   BUILD_DIR  a configured build directory (default build/default);
#              the programs are built there first.
#   RUNS       runs of the road test (default 7).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build/default}")
runs=${2:-7}
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (GNU time)" >&2; exit 1; }
[ -f "$build/CMakeCache.txt" ] || { echo "no configured build in $build" >&2; exit 1; }

cmake --build "$build" --target bench_window_gui test_road_valve vorn-cmd -j2 >/dev/null
export QT_QPA_PLATFORM=offscreen

echo "== window benchmarks (medians of 5 repetitions, wall time)"
"$build/bin/bench_window_gui" --benchmark_report_aggregates_only=true 2>/dev/null |
    grep -E '^(Benchmark|-+$)|_median'

echo "== valve road test program, $runs runs"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for i in $(seq "$runs"); do
    /usr/bin/time -f '%e %M' -o "$tmp/run$i" "$build/bin/test_road_valve" >/dev/null 2>&1 ||
        { echo "run $i failed" >&2; exit 1; }
done
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
wall=$(cat "$tmp"/run* | awk '{ print $1 }' | median)
rss=$(cat "$tmp"/run* | awk '{ print $2 }' | median)
echo "wall time: median ${wall} s   (runs: $(cat "$tmp"/run* | awk '{ printf "%s ", $1 }'))"
echo "peak memory (max RSS): median ${rss} KiB   (runs: $(cat "$tmp"/run* | awk '{ printf "%s ", $2 }'))"

#!/usr/bin/env bash
# Prints Vornwick's five performance figures, each beside its baseline
# measured in the same run, with the goal it is held to:
#   start-up to the listed mods      vs a bare Qt window with a few widgets
#   peak memory at start-up          vs the same bare window
#   one listing through the batch route, 10,000 files   vs std::filesystem
#   choosing a mod with 10,000 maps  (goal in milliseconds)
#   choosing a mod with 100,000 maps (goal in milliseconds)
# Each figure is the median of REPS repetitions; the repetitions of a
# figure and its baseline are interleaved at random, so that a busy moment
# of the machine hits both alike. Wall-clock times on Qt's offscreen
# platform; the machine should be otherwise idle for figures worth quoting.
#
# Usage: scripts/perf-figures.sh [BUILD_DIR] [REPS]
#   BUILD_DIR  a build directory configured RelWithDebInfo (default
#              build/default, configured with the default preset when
#              missing); the benchmarks are built there first.
#   REPS       repetitions per figure (default 21).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build/default}")
reps=${2:-21}

if [ ! -f "$build/CMakeCache.txt" ]; then
    [ "$build" = "$root/build/default" ] ||
        { echo "no configured build in $build" >&2; exit 1; }
    (cd "$root" && cmake --preset default >/dev/null)
fi
cmake --build "$build" --target bench_listing bench_window_gui vorn-cmd -j2 >/dev/null
export QT_QPA_PLATFORM=offscreen

flags=(--benchmark_repetitions="$reps" --benchmark_enable_random_interleaving=true
       --benchmark_report_aggregates_only=true)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$build/bin/bench_listing" --benchmark_filter='/10000/' "${flags[@]}" >"$tmp/listing" 2>&1 ||
    { cat "$tmp/listing" >&2; exit 1; }
"$build/bin/bench_window_gui" --benchmark_filter='StartUp|ChooseMod/(10000|100000)/' \
    "${flags[@]}" >"$tmp/window" 2>&1 || { cat "$tmp/window" >&2; exit 1; }

# "FIGURE <name> <value> [<baseline>]" lines of both programs.
figure() { awk -v name="$1" -v field="$2" '$1 == "FIGURE" && $2 == name { print $field }' \
               "$tmp/listing" "$tmp/window"; }
for name in startup memory listing10000 choose10000 choose100000; do
    [ -n "$(figure "$name" 3)" ] ||
        { echo "no figure '$name'; the benchmark output follows" >&2; cat "$tmp"/* >&2; exit 1; }
done

echo "Medians of $reps interleaved repetitions, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores"
awk -v s="$(figure startup 3)" -v sb="$(figure startup 4)" \
    -v m="$(figure memory 3)" -v mb="$(figure memory 4)" \
    -v l="$(figure listing10000 3)" -v lb="$(figure listing10000 4)" \
    -v c1="$(figure choose10000 3)" -v c2="$(figure choose100000 3)" 'BEGIN {
    line = "%-50s %10s   %-26s %7s   %-9s %s\n"
    printf line, "what", "Vornwick", "baseline", "ratio", "goal", ""
    verdict = "met"
    row("start-up to the listed mods", sprintf("%.1f ms", s),
        sprintf("bare Qt window %.1f ms", sb), s / sb, 1.5, "x")
    row("peak memory at start-up", sprintf("%.1f MiB", m),
        sprintf("bare Qt window %.1f MiB", mb), m / mb, 1.3, "x")
    row("one listing through the batch route, 10,000 files", sprintf("%.1f ms", l),
        sprintf("std::filesystem %.1f ms", lb), l / lb, 1.5, "x")
    row("choosing a mod with 10,000 maps", sprintf("%.1f ms", c1), "-", c1, 100, " ms")
    row("choosing a mod with 100,000 maps", sprintf("%.1f ms", c2), "-", c2, 150, " ms")
    print "all goals " verdict
}
function row(what, value, base, measure, goal, unit) {
    ok = measure <= goal
    if (!ok)
        verdict = "NOT met"
    printf line, what, value, base, unit == "x" ? sprintf("%.2fx", measure) : "-",
        "<= " goal unit, ok ? "met" : "NOT MET"
}'

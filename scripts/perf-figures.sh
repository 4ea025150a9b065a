#!/usr/bin/env bash
# Prints Vornwick's performance figures as a user meets them, each beside
# its baseline measured in the same run, with the goal it is held to:
#   start-up: exec to the first painted frame    vs a bare Qt window program
#             with the mods listed                  (vorn-bare-window)
#   peak memory of the same pair
#   the listing route, 10,000 files: the batch   vs std::filesystem listing the
#             file replaced, vorn-cmd started       same folder, in the window's
#             and waited for, the listing read      process
#   choosing a mod with 10,000 maps  (goal in milliseconds)
#   choosing a mod with 100,000 maps (goal in milliseconds)
# Whole processes are timed from outside: vornwick and vorn-bare-window are
# started as they are, with tools/perf/firstframe.cpp preloaded to end each
# at its first painted frame and report its peak memory; the listing and
# the mod choice are taken inside the running window (vorn-window-figures),
# vorn-cmd's whole process included. Each figure is the median of REPS
# pairs (picks for the mod choice), interleaved in random order so that a
# busy moment of the machine hits both sides alike. Wall-clock times on Qt's
# offscreen platform over a demo installation in a throw-away Wine-style
# prefix; the machine should be otherwise idle for figures worth quoting.
# The CPU time of the start-up pair is shown too: it is steadier on a busy
# machine, but the goal is held to the wall clock.
#
# Usage: scripts/perf-figures.sh [BUILD_DIR] [REPS]
#   BUILD_DIR  a build directory configured RelWithDebInfo (default
#              build/default, configured with the default preset when
#              missing); the programs are built there first.
#   REPS       pairs per figure (default 21).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build/default}")
reps=${2:-21}

if [ ! -f "$build/CMakeCache.txt" ]; then
    [ "$build" = "$root/build/default" ] ||
        { echo "no configured build in $build" >&2; exit 1; }
    (cd "$root" && cmake --preset default >/dev/null)
fi
cmake --build "$build" -j2 --target vornwick vorn-cmd vorn-make-demo vorn-bare-window \
    vorn-firstframe vorn-start-pairs vorn-window-figures >/dev/null
export QT_QPA_PLATFORM=offscreen

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# The demo installation plus the mods "maps10000" and "maps100000".
prefix=$tmp/prefix
game=$prefix/drive_c/Sierra/Half-Life
mkdir -p "$prefix/dosdevices"
ln -s ../drive_c "$prefix/dosdevices/c:"
"$build/bin/vorn-make-demo" "$game" >/dev/null
for n in 10000 100000; do
    mkdir -p "$game/maps$n/maps"
    printf 'game "bench"\r\n' >"$game/maps$n/liblist.gam"
    (cd "$game/maps$n/maps" && seq -f 'map%06g.bsp' 0 $((n - 1)) | xargs touch)
done
export WINEPREFIX=$prefix

"$build/bin/vorn-start-pairs" "$reps" "$build/lib/libvorn-firstframe.so" \
    "$build/bin/vornwick" "$build/bin/vorn-bare-window" >"$tmp/startup" 2>&1 ||
    { cat "$tmp/startup" >&2; exit 1; }
(cd "$tmp" && "$build/bin/vorn-window-figures" "$reps") >"$tmp/window" 2>&1 ||
    { cat "$tmp/window" >&2; exit 1; }

# "FIGURE <name> <value> [<baseline>]" lines of both programs.
figure() { awk -v name="$1" -v field="$2" '$1 == "FIGURE" && $2 == name { print $field }' \
               "$tmp/startup" "$tmp/window"; }
for name in startup startupcpu memory listing10000 choose10000 choose100000; do
    [ -n "$(figure "$name" 3)" ] ||
        { echo "no figure '$name'; the output follows" >&2; cat "$tmp/startup" "$tmp/window" >&2; exit 1; }
done

echo "Medians of $reps interleaved pairs, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores," \
     "load $(cut -d' ' -f1-3 /proc/loadavg)"
awk -v s="$(figure startup 3)" -v sb="$(figure startup 4)" \
    -v sc="$(figure startupcpu 3)" -v scb="$(figure startupcpu 4)" \
    -v m="$(figure memory 3)" -v mb="$(figure memory 4)" \
    -v l="$(figure listing10000 3)" -v lb="$(figure listing10000 4)" \
    -v c1="$(figure choose10000 3)" -v c2="$(figure choose100000 3)" 'BEGIN {
    line = "%-50s %10s   %-26s %7s   %-9s %s\n"
    printf line, "what", "Vornwick", "baseline", "ratio", "goal", ""
    verdict = "met"
    row("start-up to the first frame with the mods listed", sprintf("%.1f ms", s),
        sprintf("bare Qt window %.1f ms", sb), s / sb, 1.5, "x")
    printf line, "  (CPU time of the same, for reference)", sprintf("%.1f ms", sc),
        sprintf("bare Qt window %.1f ms", scb), sprintf("%.2fx", sc / scb), "-", ""
    row("peak memory at start-up", sprintf("%.1f MiB", m),
        sprintf("bare Qt window %.1f MiB", mb), m / mb, 1.3, "x")
    row("one listing through the batch route, 10,000 files", sprintf("%.1f ms", l),
        sprintf("std::filesystem %.1f ms", lb), l / lb, 1.5, "x")
    row("choosing a mod with 10,000 maps", sprintf("%.1f ms", c1), "-", c1, 25, " ms")
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

#!/usr/bin/env bash
# Saves a screenshot of the main window after start-up on a fresh demo
# installation:
#   scripts/screenshot.sh OUT.png [--points N] [--dark] [ACTION...]
# (see tools/screenshot/screenshot.cpp for the options and actions), or a
# whole set for looking at fonts and palettes, under Xvfb when it is
# installed:
#   scripts/screenshot.sh --set DIR
# which saves each panel at 10, 12 and 14 points, at 150 % and in a dark
# palette. Builds what it needs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
preset=${VORN_PRESET:-default}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target vorn-screenshot vorn-cmd vorn-make-demo -j"$(nproc)" >/dev/null
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
VORN_BIN="$root/build/$preset/bin" "$root/scripts/make-demo.sh" "$prefix" >/dev/null
shot="$root/build/$preset/bin/vorn-screenshot"

if [ "${1:-}" != "--set" ]; then
    out=$(realpath -m "${1:-$root/build/vornwick.png}")
    shift || true
    opts=()
    while [ $# -gt 0 ] && [[ $1 == --* ]]; do
        opts+=("$1")
        [ "$1" = "--points" ] && { opts+=("$2"); shift; }
        shift
    done
    WINEPREFIX=$prefix QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$shot" "${opts[@]}" "$out" "$@"
    echo "saved $out"
    exit 0
fi

dir=$(realpath -m "${2:?usage: screenshot.sh --set DIR}")
mkdir -p "$dir"
# A real X server when there is one to be had; the offscreen platform else.
run() {
    if command -v xvfb-run >/dev/null; then
        WINEPREFIX=$prefix QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1600x1200x24" "$@"
    else
        WINEPREFIX=$prefix QT_QPA_PLATFORM=offscreen "$@"
    fi
}
# Each panel with what it shows in use.
panels=(
    "commandline mod:dod click:optCommandLine pick:cmbMapList1:dod_anzio"
    "servercfg mod:dod show:optServerFile click:optServerFile"
    "maps mod:dod show:optMapFile click:optMapFile item:lstMapList:dod_caen click:chkClassLimit"
    "bots mod:dod show:optBotFile click:optBotFile click:chkSturmbotFillserver text:cmbSturmbotMapList:dod_kalt"
    "error text:txtExec:C:\\wrong\\hl.exe"
)
for panel in "${panels[@]}"; do
    read -r name actions <<<"$panel"
    for look in "10" "12" "14" "12 --dark" "12 150"; do
        read -r points extra <<<"$look"
        file="$dir/$name-${points}pt${extra:+-${extra#--}}.png"
        opts=(--points "$points")
        scale=1
        case "$extra" in
            --dark) opts+=(--dark) ;;
            150) scale=1.5 ;;
        esac
        # shellcheck disable=SC2086
        QT_SCALE_FACTOR=$scale run "$shot" "${opts[@]}" "$file" $actions >/dev/null
        echo "saved $file"
    done
done

#!/usr/bin/env bash
# Saves a screenshot of the main window after start-up on a fresh demo
# installation: scripts/screenshot.sh OUT.png [ACTION...] (see
# scripts/screenshot.cpp for the actions). Builds what it needs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/build/vornwick.png}")
shift || true
preset=${VORN_PRESET:-default}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target vorn-screenshot vorn-cmd vorn-make-demo -j"$(nproc)" >/dev/null
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
VORN_BIN="$root/build/$preset/bin" "$root/scripts/make-demo.sh" "$prefix" >/dev/null
WINEPREFIX=$prefix QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
    "$root/build/$preset/bin/vorn-screenshot" "$out" "$@"
echo "saved $out"

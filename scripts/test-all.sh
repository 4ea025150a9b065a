#!/usr/bin/env bash
# Installs what is missing, builds both presets and runs every test:
# natively (with the window on Qt's offscreen platform) and, for the
# Qt-free code and the Win32 backend, under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

scripts/install-deps.sh

echo "== Linux build (warnings as errors)"
cmake --preset ci >/dev/null
cmake --build --preset ci -j"$jobs"
QT_QPA_PLATFORM=offscreen ctest --preset ci -j"$jobs"

echo "== Windows build (mingw-w64), tests under Wine"
cmake --preset windows-cross >/dev/null
cmake --build --preset windows-cross -j"$jobs"
scripts/wine-run.sh --init
ctest --preset windows-cross

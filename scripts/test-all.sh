#!/usr/bin/env bash
# Installs what is missing, builds both presets and runs every test:
# natively (with the window on Qt's offscreen platform, warnings as errors)
# and, for the Qt-free code and the Win32 backend, under Wine.
# Exits non-zero when anything fails to build or any test fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc 2>/dev/null || echo 2)

scripts/install-deps.sh --test

failed=()

echo "== Linux build (warnings as errors)"
cmake --preset ci >/dev/null
cmake --build --preset ci -j"$jobs"
echo "== Linux tests"
QT_QPA_PLATFORM=offscreen ctest --preset ci -j"$jobs" || failed+=("Linux tests")

echo "== Debian package: build, check, install and smoke-run"
scripts/deb-smoke.sh || failed+=("Debian package")

echo "== Windows build (mingw-w64)"
cmake --preset windows-cross >/dev/null
cmake --build --preset windows-cross -j"$jobs"
echo "== Windows tests under Wine"
# The first test makes the throw-away Wine prefix; the test programs follow.
ctest --preset windows-cross -j"$jobs" || failed+=("Windows tests under Wine")

if [ ${#failed[@]} -ne 0 ]; then
    printf 'FAILED: %s\n' "${failed[@]}" >&2
    exit 1
fi
echo "All builds and tests passed."

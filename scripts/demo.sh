#!/usr/bin/env bash
# Installs what is missing (only what building and running need: the
# compiler, CMake and Qt), builds Vornwick without its tests, makes the
# demo game installation (a Wine-style prefix of our own) and opens
# Vornwick on it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh
cmake --preset default -DBUILD_TESTING=OFF >/dev/null
cmake --build --preset default -j"$(nproc)" --target vornwick vorn-cmd vorn-make-demo

demo=${VORN_DEMO_PREFIX:-$root/build/demo-prefix}
if [ ! -d "$demo/drive_c/Sierra/Half-Life" ]; then
    scripts/make-demo.sh "$demo"
fi
echo "Opening Vornwick on the demo installation in $demo"
WINEPREFIX=$demo exec build/default/bin/vornwick "$@"

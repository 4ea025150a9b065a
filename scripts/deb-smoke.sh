#!/usr/bin/env bash
# Builds Vornwick's .deb, checks it and the files it installs, installs it
# and smoke-runs the installed program:
#   - desktop-file-validate and appstreamcli validate --no-net on the
#     desktop file and the AppStream metainfo;
#   - lintian on the .deb, with no error;
#   - apt-get install ./vornwick_*.deb (which brings the Qt 6 runtime);
#   - /usr/bin/vornwick on Qt's offscreen platform over a fresh demo
#     installation: it must list the demo's mods, through the installed
#     vorn-cmd in /usr/libexec/vornwick.
# Runs as root (or with sudo). Needs scripts/install-deps.sh --test.
# Usage: deb-smoke.sh [BUILD_DIR]   (default build/deb)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/deb}
jobs=$(nproc 2>/dev/null || echo 2)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

echo "== .deb: build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DVORN_BENCH=OFF \
    "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$jobs" >"$build/build.log" 2>&1 || { tail -50 "$build/build.log" >&2; exit 1; }
rm -f "$build"/vornwick_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/vornwick_*.deb)
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"

echo "== .deb: the installed files"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
dpkg-deb -x "$deb" "$stage"
desktop-file-validate "$stage"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$stage"/usr/share/metainfo/*.metainfo.xml
# The desktop file's icon is the window's own, in the hicolor theme, and
# the program names that desktop file (so the desktop shows the icon for
# its window).
desktop=$(ls "$stage"/usr/share/applications/*.desktop)
icon=$(sed -n 's/^Icon=//p' "$desktop")
for size in scalable 16x16 32x32 48x48 64x64 128x128 256x256; do
    ls "$stage/usr/share/icons/hicolor/$size/apps/$icon".* >/dev/null ||
        { echo "no $size icon $icon" >&2; exit 1; }
done
# (Qt keeps the name as UTF-16.)
names=$(strings -e l "$stage/usr/bin/vornwick")
grep -qF "$(basename "$desktop" .desktop)" <<<"$names" ||
    { echo "vornwick does not name $(basename "$desktop")" >&2; exit 1; }

echo "== .deb: lintian"
# Errors fail; warnings are shown.
lintian --fail-on error "$deb"

echo "== .deb: install"
(cd "$build" && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "./$(basename "$deb")" >/dev/null)
[ -x /usr/libexec/vornwick/vorn-cmd ] || { echo "vorn-cmd is not in /usr/libexec/vornwick" >&2; exit 1; }
installed=$(command -v vornwick)
[ "$installed" = /usr/bin/vornwick ] || { echo "vornwick is not installed in /usr/bin" >&2; exit 1; }

echo "== .deb: smoke run on the demo installation"
prefix="$stage/demo-prefix"
VORN_BIN="$build/bin" "$root/scripts/make-demo.sh" "$prefix" >/dev/null
# The window lists the mods at start-up, then waits for the user: ended
# after a few seconds.
code=0
WINEPREFIX=$prefix QT_QPA_PLATFORM=offscreen timeout 10 /usr/bin/vornwick >/dev/null 2>&1 || code=$?
[ "$code" -eq 124 ] || { echo "vornwick ended by itself with $code" >&2; exit 1; }
listing=$(tr -d '\r' <"$prefix/drive_c/vorn.log")
for mod in cstrike dod valve; do
    grep -qx "$mod" <<<"$listing" ||
        { echo "the installed vornwick did not list $mod" >&2; exit 1; }
done
echo "The installed vornwick listed the game directory: $(tr '\n' ' ' <<<"$listing")"

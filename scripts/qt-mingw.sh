#!/usr/bin/env bash
# Puts Qt 6.4.2 for 64-bit Windows (mingw-w64) into a cache folder and prints
# that folder. Debian ships no Qt for mingw, so it comes
#   - from a prebuilt tarball when one is at hand ($VORN_QT_MINGW_TARBALL,
#     else qt-mingw-6.4.2.tar.xz in ../shared/tools beside the project), or
#   - by cross-building Debian's own qt6-base source with
#     scripts/build-qt-mingw.sh (about 15-20 minutes on 2 cores).
# A finished cache is used as it is.
#
# usage: qt-mingw.sh            (prints the Qt prefix on standard output)
# environment: VORN_QT_MINGW_DIR   the cache folder
#              (default ~/.cache/vornwick/qt-mingw-6.4.2)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dest=${VORN_QT_MINGW_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/vornwick/qt-mingw-6.4.2}
sha=20a6d5ad61331e63e9e0436b42c7a89d9b8cc2334585da0b242837aa86d3d2f8

if [ -f "$dest/lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake" ] && [ -f "$dest/.qt-mingw-build-stamp" ]; then
    echo "$dest"
    exit 0
fi

tarball=${VORN_QT_MINGW_TARBALL:-$root/../shared/tools/qt-mingw-6.4.2.tar.xz}
if [ -f "$tarball" ] && echo "$sha  $tarball" | sha256sum -c --status; then
    echo "Unpacking Qt for mingw from $tarball" >&2
    rm -rf "$dest.part"
    mkdir -p "$dest.part"
    tar -xJf "$tarball" -C "$dest.part"
    rm -rf "$dest"
    mv "$dest.part" "$dest"
    echo "$dest"
    exit 0
fi
[ -f "$tarball" ] && echo "qt-mingw.sh: $tarball has the wrong checksum; building instead" >&2

echo "Building Qt for mingw from Debian's qt6-base source (this takes a while)" >&2
missing=()
for p in qt6-base-dev qt6-base-dev-tools ninja-build perl dpkg-dev g++-mingw-w64-x86-64-posix; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ -n "${missing[*]:-}" ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >&2
fi
QT_MINGW_NICE=${QT_MINGW_NICE:-5} "$root/scripts/build-qt-mingw.sh" "$dest" >&2
echo "$dest"

#!/usr/bin/env bash
# Puts the GoldSrc-protocol test server (a dedicated-server build of an
# open-source engine for 64-bit Linux, the Half-Life game library and a small
# box map) into a cache folder and prints that folder. It comes from
# goldsrc-test-server.tar.xz in ../shared/tools beside the project
# ($VORN_GOLDSRC_TARBALL elsewhere) and is used only after its sha256 is
# checked. A finished cache is used as it is. Its README.md says how to run
# the engine and what a mod folder needs.
#
# usage: goldsrc-server.sh      (prints the folder on standard output;
#                                exits non-zero, saying why, when the
#                                tarball is missing or damaged)
# environment: VORN_GOLDSRC_DIR      the cache folder
#              (default ~/.cache/vornwick/goldsrc-test-server)
#              VORN_GOLDSRC_TARBALL  the tarball
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dest=${VORN_GOLDSRC_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/vornwick/goldsrc-test-server}
sha=44c1b4f2aefe92f542495bde20309cfe74ae1d69359bad3cee18e091270b73af
stamp="$dest/.goldsrc-$sha"

if [ -x "$dest/bin/xash" ] && [ -f "$stamp" ]; then
    echo "$dest"
    exit 0
fi

tarball=${VORN_GOLDSRC_TARBALL:-$root/../shared/tools/goldsrc-test-server.tar.xz}
if [ ! -f "$tarball" ]; then
    echo "goldsrc-server.sh: there is no $tarball, so the tests cannot run a real game server" >&2
    exit 1
fi
if ! echo "$sha  $tarball" | sha256sum -c --status; then
    echo "goldsrc-server.sh: $tarball has the wrong checksum (want sha256 $sha)" >&2
    exit 1
fi

echo "Unpacking the GoldSrc test server from $tarball" >&2
part="$dest.part"
rm -rf "$part"
mkdir -p "$part"
tar -xJf "$tarball" -C "$part"
# The tarball holds one folder, goldsrc-test-server/.
inner="$part/goldsrc-test-server"
if [ ! -x "$inner/bin/xash" ]; then
    echo "goldsrc-server.sh: $tarball holds no goldsrc-test-server/bin/xash" >&2
    rm -rf "$part"
    exit 1
fi
touch "$inner/.goldsrc-$sha"
rm -rf "$dest"
mv "$inner" "$dest"
rm -rf "$part"
echo "$dest"

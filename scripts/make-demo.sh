#!/usr/bin/env bash
# Makes a demo game installation in a Wine-style prefix:
#   <prefix>/drive_c/Sierra/Half-Life/ with hl.exe, hlds.exe and ripent.exe
#   stand-ins, the mods valve, cstrike and dod, a logs directory, and the
#   bot add-on under dod/sturmbot (tools/demo/demoinstall.cpp says what is
#   in it). The stand-ins are small programs built with Vornwick
#   (tools/standins): the server stand-ins append the command line they were
#   started with to "server-standin.log" beside them; the entity-tool
#   stand-in, given "-export <path>.bsp", writes <path>.ent. Here the server
#   stand-ins then keep running until they are stopped.
#
# Usage: make-demo.sh PREFIX
# The programs are taken from $VORN_BIN (default build/default/bin), where
# vorn-make-demo and the stand-ins must be built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=${1:?usage: make-demo.sh PREFIX}
bin=${VORN_BIN:-$root/build/default/bin}
[ -x "$bin/vorn-make-demo" ] || { echo "make-demo.sh: $bin/vorn-make-demo is not built" >&2; exit 1; }
mkdir -p "$prefix/drive_c" "$prefix/dosdevices"
prefix=$(cd "$prefix" && pwd)
ln -sfn ../drive_c "$prefix/dosdevices/c:"
"$bin/vorn-make-demo" "$prefix/drive_c/Sierra/Half-Life" "$bin" >/dev/null
# In the demo the server stand-ins keep running, as a game server does,
# until they are stopped from the server window.
: >"$prefix/drive_c/Sierra/Half-Life/server-standin.stay"
echo "demo installation in $prefix"

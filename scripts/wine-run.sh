#!/usr/bin/env bash
# Runs a Windows test program under Wine in a throw-away prefix.
#   wine-run.sh --init     make the prefix afresh (the first start is slow)
#   wine-run.sh PROGRAM... run a program in it
#   wine-run.sh --done     stop the prefix's wineserver
#   wine-run.sh --loader   print the Wine loader it runs programs with
# The prefix is $VORN_TEST_WINEPREFIX, else a per-user one below $TMPDIR.
# Wine runs headless here: no X display is needed for console programs, and
# the window tests use Qt's offscreen platform. Wine hands a variable QT_X to
# Windows programs only when it is passed as WINEQT_X.
set -euo pipefail
export WINEPREFIX=${VORN_TEST_WINEPREFIX:-${TMPDIR:-/tmp}/vornwick-test-wine-$(id -u)}
export WINEDEBUG=-all
# No Mono or Gecko installer, and no debugger: a program that crashes under
# Wine would otherwise start winedbg and end with status 0, and a crashed
# test would count as passed.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
# Never let Wine open windows or ask questions.
unset DISPLAY WAYLAND_DISPLAY

# Our Windows build is 64-bit, so it runs with Wine's 64-bit loader: `wine64`
# on the PATH, or Debian's /usr/lib/wine/wine64. Debian's `wine` takes the
# 32-bit loader whenever it is installed, even for a 64-bit program, and on a
# machine whose kernel cannot run 32-bit programs every start through it
# fails with "Exec format error". Wine starts what a program starts with
# the loader in WINELOADER.
loader=$(command -v wine64 2>/dev/null || true)
[ -n "$loader" ] || { [ -x /usr/lib/wine/wine64 ] && loader=/usr/lib/wine/wine64; } ||
    loader=$(command -v wine 2>/dev/null || true)
if [ -z "$loader" ]; then
    echo "wine-run.sh: wine is not installed (scripts/install-deps.sh installs it)" >&2
    exit 1
fi
export WINELOADER=$loader
if [ "${1:-}" = "--loader" ]; then
    echo "$loader"
    exit 0
fi

if [ "${1:-}" = "--init" ]; then
    # Stop a server still holding an old prefix, then start from nothing.
    if [ -d "$WINEPREFIX" ]; then
        wineserver -k >/dev/null 2>&1 || true
        rm -rf "$WINEPREFIX"
    fi
    mkdir -p "$(dirname "$WINEPREFIX")"
    if ! "$loader" cmd /c exit >/dev/null 2>&1; then
        echo "wine-run.sh: Wine could not set up the prefix $WINEPREFIX" >&2
        exit 1
    fi
    # Let the first test start without waiting for the registry to settle.
    wineserver -w >/dev/null 2>&1 || true
    echo "Wine prefix ready: $WINEPREFIX"
    exit 0
fi
if [ "${1:-}" = "--done" ]; then
    wineserver -k >/dev/null 2>&1 || true
    exit 0
fi

# One wineserver and one set of Wine services for the whole run, started
# here with their output away from ours: started by the test's own loader,
# they would inherit the test's output and keep CTest waiting for it long
# after the test has ended.
if ! wineserver -p >/dev/null 2>&1 </dev/null; then :; fi
"$loader" cmd /c exit >/dev/null 2>&1 </dev/null || true

# The program's output goes into a file of ours and is passed on once the
# program has ended, never straight into the caller's pipe: the wineserver
# can keep a copy of a program's standard handles after the program has
# ended, and a caller that reads the pipe to its end (CTest) would then wait
# for ever.
out=$(mktemp)
"$loader" "$@" >"$out" 2>&1 </dev/null &
pid=$!
trap 'kill "$pid" 2>/dev/null; cat "$out"; rm -f "$out"; exit 143' TERM INT
status=0
wait "$pid" || status=$?
cat "$out"
rm -f "$out"
exit "$status"

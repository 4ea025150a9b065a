#!/usr/bin/env bash
# Runs a Windows test program under Wine in a throw-away prefix.
#   wine-run.sh --init     prepare the prefix once (first start is slow)
#   wine-run.sh PROGRAM... run a program
set -euo pipefail
export WINEPREFIX=${VORN_TEST_WINEPREFIX:-${TMPDIR:-/tmp}/vornwick-test-wine-$(id -u)}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ "${1:-}" = "--init" ]; then
    wine cmd /c exit >/dev/null 2>&1 || true
    exit 0
fi
exec wine "$@"

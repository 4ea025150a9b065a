#!/usr/bin/env bash
# Installs what is missing, checks that the C++ code is clang-formatted
# (scripts/check-format.sh), then builds and tests every way Vornwick ships:
#   1. Linux (warnings as errors), with the window on Qt's offscreen platform
#      and the road over a real game server (scripts/goldsrc-server.sh; it
#      skips, saying why, where the engine is missing), then its Debian
#      package, built, checked, installed and started;
#   2. Linux again under AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. Windows (mingw-w64, against Qt for mingw from scripts/qt-mingw.sh):
#      every test program under Wine with the real cmd.exe, the zip users
#      download, and a smoke run of the unpacked zip on a virtual screen.
# Each preset is built once; compiled objects are kept by ccache outside the
# clone. The last line says what passed on each. Exits non-zero when
# anything fails to build or any test fails.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc 2>/dev/null || echo 2)

scripts/install-deps.sh --test || exit 1
# Unformatted code fails at once, before anything is built.
scripts/check-format.sh || exit 1
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

failed=()
summary=()
step() { echo; echo "== $*"; }

# How many test cases a ctest run passed and failed, from its log.
cases() {
    local log=$1/Testing/Temporary/LastTest.log
    local ok bad
    ok=$(grep -c '^\[       OK \]' "$log" 2>/dev/null)
    bad=$(grep -c '^\[  FAILED  \] .*([0-9]* ms)$' "$log" 2>/dev/null)
    echo "${ok:-0} passed, ${bad:-0} failed"
}

run_preset() {
    local preset=$1 label=$2
    shift 2
    step "$label: build"
    if ! { cmake --preset "$preset" "${launcher[@]}" "$@" >/dev/null &&
           cmake --build --preset "$preset" -j"$jobs"; }; then
        failed+=("$label build")
        summary+=("$label: build failed")
        return 1
    fi
    step "$label: tests"
    local out
    out=$(mktemp)
    QT_QPA_PLATFORM=offscreen ctest --preset "$preset" -j"$jobs" 2>&1 | tee "$out"
    local status=${PIPESTATUS[0]}
    local line
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of' "$out" | tail -1)
    rm -f "$out"
    [ "$status" -eq 0 ] || failed+=("$label tests")
    summary+=("$label: ${line:-no test summary}")
    return "$status"
}

# The real game server for the Linux runs; the tests find it through
# VORN_GOLDSRC_SERVER and skip the road over it without one.
step "The GoldSrc test server"
if goldsrc=$(scripts/goldsrc-server.sh); then
    export VORN_GOLDSRC_SERVER=$goldsrc
    summary+=("GoldSrc test server: $goldsrc")
else
    summary+=("GoldSrc test server: missing, so the realserver road skips")
fi

run_preset ci "Linux"

# Whether the road with the game's 32-bit programs ran on this machine, and
# if not, why: a green run then shows what it covered.
thirty_two_bit() {
    local log=build/ci/Testing/Temporary/LastTest.log reason
    if grep -q '^\[       OK \] WineRoadTest\.' "$log" 2>/dev/null; then
        echo "32-bit Windows programs: ran (the road with the 32-bit stand-ins under Wine passed)"
    elif grep -q '^\[  SKIPPED \] WineRoadTest\.' "$log" 2>/dev/null; then
        reason=$(awk '/test_road_wine\.cpp:[0-9]+: Skipped$/ { getline; print; exit }' "$log")
        echo "32-bit Windows programs: not run, skipped: ${reason:-no reason given}"
    else
        echo "32-bit Windows programs: not run (the road under Wine did not run)"
    fi
}

step "Debian package: build, check, install and smoke-run"
if scripts/deb-smoke.sh; then
    summary+=("Debian package: $(cd build/deb && ls vornwick_*.deb) built, installed, smoke run passed")
else
    failed+=("Debian package")
    summary+=("Debian package: failed")
fi

run_preset sanitize "Linux sanitizers"

# The engine is a Linux program: the Windows tests keep their stand-ins.
unset VORN_GOLDSRC_SERVER
step "Windows: Qt for mingw"
if qt=$(scripts/qt-mingw.sh); then
    if run_preset windows "Windows under Wine" "-DCMAKE_PREFIX_PATH=$qt"; then
        summary[-1]+=" ($(cases build/windows) cases)"
    fi
    step "Windows: the zip and its smoke run"
    if [ -x build/windows/bin/vornwick.exe ] &&
        (cd build/windows && cpack >/dev/null) &&
        zip=$(ls build/windows/Vornwick-*-win64.zip) &&
        scripts/windows-smoke.sh "$zip" build/windows/smoke.png; then
        summary+=("Windows zip: $(basename "$zip") ($(du -k "$zip" | cut -f1) KiB), smoke run passed")
    else
        failed+=("Windows zip or smoke run")
        summary+=("Windows zip: failed")
    fi
else
    failed+=("Qt for mingw")
    summary+=("Windows: no Qt for mingw")
fi

summary+=("$(thirty_two_bit)")
echo
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -ne 0 ]; then
    printf 'FAILED: %s\n' "${failed[@]}" >&2
    exit 1
fi
echo "All builds and tests passed."

#!/usr/bin/env bash
# Smoke run of the Windows program: unpacks the zip users download into a
# Wine prefix, writes the demo installation into its C:\Sierra\Half-Life,
# starts vornwick.exe on a virtual X display, and checks that the mods were
# listed through the real cmd.exe. Saves a screenshot of the screen.
#
# usage: windows-smoke.sh ZIP OUT.png
# environment: VORN_TEST_WINEPREFIX  the prefix (made when missing)
#              VORN_BIN              where vorn-make-demo.exe and the
#                                    stand-ins are (build/windows/bin)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
zip=$(realpath "${1:?usage: windows-smoke.sh ZIP OUT.png}")
out=$(realpath -m "${2:?usage: windows-smoke.sh ZIP OUT.png}")
bin=${VORN_BIN:-$root/build/windows/bin}
export VORN_TEST_WINEPREFIX=${VORN_TEST_WINEPREFIX:-$root/build/windows/smoke-prefix}
export WINEPREFIX=$VORN_TEST_WINEPREFIX
[ -d "$WINEPREFIX/drive_c" ] || "$root/scripts/wine-run.sh" --init >/dev/null
drive_c=$WINEPREFIX/drive_c

# The program as users unpack it, and a fresh demo with no working files.
if [ "${VORN_SMOKE_UNDER_X:-}" != yes ]; then
    rm -rf "$drive_c/Vornwick" "$drive_c/Sierra" "$drive_c"/vorn.bat "$drive_c"/vorn.log \
        "$drive_c"/vorn_master.log
    mkdir -p "$drive_c/Vornwick"
    unzip -q "$zip" -d "$drive_c/Vornwick"
    "$root/scripts/wine-run.sh" "$bin/vorn-make-demo.exe" 'C:\Sierra\Half-Life' >/dev/null
    # The program starts Wine afresh on the virtual screen: a Wine server
    # left running without a display would show its windows nowhere.
    "$root/scripts/wine-run.sh" --done
fi
app=$(ls -d "$drive_c"/Vornwick/*/)

# The real program on a virtual screen; then a look at it.
if [ "${VORN_SMOKE_UNDER_X:-}" != yes ]; then
    if ! VORN_SMOKE_UNDER_X=yes xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$zip" "$out"; then
        echo "windows-smoke: vornwick.exe listed no mods (C:\\vorn.log: $(cat "$drive_c/vorn.log" 2>/dev/null))" >&2
        exit 1
    fi
else
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
    # The 64-bit program with Wine's 64-bit loader, as the tests run it.
    WINELOADER=$("$root/scripts/wine-run.sh" --loader)
    export WINELOADER
    "$WINELOADER" "${app}vornwick.exe" &
    pid=$!
    listed=""
    for _ in $(seq 1 120); do
        if { tr -d '\r' <"$drive_c/vorn.log"; } 2>/dev/null | grep -qx 'dod'; then listed=yes; break; fi
        sleep 0.5
    done
    # Once the window is up, open the mod list from the keyboard (Tab to it,
    # Alt+Down), so that the screenshot shows the mods.
    if command -v xdotool >/dev/null &&
        timeout 30 xdotool search --sync --onlyvisible --name '^Vornwick$' >/dev/null; then
        sleep 2
        xdotool key Tab && sleep 0.5 && xdotool key alt+Down && sleep 1 || true
    else
        sleep 5
    fi
    import -window root "$out"
    wineserver -k >/dev/null 2>&1 || true
    wait "$pid" 2>/dev/null || true
    [ -n "$listed" ]
    exit
fi
batch=$(tr -d '\r' <"$drive_c/vorn.bat")
echo "vorn.bat: $batch"
echo "vorn.log: $(tr -d '\r' <"$drive_c/vorn.log" | tr '\n' ' ')"
case $batch in
    *'dir "C:\Sierra\Half-Life\" /ad /b'*) ;;
    *) echo "windows-smoke: unexpected batch line" >&2; exit 1 ;;
esac
echo "windows-smoke: the mods were listed through cmd.exe; screenshot in $out"

#!/usr/bin/env bash
# Makes a demo game installation in a Wine-style prefix:
#   <prefix>/drive_c/Sierra/Half-Life/ with hl.exe, hlds.exe and ripent.exe
#   stand-ins, the mods valve, cstrike and dod, a logs directory, and the
#   bot add-on under dod/sturmbot.
# The stand-ins are small native scripts. The server stand-ins append the
# command line they were started with to "server-standin.log" beside them;
# with "server-standin.stay" beside them they then print a few lines like a
# game server and keep running until they are stopped.
# The entity-tool stand-in, given "-export <path>.bsp", writes <path>.ent
# with "detect_allies_country" "1" for maps marked British, "0" otherwise.
#
# Usage: make-demo.sh PREFIX
set -euo pipefail

prefix=${1:?usage: make-demo.sh PREFIX}
mkdir -p "$prefix/drive_c" "$prefix/dosdevices"
prefix=$(cd "$prefix" && pwd)
ln -sfn ../drive_c "$prefix/dosdevices/c:"
game="$prefix/drive_c/Sierra/Half-Life"
mkdir -p "$game"

# Turning a Windows path handed to a stand-in into a path on this machine:
# the drive letter through dosdevices, backslashes to slashes.
read -r -d '' maphelper <<'SH' || true
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(cd "$here/../../.." && pwd)
hostpath() {
    local p=$1 drive rest
    drive=$(printf '%s' "${p:0:1}" | tr 'A-Z' 'a-z')
    rest=${p:2}
    rest=${rest//\\//}
    printf '%s/dosdevices/%s:%s' "$prefix" "$drive" "$rest"
}
SH

for exe in hl.exe hlds.exe; do
    cat > "$game/$exe" <<SH
#!/usr/bin/env bash
# Stand-in for the game server: notes how it was started, then ends.
here=\$(cd "\$(dirname "\$0")" && pwd)
printf '%s\r\n' "$exe \$*" >> "\$here/server-standin.log"
echo "$exe stand-in started"
# With server-standin.stay beside it (or VORN_DEMO_SERVER_STAY set) it talks
# a little like a game server and keeps running until it is stopped.
if [ -e "\$here/server-standin.stay" ] || [ -n "\${VORN_DEMO_SERVER_STAY:-}" ]; then
    port=27015; map=none
    while [ \$# -gt 0 ]; do
        case \$1 in +port) port=\${2:-}; shift ;; +map) map=\${2:-}; shift ;; esac
        shift
    done
    printf 'Console initialized.\r\nProtocol version 47\r\n'
    printf 'Server IP address 127.0.0.1:%s\r\n' "\$port"
    printf 'Loading map "%s"\r\nVAC secure mode is activated.\r\n' "\$map"
    while :; do sleep 1; done
fi
SH
    chmod +x "$game/$exe"
done

cat > "$game/ripent.exe" <<SH
#!/usr/bin/env bash
# Stand-in for the entity tool: ripent.exe -export <map>.bsp
$maphelper
[ "\${1:-}" = "-export" ] || { echo "usage: ripent.exe -export <map.bsp>" >&2; exit 1; }
bsp=\$(hostpath "\$2")
[ -f "\$bsp" ] || { echo "ripent: \$2 not found" >&2; exit 1; }
if [ -n "\${VORN_DEMO_RIPENT_DELAY:-}" ]; then sleep "\$VORN_DEMO_RIPENT_DELAY"; fi
country=0
grep -q 'allies_country=1' "\$bsp" && country=1
ent=\${bsp%.*}.ent
tmp=\$ent.part
{
    printf '{\r\n"classname" "worldspawn"\r\n}\r\n{\r\n"classname" "info_doddetect"\r\n'
    printf '"detect_allies_country" "%s"\r\n}\r\n' "\$country"
} > "\$tmp"
mv "\$tmp" "\$ent"
echo "ripent: exported \$2"
SH
chmod +x "$game/ripent.exe"

mod() { mkdir -p "$game/$1/maps"; printf 'game "%s"\r\n' "$2" > "$game/$1/liblist.gam"; }
map() { printf 'BSP demo map %s\nallies_country=%s\n' "$2" "${3:-0}" > "$game/$1/maps/$2.bsp"; }

mod valve "Half-Life"
for m in crossfire datacore bounce stalkyard snark_pit boot_camp gasworks lambda_bunker; do
    map valve "$m"
done
mod cstrike "Counter-Strike"
for m in de_dust de_dust2 cs_office cs_italy de_aztec de_nuke; do map cstrike "$m"; done
mod dod "Day of Defeat"
us=(dod_anzio dod_avalanche dod_chemille dod_donner dod_falaise dod_flash dod_forest
    dod_jagd dod_kalt dod_merderet dod_northbound dod_saints dod_sturm dod_vicenza
    dod_zafod dod_cherbourg)
british=(dod_caen dod_charlie dod_glider dod_kraftstoff dod_escape dod_railroad
         dod_solitude dod_switch dod_heutau)
for m in "${us[@]}"; do map dod "$m" 0; done
for m in "${british[@]}"; do map dod "$m" 1; done
mkdir -p "$game/logs"

bot="$game/dod/sturmbot"
mkdir -p "$bot/dlls" "$bot/waypoints"
printf 'MZ demo add-on\n' > "$bot/dlls/STURM_bot.dll"
printf 'Sturmbot history\r\n----------------\r\n1.6\r\n\r\n- demo release\r\n' > "$bot/History.txt"
# Waypoints for about half of the maps, British and U.S. alike.
for m in dod_anzio dod_avalanche dod_donner dod_flash dod_jagd dod_kalt dod_saints \
         dod_caen dod_charlie dod_glider dod_escape dod_switch; do
    printf 'demo waypoints\n' > "$bot/waypoints/$m.wpt"
done
echo "demo installation in $prefix"

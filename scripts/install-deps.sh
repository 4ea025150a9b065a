#!/usr/bin/env bash
# Installs the Debian packages Vornwick needs, when any is missing. Uses sudo
# when not run as root.
#   install-deps.sh          build and run (what the demo needs): the
#                            compiler, CMake and Qt
#   install-deps.sh --test   also what the tests need: GoogleTest, Google
#                            Benchmark, mingw-w64 (64- and 32-bit), Wine with
#                            32-bit Wine, Xvfb, clang-format 14 (Debian 12's,
#                            which scripts/check-format.sh runs), ccache, the
#                            fonts and tools of the Windows smoke run, and the
#                            checkers and makers of the installed files and
#                            the .deb
# The real game's programs are 32-bit Windows programs: wine32 comes from
# Debian's i386 architecture, which is added when missing. Without --test it
# is added only where Wine itself is installed.
set -euo pipefail

packages=(cmake g++ make qt6-base-dev)
test_packages=(libgtest-dev googletest libbenchmark-dev ccache qt6-base-dev-tools
               g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64
               xvfb xauth xdotool imagemagick unzip fonts-dejavu-core
               clang-format clang-format-14
               desktop-file-utils appstream lintian dpkg-dev file)
with_wine32=false
case "${1:-}" in
    --test) packages+=("${test_packages[@]}"); with_wine32=true ;;
    "") dpkg-query -W -f='${Status}' wine 2>/dev/null | grep -q "install ok installed" &&
            with_wine32=true ;;
    *) echo "usage: install-deps.sh [--test]" >&2; exit 2 ;;
esac

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
if $with_wine32 && ! installed wine32:i386; then
    missing+=(wine32:i386)
fi
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [[ " ${missing[*]} " == *" wine32:i386 "* ]] &&
    ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "Adding the i386 architecture for 32-bit Wine"
    $sudo dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"

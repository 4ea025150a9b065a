#!/usr/bin/env bash
# Installs the Debian packages Vornwick needs to build, run and test,
# when any is missing. Uses sudo when not run as root.
set -euo pipefail

packages=(cmake g++ make ccache qt6-base-dev qt6-base-dev-tools libgtest-dev googletest
          libbenchmark-dev g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth xdotool
          imagemagick unzip fonts-dejavu-core clang-format)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"

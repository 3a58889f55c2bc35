#!/usr/bin/env bash
# Installs what building, running and testing need, from Debian's packages, if anything is missing.
set -euo pipefail
packages=(
  cmake ninja-build g++ python3 googletest libgtest-dev
  mingw-w64 wine wine64 xvfb xdotool imagemagick x11-utils
  fonts-liberation fonts-wine fonts-crosextra-carlito fonts-wqy-zenhei fonts-ipafont-gothic fonts-dejavu-core
  clang libclang-rt-14-dev libstb-dev libpugixml-dev
  nsis unzip
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

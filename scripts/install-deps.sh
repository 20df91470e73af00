#!/usr/bin/env bash
# Installs every Debian package Vireta needs to build, run and test, skipping what is there.
set -euo pipefail

packages=(
  cmake g++ ninja-build pkg-config clang-format
  libode-dev libpugixml-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev libtinyobjloader-dev
  qt6-base-dev libqt6opengl6-dev qt6-base-dev-tools qt6-translations-l10n libqt6svg6 qt6-charts-dev
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri mesa-utils
  libudev-dev libx11-dev libxtst-dev libxrandr-dev
  xvfb xauth desktop-file-utils
  dpkg-dev file lintian librsvg2-bin
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

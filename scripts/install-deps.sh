#!/usr/bin/env bash
# Installs every Debian package Vireta needs to build, run and test, skipping what is there, and the
# Brazilian Portuguese UTF-8 locale the number-reading tests switch to.
set -euo pipefail

packages=(
  cmake g++ ninja-build pkg-config clang-format
  libode-dev libpugixml-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev libtinyobjloader-dev
  qt6-base-dev libqt6opengl6-dev qt6-base-dev-tools qt6-translations-l10n libqt6svg6 qt6-charts-dev
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri mesa-utils
  libudev-dev libx11-dev libxtst-dev libxrandr-dev
  libxwiimote-dev libevdev-dev libumockdev-dev umockdev
  xvfb xauth desktop-file-utils
  dpkg-dev file lintian librsvg2-bin appstream ccache
  shared-mime-info libglib2.0-bin xdg-utils libfile-mimeinfo-perl
  clang libclang-rt-dev locales
  udev umockdev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A comma-decimal locale, so that reading numbers is tested where the C library's own reading would differ.
if ! locale -a 2>/dev/null | grep -qix 'pt_BR\.utf-\?8'; then
  echo "Generating the pt_BR.UTF-8 locale"
  if grep -q 'pt_BR.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    "${sudo_cmd[@]}" sed -i 's/^# *pt_BR.UTF-8 UTF-8/pt_BR.UTF-8 UTF-8/' /etc/locale.gen
  else
    echo 'pt_BR.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi

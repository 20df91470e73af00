#!/usr/bin/env bash
# Builds the release for the prefix /usr with Debian's hardening flags and makes the package
# build/package/vireta_<version>_<arch>.deb. Installs nothing on this machine. Arguments go to CMake's
# configure step (a compiler launcher, say).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

build=build/package
flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DVIRETA_WERROR=ON -DVIRETA_TESTS=OFF -DVIRETA_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" \
  "$@"
cmake --build "$build"
rm -f "$build"/vireta_*.deb
(cd "$build" && cpack -G DEB)
ls "$build"/vireta_*.deb

#!/usr/bin/env bash
# Builds the release for the prefix /usr with Debian's hardening flags and makes the package
# build/package/vireta_<version>_<arch>.deb (another folder with VIRETA_PACKAGE_BUILD). Installs nothing on this machine. Arguments go to CMake's
# configure step (a compiler launcher, say).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

build=${VIRETA_PACKAGE_BUILD:-build/package}
# Every date in the package is the changelog's, so that two builds of one commit give the same package.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l packaging/changelog -S Timestamp)
export SOURCE_DATE_EPOCH QT_RCC_SOURCE_DATE_OVERRIDE=$SOURCE_DATE_EPOCH
flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
# With ccache a second build of the same sources (the reproducibility check's) takes seconds; the paths
# are taken relative to the sources, so another build folder still finds the first one's objects.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-true}
fi
# No debug information: the package ships stripped programs and no debug package, and the build folder's
# path, which the debug information names, would still reach the programs through their build id.
cmake -S . -B "$build" -G Ninja "${launcher[@]}" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DVIRETA_WERROR=ON -DVIRETA_TESTS=OFF -DVIRETA_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS) -g0" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" \
  "$@"
cmake --build "$build"
rm -f "$build"/vireta_*.deb
(cd "$build" && cpack -G DEB)
ls "$build"/vireta_*.deb

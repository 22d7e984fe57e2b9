#!/usr/bin/env bash
# Builds the Debian package of the game: a Release build of the game alone,
# compiled and linked with the hardening flags Debian uses (from
# dpkg-buildflags), saved games in each user's data folder, installed under
# /usr and packed by CPack (stripped, dependencies from dpkg-shlibdeps).
# Usage: build-deb.sh WORK_DIR [OUT_DIR]
#   WORK_DIR  build folder for this configuration (made if missing)
#   OUT_DIR   where the .deb goes (default: WORK_DIR)
# Needs cmake, ninja-build, g++, qt6-base-dev, pkgconf, libxcb1-dev, dpkg-dev. Needs no root and
# writes nothing outside WORK_DIR and OUT_DIR.
set -euo pipefail
source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
work="$(realpath -m "${1:?usage: build-deb.sh WORK_DIR [OUT_DIR]}")"
out="$(realpath -m "${2:-$work}")"
mkdir -p "$work" "$out"

# The flags Debian's own packages are built with, all hardening features on.
# CMake has no CPPFLAGS, so the preprocessor flags (_FORTIFY_SOURCE) go with
# the compiler's. Paths in the binary are made relative to the sources.
cd "$source_dir"
export DEB_BUILD_MAINT_OPTIONS="hardening=+all"
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS

# A configuration left with other flags would not pick up the new ones.
rm -f "$work/CMakeCache.txt"
cmake -S "$source_dir" -B "$work" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
    -DQUORVALE_SYSTEM_WIDE=ON \
    -DQUORVALE_DEBIAN_PACKAGE=ON \
    -DQUORVALE_BUILD_TESTS=OFF \
    -DQUORVALE_BUILD_BENCH=OFF
# Only the game: the tools and tests are not part of the package.
cmake --build "$work" --target quorvale
cd "$work"
cpack -G DEB -B "$out"

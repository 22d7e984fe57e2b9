# shellcheck shell=bash
# Shared by play.sh and test.sh: install what is missing, configure, build.
# BUILD_DIR and TEST_PACKAGES are for the scripts that source this file.
# shellcheck disable=SC2034
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# The build folder of the default and play presets.
BUILD_DIR="$ROOT/build"
# What building and running the game needs (libgl-dev for Qt's CMake package;
# pkgconf and libxcb1-dev for the game's own talk with X11 window managers).
GAME_PACKAGES=(cmake ninja-build g++ qt6-base-dev libgl-dev pkgconf libxcb1-dev)
# What the test suite needs on top: GoogleTest; the tools that build the
# Debian package and check it (debhelper, lintian, autopkgtest, faketime for
# the clock of the second build), the desktop metadata and the manual pages;
# strace, which makes real system calls of a second game fail or wait; and
# fuse2fs, a second file system (FUSE) for the save tests; shellcheck for
# the project's own shell scripts; git, whose list of the tree's files the
# package test packs.
TEST_PACKAGES=(libgtest-dev libgmock-dev
               dpkg-dev debhelper lintian autopkgtest faketime desktop-file-utils appstream man-db groff-base
               strace fuse2fs shellcheck git)

# install_missing [--no-install-recommends] [PACKAGE...]: the game's packages
# and the ones given; with the option, the given ones without what they only
# recommend (KWin recommends the whole Plasma desktop).
install_missing() {
    local options=()
    [ "${1:-}" = --no-install-recommends ] && { options=("$1"); shift; }
    local missing=()
    for p in "${GAME_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo apt-get update -q
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${options[@]}" "${missing[@]}"
    fi
}

# build PRESET: configures and builds with the CMake preset of that name
# (CMakePresets.json holds the options and the build folder of each). Called
# in a condition, where set -e is off: a failed configuration returns at once
# instead of building stale files.
build() {
    (cd "$ROOT" && cmake --preset "$1" && cmake --build --preset "$1" -j "$(nproc)")
}

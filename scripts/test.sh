#!/usr/bin/env bash
# Installs what is missing, builds Quorvale with its tests and runs the whole
# suite without a display; then builds it again under AddressSanitizer and
# UndefinedBehaviorSanitizer (into build-asan/) and runs the suite once more.
# QUORVALE_SKIP_SANITIZED=1 skips the sanitized pass. A failing build or test
# does not stop the run: both passes always run, and the script ends with the
# list of what failed and a non-zero status.
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
# The window tests on a real desktop need an X server, the window managers
# they run under and X tools, libSM for their session manager, a Wayland
# compositor with XWayland and Qt's Wayland plugin; the logout inhibitor's
# test a session bus (and its monitor) with the desktop portal.
install_missing "${TEST_PACKAGES[@]}" xvfb openbox icewm fluxbox x11-utils xdotool wmctrl libsm-dev \
    weston xwayland qt6-wayland dbus-daemon dbus-bin xdg-desktop-portal xdg-desktop-portal-gtk
# KWin and its usual frame (Breeze), without the Plasma desktop it recommends.
install_missing --no-install-recommends kwin-x11 kwin-style-breeze
failed=()
# Each pass is a CMake preset: its build options, its build folder and the
# environment its tests run in (the sanitizers' options among them).
if build default; then
    (cd "$ROOT" && ctest --preset default -j "$(nproc)") || failed+=("the tests of the normal pass")
else
    failed+=("the normal build")
fi

if [ "${QUORVALE_SKIP_SANITIZED:-0}" != 1 ]; then
    echo "== The suite again under AddressSanitizer + UndefinedBehaviorSanitizer =="
    if build asan; then
        (cd "$ROOT" && ctest --preset asan -j "$(nproc)") || failed+=("the tests of the sanitized pass")
    else
        failed+=("the sanitized build")
    fi
fi
if [ ${#failed[@]} -gt 0 ]; then
    printf 'test.sh: FAILED: %s\n' "${failed[@]}" >&2
    exit 1
fi

#!/usr/bin/env bash
# Installs what is missing, builds Quorvale with its tests and runs the whole
# suite without a display; then builds it again under AddressSanitizer and
# UndefinedBehaviorSanitizer (into build-asan/) and runs the suite once more.
# QUORVALE_SKIP_SANITIZED=1 skips the sanitized pass. A failing build or test
# does not stop the run: both passes always run, and the script ends with the
# list of what failed and a non-zero status.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
# The window tests on a real desktop need an X server, two window managers and
# X tools, a Wayland compositor with XWayland and Qt's Wayland plugin; the
# logout inhibitor's test a session bus with the desktop portal.
install_missing "${TEST_PACKAGES[@]}" xvfb openbox icewm x11-utils xdotool wmctrl \
    weston xwayland qt6-wayland dbus-daemon xdg-desktop-portal xdg-desktop-portal-gtk
failed=()
if build -DQUORVALE_BUILD_TESTS=ON -DQUORVALE_BUILD_BENCH=ON; then
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" ||
        failed+=("the tests of the normal pass")
else
    failed+=("the normal build")
fi

if [ "${QUORVALE_SKIP_SANITIZED:-0}" != 1 ]; then
    echo "== The suite again under AddressSanitizer + UndefinedBehaviorSanitizer =="
    BUILD_DIR="${QUORVALE_ASAN_BUILD_DIR:-$ROOT/build-asan}"
    if QUORVALE_BUILD_TYPE=Debug build -DQUORVALE_BUILD_TESTS=ON -DQUORVALE_SANITIZE=ON -DQUORVALE_BUILD_BENCH=OFF; then
        # Leak checking stays on, for the Qt tests too: they report no leaks.
        QT_QPA_PLATFORM=offscreen ASAN_OPTIONS="abort_on_error=1:detect_leaks=1" \
            UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
            ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" ||
            failed+=("the tests of the sanitized pass")
    else
        failed+=("the sanitized build")
    fi
fi
if [ ${#failed[@]} -gt 0 ]; then
    printf 'test.sh: FAILED: %s\n' "${failed[@]}" >&2
    exit 1
fi

#!/usr/bin/env bash
# Runs a program on an X server of its own (Xvfb, 1280 x 1024 at 96 dpi) with
# a window manager managing its windows (openbox, or the one named in
# QUORVALE_WM: openbox, icewm, fluxbox, kwin_x11, or the frameless stand-in of
# tests/desktop, QUORVALE_WM=stand-in-zeros or stand-in-silent, with
# QUORVALE_STAND_IN_WM naming its executable), on Qt's xcb platform. Each run
# takes a free display number from Xvfb itself, so parallel runs never meet.
# The window manager's output goes to the file named in QUORVALE_WM_LOG.
# QUORVALE_WM=weston: a Wayland session of its own instead, weston's headless
# backend (1280 x 1024, a plain background, no panel, screenshots allowed)
# with XWayland and the environment a Wayland desktop gives
# (XDG_SESSION_TYPE, WAYLAND_DISPLAY, DISPLAY); QT_QPA_PLATFORM is then left
# unset, so the program chooses, unless QUORVALE_QPA_PLATFORM names one.
# Without the tools the run is skipped (exit 77), except in CI (CI=true),
# where that is a failure.
set -u

wm="${QUORVALE_WM:-openbox}"
# The window manager with its defaults and no session of its own.
case "$wm" in
    openbox) wm_command=(openbox --sm-disable) ;;
    icewm) wm_command=(icewm --replace) ;;
    fluxbox) wm_command=(fluxbox -no-slit -no-toolbar) ;;
    kwin_x11) wm_command=(kwin_x11 --replace) ;;
    stand-in-zeros | stand-in-silent) wm_command=("${QUORVALE_STAND_IN_WM:-stand_in_wm}" "${wm#stand-in-}") ;;
    weston) wm_command=(weston) ;;
    *) echo "run_on_xvfb: unknown window manager $wm" >&2; exit 1 ;;
esac
# QUORVALE_SESSION_BUS=1: the program runs on a private session bus of its
# own, started once the display is up, so services the bus starts (the
# desktop portal and its backend) reach that display too.
tools=("${wm_command[0]}" xprop xdotool wmctrl xwininfo)
if [ "$wm" = weston ]; then tools+=(Xwayland weston-screenshooter); else tools+=(Xvfb); fi
[ "${QUORVALE_SESSION_BUS:-}" = 1 ] && tools+=(dbus-run-session /usr/libexec/xdg-desktop-portal /usr/libexec/xdg-desktop-portal-gtk)
missing=()
for tool in "${tools[@]}"; do
    command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "${CI:-}" = true ]; then
        echo "run_on_xvfb: missing ${missing[*]} (see the packages in scripts/test.sh)" >&2
        exit 1
    fi
    echo "run_on_xvfb: skipped, missing ${missing[*]}"
    exit 77
fi

work=$(mktemp -d)
chmod 700 "$work"
xvfb_pid=
wm_pid=
# stop <pid>: asks the process to end and gives it two seconds, then kills
# it. fluxbox can deadlock in its own SIGTERM handler (it calls Xlib there,
# and hangs when the signal came in the middle of an Xlib call), so asking
# alone may wait for ever.
stop() {
    local pid=$1 state
    kill "$pid" 2>/dev/null || return 0
    for _ in $(seq 40); do
        # An ended child stays a zombie, which kill -0 still finds, until
        # it is waited for.
        state=$(sed 's/.*) //' "/proc/$pid/stat" 2>/dev/null) || break
        [ "${state:0:1}" = Z ] && break
        sleep 0.05
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}
# shellcheck disable=SC2317  # run by the EXIT trap
cleanup() {
    [ -n "$wm_pid" ] && stop "$wm_pid"
    [ -n "$xvfb_pid" ] && stop "$xvfb_pid"
    rm -rf "$work"
}
trap cleanup EXIT
# wait_for <what failed> <log> <command...>: waits up to ten seconds for the
# command to succeed, or ends the run with the message and the log.
wait_for() {
    local what=$1 log=$2
    shift 2
    for _ in $(seq 200); do
        "$@" 2>/dev/null && return
        sleep 0.05
    done
    echo "run_on_xvfb: $what" >&2
    cat "$log" >&2
    exit 1
}

if [ "$wm" = weston ]; then
    export XDG_RUNTIME_DIR="$work" WAYLAND_DISPLAY="quorvale-$$" XDG_SESSION_TYPE=wayland
    # A plain background and no panel, so a screenshot shows the windows
    # alone; --debug lets weston-screenshooter take one, and the pixman
    # renderer gives it pixels to take.
    printf '[shell]\nbackground-color=0xff203040\npanel-position=none\n' >"$work/weston.ini"
    # Weston 12 and later name the renderer with --renderer.
    renderer=--use-pixman
    weston --help 2>&1 | grep -q -- '--renderer' && renderer=--renderer=pixman
    weston --backend=headless-backend.so --width=1280 --height=1024 --xwayland --idle-time=0 \
        "$renderer" --debug --config="$work/weston.ini" \
        --socket="$WAYLAND_DISPLAY" --log="$work/wm.log" >/dev/null 2>&1 &
    wm_pid=$!
    # shellcheck disable=SC2016  # the inner shell expands its own arguments
    wait_for "weston did not start with XWayland" "$work/wm.log" \
        bash -c '[ -S "$1" ] && grep -q "xserver listening on display :[0-9]" "$2"' _ "$work/$WAYLAND_DISPLAY" "$work/wm.log"
    DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/wm.log")
    export DISPLAY
    unset QT_QPA_PLATFORM SESSION_MANAGER
    [ -n "${QUORVALE_QPA_PLATFORM:-}" ] && export QT_QPA_PLATFORM="$QUORVALE_QPA_PLATFORM"
    [ "${QUORVALE_SESSION_BUS:-}" = 1 ] && set -- dbus-run-session -- "$@"
    suppressions="$(cd "$(dirname "$0")" && pwd)/lsan.supp"
    export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$suppressions"
    # Mesa's allocations are only attributed to it with the full unwinder.
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"
    "$@"
    exit $?
fi

# start_desktop: Xvfb, then the window manager on it; fails when the window
# manager never takes the screen. Now and then, with several runs starting at
# once, the window manager cannot open a display Xvfb has just announced, so
# that is tried three times on a new server before the run fails.
start_desktop() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    wait_for "Xvfb did not start" "$work/xvfb.log" test -s "$work/display"
    DISPLAY=":$(head -n1 "$work/display")"
    export DISPLAY
    # fluxbox sets its style's wallpaper with fbsetbg, which, finding no
    # program to set it with, puts a message window in the middle of the
    # screen, over the windows under test: a stand-in that does nothing.
    mkdir -p "$work/bin"
    printf '#!/bin/sh\nexit 0\n' >"$work/bin/fbsetbg"
    chmod +x "$work/bin/fbsetbg"
    PATH="$work/bin:$PATH" HOME="$work" XDG_CONFIG_HOME="$work" "${wm_command[@]}" >"$work/wm.log" 2>&1 &
    wm_pid=$!
    for _ in $(seq 200); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        kill -0 "$wm_pid" 2>/dev/null || break
        sleep 0.05
    done
    echo "run_on_xvfb: $wm did not take the screen $DISPLAY" >&2
    cat "$work/wm.log" "$work/xvfb.log" >&2
    stop "$wm_pid"
    stop "$xvfb_pid"
    wm_pid='' xvfb_pid=''
    : >"$work/display"
    return 1
}
start_desktop || start_desktop || start_desktop || exit 1

# Under LeakSanitizer, leaks of system libraries that only the xcb platform
# loads, and of Qt's start-up, are not ours to mend (see lsan.supp). Debian
# builds Qt without frame pointers, so only the slow unwinder records a whole
# allocation stack, down to the Qt function a suppression names.
suppressions="$(cd "$(dirname "$0")" && pwd)/lsan.supp"
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}fast_unwind_on_malloc=0:suppressions=$suppressions"

# No session manager: the tests must not register with the desktop's one.
unset SESSION_MANAGER
# A test may stop the window manager for a moment, as a busy one is, and
# read what it printed.
export QUORVALE_WM_PID="$wm_pid" QUORVALE_WM_LOG="$work/wm.log"
export QT_QPA_PLATFORM=xcb
[ "${QUORVALE_SESSION_BUS:-}" = 1 ] && set -- dbus-run-session -- "$@"
"$@"
status=$?
exit $status

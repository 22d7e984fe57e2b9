#!/usr/bin/env bash
# Runs a program on an X server of its own (Xvfb, 1280 x 1024 at 96 dpi) with
# openbox managing its windows, on Qt's xcb platform. Each run takes a free
# display number from Xvfb itself, so parallel runs never meet.
# Without Xvfb or openbox the run is skipped (exit 77), except in CI
# (CI=true), where that is a failure.
set -u

missing=()
for tool in Xvfb openbox xprop xdotool wmctrl xwininfo; do
    command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "${CI:-}" = true ]; then
        echo "run_on_xvfb: missing ${missing[*]} (install xvfb openbox x11-utils xdotool wmctrl)" >&2
        exit 1
    fi
    echo "run_on_xvfb: skipped, missing ${missing[*]}"
    exit 77
fi

work=$(mktemp -d)
xvfb_pid=
wm_pid=
cleanup() {
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
if [ ! -s "$work/display" ]; then
    echo "run_on_xvfb: Xvfb did not start" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"

# openbox with its defaults and no session of its own.
HOME="$work" XDG_CONFIG_HOME="$work" openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
for _ in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done
if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    echo "run_on_xvfb: openbox did not take the screen" >&2
    cat "$work/openbox.log" >&2
    exit 1
fi

# Under LeakSanitizer, leaks of system libraries that only the xcb platform
# loads, and of Qt's start-up, are not ours to mend (see lsan.supp). Debian
# builds Qt without frame pointers, so only the slow unwinder records a whole
# allocation stack, down to the Qt function a suppression names.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}fast_unwind_on_malloc=0:suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp"

# No session manager: the tests must not register with the desktop's one.
unset SESSION_MANAGER
export QT_QPA_PLATFORM=xcb
"$@"
status=$?
exit $status

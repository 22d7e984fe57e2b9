#!/usr/bin/env bash
# Runs a program in a Wayland session of its own: weston on its headless
# backend (1280 x 1024) with XWayland, and the environment a Wayland desktop
# gives its programs (XDG_SESSION_TYPE=wayland, WAYLAND_DISPLAY, DISPLAY for
# XWayland). QT_QPA_PLATFORM is unset, so the program chooses its Qt platform
# itself, unless QUORVALE_QPA_PLATFORM names one. QUORVALE_SESSION_BUS=1: the
# program runs on a private session bus of its own (see run_on_xvfb.sh).
# Without weston or XWayland the run is skipped (exit 77), except in CI
# (CI=true), where that is a failure.
set -u

tools=(weston Xwayland xdotool xprop)
[ "${QUORVALE_SESSION_BUS:-}" = 1 ] && tools+=(dbus-run-session /usr/libexec/xdg-desktop-portal /usr/libexec/xdg-desktop-portal-gtk)
missing=()
for tool in "${tools[@]}"; do
    command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "${CI:-}" = true ]; then
        echo "run_on_weston: missing ${missing[*]} (install weston xwayland xdotool x11-utils)" >&2
        exit 1
    fi
    echo "run_on_weston: skipped, missing ${missing[*]}"
    exit 77
fi

work=$(mktemp -d)
chmod 700 "$work"
weston_pid=
cleanup() {
    [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR="$work"
socket="quorvale-$$"
weston --backend=headless-backend.so --width=1280 --height=1024 --xwayland --idle-time=0 \
    --socket="$socket" --log="$work/weston.log" >/dev/null 2>&1 &
weston_pid=$!
for _ in $(seq 200); do
    grep -q "xserver listening on display" "$work/weston.log" 2>/dev/null && break
    sleep 0.05
done
display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log")
if [ -z "$display" ] || [ ! -S "$work/$socket" ]; then
    echo "run_on_weston: weston did not start with XWayland" >&2
    cat "$work/weston.log" >&2
    exit 1
fi

export WAYLAND_DISPLAY="$socket" DISPLAY="$display" XDG_SESSION_TYPE=wayland
unset QT_QPA_PLATFORM SESSION_MANAGER
[ -n "${QUORVALE_QPA_PLATFORM:-}" ] && export QT_QPA_PLATFORM="$QUORVALE_QPA_PLATFORM"
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp"
[ "${QUORVALE_SESSION_BUS:-}" = 1 ] && set -- dbus-run-session -- "$@"
"$@"

#!/usr/bin/env bash
# The game in a Wayland session (run_on_weston.sh) with no platform chosen:
# it comes up through XWayland, an X window of its own, placed centred.
# Usage: weston_test.sh GAME
set -u
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -z "${QT_QPA_PLATFORM:-}" ] || fail "QT_QPA_PLATFORM is set"
"$1" & game=$!
trap 'kill $game 2>/dev/null; wait $game 2>/dev/null' EXIT
window=
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Quorvale$' 2>/dev/null | head -n1)
    [ -n "$window" ] && break
    sleep 0.05
done
[ -n "$window" ] || fail "no X window: the game did not come up through XWayland"
echo "platform chosen: xcb (XWayland on $DISPLAY), window $window"
hints=$(xprop -id "$window" WM_NORMAL_HINTS)
echo "$hints"
# The place the game asked for: centred across the screen; down from the
# centre by at most the title bar it allowed for.
read -r x y < <(sed -n 's/.*user specified location: \([0-9-]*\), \([0-9-]*\)/\1 \2/p' <<<"$hints")
read -r w h < <(sed -n 's/.*user specified size: \([0-9]*\) by \([0-9]*\)/\1 \2/p' <<<"$hints")
[ -n "${x:-}" ] && [ -n "${w:-}" ] || fail "the window asked for no place"
[ "$x" -eq $(((1280 - w) / 2)) ] || fail "left edge $x is not centred for width $w"
centre=$(((1024 - h) / 2))
[ "$y" -ge "$centre" ] && [ "$y" -le $((centre + 40)) ] || fail "top edge $y is not centred for height $h"
echo "weston: ok"

#!/usr/bin/env bash
# The game in a Wayland session with no platform chosen (run_on_xvfb.sh with
# QUORVALE_WM=weston) comes up through XWayland, asking for a centred place.
set -u
fail() { echo "FAIL: $*" >&2; exit 1; }
"$1" & game=$!
trap 'kill $game; wait $game' EXIT
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Quorvale$' 2>/dev/null | head -n1)
    [ -n "$window" ] && break
    sleep 0.05
done
[ -n "$window" ] || fail "no X window: the game did not come up through XWayland"
hints=$(xprop -id "$window" WM_NORMAL_HINTS)
echo "platform chosen: xcb, through XWayland on $DISPLAY"; echo "$hints"
read -r x y w h < <(tr -s ',\n' ' ' <<<"$hints" | sed -n 's/.*location: \([0-9]*\) \([0-9]*\).*size: \([0-9]*\) by \([0-9]*\).*/\1 \2 \3 \4/p')
# Centred across; down from the centre by at most the title bar allowed for.
[ "${x:-}" = $(((1280 - ${w:-0}) / 2)) ] || fail "left edge ${x:-none} is not centred"
[ "$y" -ge $(((1024 - h) / 2)) ] && [ "$y" -le $(((1024 - h) / 2 + 40)) ] || fail "top edge $y is not centred"

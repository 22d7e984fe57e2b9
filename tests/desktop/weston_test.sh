#!/usr/bin/env bash
# The game in a Wayland session with no platform chosen (run_on_xvfb.sh with
# QUORVALE_WM=weston) comes up through XWayland, asking for a centred place.
set -u
fail() { echo "FAIL: $*" >&2; exit 1; }
hints=$(bash "$(dirname "$0")/game_window.sh" "$1" WM_NORMAL_HINTS) ||
    fail "no X window: the game did not come up through XWayland"
echo "platform chosen: xcb, through XWayland on $DISPLAY"; echo "$hints"
read -r x y w h < <(tr -s ',\n' ' ' <<<"$hints" | sed -n 's/.*location: \([0-9]*\) \([0-9]*\).*size: \([0-9]*\) by \([0-9]*\).*/\1 \2 \3 \4/p')
# Centred across; down from the centre by at most the title bar allowed for.
[ "${x:-}" = $(((1280 - ${w:-0}) / 2)) ] || fail "left edge ${x:-none} is not centred"
[ "$y" -ge $(((1024 - h) / 2)) ] && [ "$y" -le $(((1024 - h) / 2 + 40)) ] || fail "top edge $y is not centred"

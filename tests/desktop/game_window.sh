#!/usr/bin/env bash
# game_window.sh <game> <property...>: starts the game on this display, waits
# for its main window, prints those X properties of it and ends the game.
"$1" & game=$!
for _ in $(seq 200); do
    window=$(xdotool search --onlyvisible --name '^Quorvale$' 2>/dev/null | head -n1)
    [ -n "$window" ] && break
    sleep 0.05
done
[ -n "$window" ] && xprop -id "$window" "${@:2}"
status=$?
kill "$game"; wait "$game" 2>/dev/null
exit $status

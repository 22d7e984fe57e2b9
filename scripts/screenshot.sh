#!/usr/bin/env bash
# Takes the picture at the top of README.md from the real game: the main window
# at 100 % (one screen pixel per pixel) with its frame, on a private X server
# (Xvfb) with openbox, with the first level chosen through File > New Game.
# Run it again whenever the window changes, so the picture stays true.
# Usage: scripts/screenshot.sh [OUT.png]   (default doc/screenshot.png)
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
out="${1:-$ROOT/doc/screenshot.png}"

install_missing xvfb openbox x11-utils xdotool imagemagick
build play

work="$(mktemp -d)"
xvfb_pid="" wm_pid="" game_pid=""
cleanup() {
    for pid in "$game_pid" "$wm_pid" "$xvfb_pid"; do
        [ -n "$pid" ] && { kill "$pid"; wait "$pid"; } 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# A private X server at 96 dots per inch (15 twips a pixel); it writes its
# display number once it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 50); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

HOME="$work" XDG_CONFIG_HOME="$work" openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done

# The game in its build folder, with a home of its own so nothing of the
# user's is read or written.
HOME="$work" XDG_DATA_HOME="" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1 "$BUILD_DIR/game/quorvale" \
    >"$work/game.log" 2>&1 &
game_pid=$!
# waits for a window titled $1 and prints its id
window_named() {
    timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n1
}
window="$(window_named Quorvale)"
[ -n "$window" ] || { cat "$work/game.log"; echo "the game's window did not appear" >&2; exit 1; }
# File > New Game, the first level, Set Level.
xdotool windowactivate --sync "$window" key alt+f key n
chooser="$(window_named 'Choose Level')"
[ -n "$chooser" ] || { cat "$work/game.log"; echo "the level chooser did not appear" >&2; exit 1; }
xdotool windowactivate --sync "$chooser" key Down key alt+s
sleep 1  # the board's first paint
import -window "$window" -frame "$work/shot.png"
mkdir -p "$(dirname "$out")"
mv "$work/shot.png" "$out"
echo "wrote $out ($(identify -format '%w x %h' "$out"))"

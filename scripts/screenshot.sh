#!/usr/bin/env bash
# Takes the picture at the top of README.md from the real game: the main window
# at 100 % (one screen pixel per pixel) with its frame, on a private X server
# (Xvfb) with openbox, with the first level chosen through File > New Game.
# Run it again whenever the window changes, so the picture stays true.
# Usage: scripts/screenshot.sh [OUT.png]   (default doc/screenshot.png)
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
out="${1:-$ROOT/doc/screenshot.png}"

# The capture runs again through the desktop tests' runner, which starts a
# private X server (96 dots per inch: 15 twips a pixel) with openbox.
if [ -z "${QUORVALE_SCREENSHOT_ON_XVFB:-}" ]; then
    install_missing xvfb openbox x11-utils xdotool wmctrl imagemagick
    build play
    QUORVALE_SCREENSHOT_ON_XVFB=1 exec bash "$ROOT/tests/desktop/run_on_xvfb.sh" bash "$0" "$out"
fi

work="$(mktemp -d)"
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && { kill "$game_pid"; wait "$game_pid"; } 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# The game in its build folder, with a home of its own so nothing of the
# user's is read or written.
HOME="$work" XDG_DATA_HOME="" QT_SCALE_FACTOR=1 "$BUILD_DIR/game/quorvale" \
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

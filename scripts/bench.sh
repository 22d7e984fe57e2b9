#!/usr/bin/env bash
# Builds Quorvale in Release (into build-rel/) and measures it:
#   - start-up on a real X server (Xvfb): time until the window is mapped and
#     answers a ping from its event loop, and resident memory then, for the
#     game and for a bare Qt main window with the same menu bar, alternating;
#   - dragging: 10,000 pointer moves through the main window's handlers;
#   - the solver benchmark.
# Then prints a table. Not part of the test suite.
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
BUILD_DIR="$ROOT/build-rel"  # the release preset's
RUNS="${QUORVALE_BENCH_RUNS:-9}"

install_missing xvfb libxcb1-dev pkg-config libbenchmark-dev
build release

bench="$BUILD_DIR/bench"
out="$(mktemp -d)"
xvfb_pid=""
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$out"
}
trap cleanup EXIT

# A private X server; it writes its display number once it is ready.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$out/display" 2>"$out/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 50); do
    [ -s "$out/display" ] && break
    sleep 0.1
done
[ -s "$out/display" ] || { cat "$out/xvfb.log"; echo "Xvfb did not start" >&2; exit 1; }
DISPLAY=":$(head -n1 "$out/display")"
export DISPLAY

echo "== Start-up ($RUNS runs each, alternating) =="
# Qt's note about XDG_RUNTIME_DIR comes once per start; keep it out of the way.
"$bench/startup_bench" "$RUNS" "quorvale=$BUILD_DIR/game/quorvale" "bare_window=$bench/bare_window" 2>"$out/startup.err" | tee "$out/startup" || { cat "$out/startup.err"; exit 1; }
kill "$xvfb_pid" 2>/dev/null; xvfb_pid=""

echo "== Dragging =="
QT_QPA_PLATFORM=offscreen "$bench/drag_bench" "$BUILD_DIR/game" | tee "$out/drag"

echo "== Solver =="
"$bench/solver_bench" --benchmark_color=false | tee "$out/solver"

field() { awk -v key="$2" '{ for (i = 1; i < NF; i++) if ($i == key) print $(i + 1) }' "$1"; }
game_ms=$(grep '^startup quorvale ' "$out/startup" | field /dev/stdin median_ms)
bare_ms=$(grep '^startup bare_window ' "$out/startup" | field /dev/stdin median_ms)
game_mb=$(grep '^startup quorvale ' "$out/startup" | field /dev/stdin median_rss_mb)
bare_mb=$(grep '^startup bare_window ' "$out/startup" | field /dev/stdin median_rss_mb)
drag_us=$(field "$out/drag" per_move_us)
paint_us=$(field "$out/drag" with_repaint_us)

echo
echo "| Measure | Quorvale | Bare Qt window | Target | Result |"
echo "|---|---|---|---|---|"
awk -v g="$game_ms" -v b="$bare_ms" 'BEGIN { r = g / b; printf "| Start-up to shown with data (median of '"$RUNS"') | %.1f ms | %.1f ms | <= 1.2x bare | %.2fx %s |\n", g, b, r, (r <= 1.2 ? "met" : "MISSED") }'
awk -v g="$game_mb" -v b="$bare_mb" 'BEGIN { d = g - b; printf "| Resident memory once shown (median) | %.1f MB | %.1f MB | <= bare + 8 MB | +%.1f MB %s |\n", g, b, d, (d <= 8 ? "met" : "MISSED") }'
awk -v d="$drag_us" 'BEGIN { printf "| Drag: pointer move through the handlers (10,000) | %.2f us | | < 166 us | %s |\n", d, (d < 166 ? "met" : "MISSED") }'
awk -v d="$paint_us" 'BEGIN { printf "| Drag: move plus repaint (offscreen raster) | %.2f us | | < 166 us | %s |\n", d, (d < 166 ? "met" : "MISSED") }'
# Google Benchmark's console lines: name, time, unit, CPU time, unit, iterations, counters.
awk '$1 ~ /^BM_/ { printf "| Solver %s | %s %s | | | %s |\n", $1, $2, $3, $7 }' "$out/solver"

#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (into build-fuzz/) and runs each for
# SECONDS (default 600), two at a time, starting from the seed corpus in
# fuzz/corpus/<target>/. New inputs collect in build-fuzz/work/<target>/;
# crashes land in build-fuzz/artifacts/. With QUORVALE_FUZZ_MERGE=1 the inputs
# that reach new code are merged into fuzz/corpus/ afterwards.
# Usage: bash scripts/fuzz.sh [SECONDS] [TARGET...]
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
BUILD_DIR="$ROOT/build-fuzz"  # the fuzz preset's
SECONDS_EACH="${1:-600}"
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -gt 0 ] || TARGETS=(level_file saved_game game_name cp1252 file_access)

# Debian's default clang and its runtime (clang 14 on Debian 12, 19 on Debian 13).
install_missing clang libclang-rt-dev
(cd "$ROOT" && cmake --preset fuzz)
cmake --build "$BUILD_DIR" -j "$(nproc)" --target "${TARGETS[@]/#/fuzz_}"

mkdir -p "$BUILD_DIR/artifacts"
run_one() {
    local t="$1"
    mkdir -p "$BUILD_DIR/work/$t"
    nice -n 10 "$BUILD_DIR/fuzz/fuzz_$t" -max_total_time="$SECONDS_EACH" -print_final_stats=1 \
        -artifact_prefix="$BUILD_DIR/artifacts/$t-" "$BUILD_DIR/work/$t" "$ROOT/fuzz/corpus/$t" \
        >"$BUILD_DIR/fuzz-$t.log" 2>&1
}

status=0
for ((i = 0; i < ${#TARGETS[@]}; i += 2)); do
    pids=()
    for t in "${TARGETS[@]:i:2}"; do
        echo "fuzzing $t for $SECONDS_EACH s"
        run_one "$t" &
        pids+=($!)
    done
    for pid in "${pids[@]}"; do wait "$pid" || status=1; done
done

for t in "${TARGETS[@]}"; do
    runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$BUILD_DIR/fuzz-$t.log" | awk '{print $2}')
    if grep -q 'ERROR: libFuzzer\|SUMMARY: \|check failed' "$BUILD_DIR/fuzz-$t.log"; then
        echo "$t: FOUND A PROBLEM after ${runs:-?} runs; see $BUILD_DIR/fuzz-$t.log and $BUILD_DIR/artifacts/"
    else
        echo "$t: ${runs:-?} runs, nothing found"
    fi
    if [ "${QUORVALE_FUZZ_MERGE:-0}" = 1 ]; then
        "$BUILD_DIR/fuzz/fuzz_$t" -merge=1 "$ROOT/fuzz/corpus/$t" "$BUILD_DIR/work/$t" 2>&1 | grep 'MERGE-OUTER: .* new files' || true
    fi
done
exit "$status"

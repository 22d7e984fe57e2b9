#!/usr/bin/env bash
# Installs what is missing, builds Quorvale with its tests and runs the whole
# suite without a display.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_missing
build -DQUORVALE_BUILD_TESTS=ON
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)"

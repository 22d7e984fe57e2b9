#!/usr/bin/env bash
# Installs what is missing, builds Quorvale and starts it.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_missing
build -DQUORVALE_BUILD_TESTS=OFF
exec "$BUILD_DIR/game/quorvale"

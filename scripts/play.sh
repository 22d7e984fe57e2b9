#!/usr/bin/env bash
# Installs what the game needs, builds the game alone (no tests, tools or
# benchmarks: the skin and levels come ready-made from data/) and starts it.
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
# The game's own packages and no others.
# shellcheck disable=SC2119
install_missing
build play
exec "$BUILD_DIR/game/quorvale"

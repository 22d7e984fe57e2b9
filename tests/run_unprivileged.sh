#!/usr/bin/env bash
# Runs a test binary as the unprivileged user "nobody", for the tests that
# need file permissions to be enforced (root may write anywhere, so there
# they skip). Usage: run_unprivileged.sh BINARY [ARGS...]
# Exits 77 (skipped) when not run as root: the ordinary run already covered them.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
    echo "not running as root: the permission tests ran in the ordinary suite"
    exit 77
fi
if ! command -v setpriv >/dev/null; then
    echo "setpriv (util-linux) is missing" >&2
    exit 1
fi

binary="$1"
shift
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
# A copy the user can reach, wherever the build folder lives.
cp "$binary" "$work/"
bin="$work/$(basename "$binary")"
chmod 755 "$bin"
mkdir "$work/tmp" "$work/home"
chown 65534:65534 "$work/tmp" "$work/home"
cd "$work/tmp"

status=0
setpriv --reuid=65534 --regid=65534 --clear-groups \
    env -u XDG_RUNTIME_DIR -u XDG_DATA_HOME HOME="$work/home" TMPDIR="$work/tmp" \
        QT_QPA_PLATFORM=offscreen QUORVALE_REQUIRE_PERMISSIONS=1 \
    "$bin" "$@" >"$work/output" 2>&1 || status=$?
cat "$work/output"
if [ "$status" -eq 0 ] && ! grep -q '^\[       OK \]' "$work/output"; then
    echo "no test ran as the unprivileged user" >&2
    status=1
fi
exit "$status"

#!/usr/bin/env bash
# Runs the README's two set-up commands as a new user would, on a fresh
# Debian 13 (trixie) made with debootstrap and holding nothing else: a clean
# clone of this repository's HEAD goes to /srv/quorvale in it, then, as root
# with CI=true,
#   1. bash scripts/play.sh  installs, builds and starts the game; the game
#      (on Qt's offscreen platform) must still run 10 seconds after it
#      started, then it is stopped;
#   2. bash scripts/test.sh  installs, builds and runs both passes, in a
#      cleared environment;
#   3. bash scripts/test.sh  again, in a second clean clone, in the
#      environment a newcomer's terminal on a desktop gives it: a login shell
#      (bash -l, reading /etc/profile and ~/.profile) with the variables a
#      desktop session leaves in a terminal (the display, the session bus,
#      the session manager, the runtime folder; nothing answers behind them
#      here).
# Prints each command's time and the test counts of each pass, and exits
# non-zero if any command failed. Takes long (everything is downloaded
# and built from nothing), so .ci/run does not call it. Needs root; installs
# debootstrap when it is missing.
#
# Usage: scripts/debian13-check.sh [LOG_DIR]      (default: a new folder in /var/tmp)
#   QUORVALE_DEBIAN_MIRROR=URL        the mirror (default: apt's configured Debian one)
#   QUORVALE_DEBOOTSTRAP_TARBALL=FILE reuse the base system's packages from FILE,
#                                     made there on the first use; without it every
#                                     run downloads everything
#   QUORVALE_KEEP_CHROOT=1            leave the chroot in LOG_DIR/root for a look
#
# Run no other X server tests on this machine meanwhile: the chroot has a /tmp
# of its own, so its Xvfb and one outside cannot see each other's display
# locks, yet both share the abstract X socket names, and a window test on
# either side can then reach the other side's server.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
[ "$(id -u)" -eq 0 ] || { echo "debian13-check: run as root (debootstrap, chroot, mounts)" >&2; exit 1; }
if ! command -v debootstrap >/dev/null; then
    apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q debootstrap
fi

# The Debian mirror apt already uses on this machine, else Debian's own.
default_mirror() {
    local url
    url="$(grep -hoE '^(URIs:|deb) +[^ ]*https?://[^ ]+/debian/?( |$)' /etc/apt/sources.list /etc/apt/sources.list.d/* 2>/dev/null |
           grep -oE 'https?://[^ ]+' | head -n1)" || true
    echo "${url:-http://deb.debian.org/debian}"
}
mirror="${QUORVALE_DEBIAN_MIRROR:-$(default_mirror)}"

logs="${1:-$(mktemp -d /var/tmp/quorvale-debian13.XXXXXX)}"
mkdir -p "$logs"
logs="$(cd "$logs" && pwd)"
target="$logs/root"
[ ! -e "$target" ] || { echo "debian13-check: $target exists; give a new LOG_DIR" >&2; exit 1; }
mkdir "$target"

mounted=()
cleanup() {
    local pid
    # Whatever still runs inside the chroot (a game, an X server) was started here.
    for pid in /proc/[0-9]*; do
        pid=${pid#/proc/}
        [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$target" ] && kill "$pid" 2>/dev/null
    done
    sleep 1
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount -R "${mounted[i]}" 2>/dev/null || umount -lR "${mounted[i]}" || true
    done
    if [ "${QUORVALE_KEEP_CHROOT:-0}" != 1 ]; then
        # Never crosses into a mount that is somehow still there (/dev above all).
        if findmnt -rn -o TARGET | grep -q "^$target/"; then
            echo "debian13-check: mounts remain under $target; it is left in place" >&2
        else
            rm -rf --one-file-system "$target"
        fi
    fi
}
trap cleanup EXIT
trap "exit 143" INT TERM

echo "== debootstrap trixie from $mirror into $target"
start=$SECONDS
bootstrap_args=(--arch=amd64 trixie "$target" "$mirror")
tarball="${QUORVALE_DEBOOTSTRAP_TARBALL:-}"
if [ -n "$tarball" ]; then
    tarball="$(realpath -m "$tarball")"
    [ -f "$tarball" ] || debootstrap --make-tarball="$tarball" "${bootstrap_args[@]}" >"$logs/debootstrap.log" 2>&1 ||
        { tail -n 30 "$logs/debootstrap.log"; exit 1; }
    bootstrap_args=(--unpack-tarball="$tarball" "${bootstrap_args[@]}")
fi
debootstrap "${bootstrap_args[@]}" >>"$logs/debootstrap.log" 2>&1 || { tail -n 30 "$logs/debootstrap.log"; exit 1; }
echo "   $((SECONDS - start)) s; Debian $(cat "$target/etc/debian_version")"

mount -t proc proc "$target/proc" && mounted+=("$target/proc")
mount --rbind /sys "$target/sys" && mount --make-rslave "$target/sys" && mounted+=("$target/sys")
mount --rbind /dev "$target/dev" && mount --make-rslave "$target/dev" && mounted+=("$target/dev")
mount -t tmpfs -o mode=1777 tmpfs "$target/tmp" && mounted+=("$target/tmp")
cp -L /etc/resolv.conf "$target/etc/resolv.conf"

# What a new user gets: the committed tree, nothing of this working copy's builds.
git clone -q --no-hardlinks "$ROOT" "$target/srv/quorvale"
echo "   clone of $(git -C "$target/srv/quorvale" log -1 --format='%h %s')"

# in_chroot COMMAND...: becomes (exec) the command, run in the project's folder
# as root with a plain environment and CI=true; call it in a subshell.
in_chroot() {
    exec chroot "$target" /usr/bin/env -i HOME=/root TERM=dumb CI=true LANG=C.UTF-8 \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        bash -c 'cd /srv/quorvale && exec "$@"' in_chroot "$@"
}

# in_login_shell FOLDER COMMAND: the command line run by a login shell in
# FOLDER, with a terminal's variables on a desktop; call it in a subshell.
in_login_shell() {
    mkdir -p "$target/run/user/0"
    chmod 700 "$target/run/user/0"
    exec chroot "$target" /usr/bin/env -i HOME=/root USER=root LOGNAME=root SHELL=/bin/bash \
        TERM=xterm-256color COLORTERM=truecolor LANG=C.UTF-8 CI=true \
        XDG_RUNTIME_DIR=/run/user/0 XDG_SESSION_TYPE=x11 XDG_CURRENT_DESKTOP=GNOME DISPLAY=:0 \
        DBUS_SESSION_BUS_ADDRESS=unix:path=/run/user/0/bus \
        SESSION_MANAGER=local/quorvale:@/tmp/.ICE-unix/1,unix/quorvale:/tmp/.ICE-unix/1 \
        /bin/bash -l -c "cd $1 && $2"
}

failed=()
echo "== bash scripts/play.sh"
start=$SECONDS
# play.sh ends by exec'ing the game, so the game keeps the command's process:
# wait until that process is the game, give it 10 seconds, then close it.
(in_chroot env QT_QPA_PLATFORM=offscreen bash scripts/play.sh) >"$logs/play.log" 2>&1 &
play=$!
game=/srv/quorvale/build/game/quorvale
started=
while kill -0 "$play" 2>/dev/null; do
    if [ "$(readlink "/proc/$play/exe" 2>/dev/null)" = "$target$game" ]; then started=$SECONDS; break; fi
    sleep 1
done
play_time=$((SECONDS - start))
if [ -n "$started" ]; then
    sleep 10
    if kill -0 "$play" 2>/dev/null; then
        kill "$play"; wait "$play" 2>/dev/null || true
        echo "   installed, built and started the game in $play_time s; it ran 10 s and was closed"
    else
        status=0; wait "$play" || status=$?
        echo "   the game started but quit within 10 s (status $status)"; tail -n 20 "$logs/play.log"
        failed+=(play.sh)
    fi
else
    status=0; wait "$play" || status=$?
    echo "   failed after $play_time s (status $status) without starting the game"; tail -n 40 "$logs/play.log"
    failed+=(play.sh)
fi
grep -iE '(^|[^-])warning:' "$logs/play.log" | head -n 20 || true

# report LOG STATUS: the time, the test counts of each pass and any warning.
report() {
    echo "   status $2 after $((SECONDS - start)) s"
    # ctest closes each pass with "N% tests passed, N tests failed out of N".
    grep -E 'tests passed, .* failed out of|Total Test time|\(Failed\)|^test\.sh: FAILED|^FAIL:|^\[  FAILED  \]' "$1" || true
    grep -iE '(^|[^-])warning:' "$1" | sort -u | head -n 20 || true
}

echo "== CI=true bash scripts/test.sh (cleared environment)"
start=$SECONDS
status=0
(in_chroot bash scripts/test.sh) >"$logs/test.log" 2>&1 || status=$?
report "$logs/test.log" "$status"
[ "$status" -eq 0 ] || failed+=(test.sh)

echo "== CI=true bash scripts/test.sh (a login shell with a desktop terminal's variables, a new clone)"
git clone -q --no-hardlinks "$ROOT" "$target/srv/quorvale-login"
start=$SECONDS
status=0
(in_login_shell /srv/quorvale-login "bash scripts/test.sh") >"$logs/test-login.log" 2>&1 || status=$?
report "$logs/test-login.log" "$status"
[ "$status" -eq 0 ] || failed+=("test.sh in a login shell")

echo "logs: $logs"
if [ ${#failed[@]} -gt 0 ]; then
    echo "debian13-check: FAILED: ${failed[*]}"
    exit 1
fi
echo "debian13-check: both commands passed on Debian $(cat "$target/etc/debian_version")"

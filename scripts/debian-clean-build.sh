#!/usr/bin/env bash
# Builds the Debian source and binary packages of this repository's HEAD as
# a Debian build daemon would, in a fresh Debian 12 (bookworm) and Debian 13
# (trixie) made with debootstrap: the base system and build-essential
# (debootstrap's buildd variant), then only what `apt-get build-dep` installs
# for debian/control; dpkg-buildpackage runs as an unprivileged user, with the
# quick tests in dh_auto_test. Then lintian (installed after the build) checks
# the .dsc, the .changes and the .debs, and autopkgtest runs the package's own
# tests on the installed package with its null runner, in a network namespace
# of its own so that its X server meets no other.
# Prints each step's time, what build-dep installed and lintian's report, and
# exits non-zero if any release failed. Downloads everything anew, so
# .ci/run does not call it. Needs root; installs debootstrap when missing.
#
# Usage: scripts/debian-clean-build.sh [LOG_DIR [RELEASE...]]
#   LOG_DIR   default: a new folder in /var/tmp; RELEASE default: bookworm trixie
#   QUORVALE_DEBIAN_MIRROR=URL   the mirror (default: Debian's own)
#   QUORVALE_KEEP_CHROOT=1       leave each chroot in LOG_DIR/RELEASE/root
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
[ "$(id -u)" -eq 0 ] || { echo "debian-clean-build: run as root (debootstrap, chroot, mounts)" >&2; exit 1; }
command -v debootstrap >/dev/null ||
    { apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q debootstrap; }
mirror="${QUORVALE_DEBIAN_MIRROR:-http://deb.debian.org/debian}"
logs="$(realpath -m "${1:-$(mktemp -d /var/tmp/quorvale-debian-build.XXXXXX)}")"
shift || true
releases=(bookworm trixie)
[ $# -eq 0 ] || releases=("$@")
mkdir -p "$logs"

# The source package's inputs from HEAD, as a release would ship them: the
# upstream tarball without debian/, and debian/ itself.
version="$(git -C "$ROOT" show HEAD:debian/changelog | sed -n '1s/^quorvale (\([^-)]*\)-.*/\1/p')"
git -C "$ROOT" archive --prefix="quorvale-$version/" -o "$logs/quorvale_$version.orig.tar.gz" HEAD ':(exclude)debian'
git -C "$ROOT" archive -o "$logs/debian.tar" HEAD debian
echo "source: $(git -C "$ROOT" log -1 --format='%h %s'), version $version"

target=
mounted=()
cleanup() {
    [ -n "$target" ] || return 0
    local pid i
    # Whatever still runs inside the chroot (a game, an X server) was started here.
    for pid in /proc/[0-9]*; do
        pid=${pid#/proc/}
        [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$target" ] && kill "$pid" 2>/dev/null
    done
    sleep 1
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount -R "${mounted[i]}" 2>/dev/null || umount -lR "${mounted[i]}" || true
    done
    mounted=()
    if [ "${QUORVALE_KEEP_CHROOT:-0}" != 1 ]; then
        if findmnt -rn -o TARGET | grep -q "^$target/"; then
            echo "debian-clean-build: mounts remain under $target; it is left in place" >&2
        else
            rm -rf --one-file-system "$target"
        fi
    fi
    target=
}
trap cleanup EXIT
trap "exit 143" INT TERM

# in_chroot UID COMMAND: runs the shell command in the chroot's /build as
# that user (0, or $builder) with a plain environment.
in_chroot() {
    chroot --userspec="$1:$1" "$target" /usr/bin/env -i HOME=/build TERM=dumb LANG=C.UTF-8 \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive \
        bash -c "cd /build && $2"
}
# timed NAME LOG USER COMMAND: one step, its time and, when it fails, its log's end.
timed() {
    local name="$1" log="$2" start=$SECONDS
    shift 2
    if in_chroot "$@" >"$log" 2>&1; then
        echo "   $name: $((SECONDS - start)) s"
    else
        echo "   $name: FAILED after $((SECONDS - start)) s (log: $log)"
        tail -n 30 "$log" | sed 's/^/     /'
        return 1
    fi
}

build_on() {
    local release="$1" dir="$logs/$1"
    mkdir -p "$dir"
    target="$dir/root"
    [ ! -e "$target" ] || { echo "$target exists; give a new LOG_DIR" >&2; return 1; }
    echo "== $release"
    local start=$SECONDS
    debootstrap --variant=buildd --arch=amd64 "$release" "$target" "$mirror" >"$dir/debootstrap.log" 2>&1 ||
        { tail -n 20 "$dir/debootstrap.log"; return 1; }
    echo "   debootstrap (buildd variant): $((SECONDS - start)) s, Debian $(cat "$target/etc/debian_version")"
    mount -t proc proc "$target/proc" && mounted+=("$target/proc")
    mount --rbind /dev "$target/dev" && mount --make-rslave "$target/dev" && mounted+=("$target/dev")
    mount -t tmpfs -o mode=1777 tmpfs "$target/tmp" && mounted+=("$target/tmp")
    cp -L /etc/resolv.conf "$target/etc/resolv.conf"
    chroot "$target" useradd --home-dir /build --no-create-home builder
    builder="$(chroot "$target" id -u builder)"
    mkdir "$target/build"
    cp "$logs/quorvale_$version.orig.tar.gz" "$target/build/"
    tar -xzf "$target/build/quorvale_$version.orig.tar.gz" -C "$target/build"
    tar -xf "$logs/debian.tar" -C "$target/build/quorvale-$version"
    chown -R "$builder:$builder" "$target/build"

    dpkg-query --admindir="$target/var/lib/dpkg" -W -f='${Package}\n' | sort >"$dir/before-build-dep"
    timed "apt-get build-dep" "$dir/build-dep.log" 0 \
        "apt-get update -q && apt-get build-dep -y -q ./quorvale-$version" || return 1
    dpkg-query --admindir="$target/var/lib/dpkg" -W -f='${Package}\n' | sort >"$dir/after-build-dep"
    comm -13 "$dir/before-build-dep" "$dir/after-build-dep" >"$dir/installed-by-build-dep"
    echo "   build-dep installed $(wc -l <"$dir/installed-by-build-dep") packages (list: $dir/installed-by-build-dep)"

    timed "dpkg-buildpackage -us -uc, as builder, quick tests included" "$dir/build.log" "$builder" \
        "cd quorvale-$version && dpkg-buildpackage -us -uc" || return 1
    grep -E 'tests passed, .* failed out of' "$dir/build.log" | sed 's/^/   /'
    (cd "$target/build" && shopt -s nullglob && printf '     %s\n' *.dsc *.changes *.deb *.buildinfo *.tar.?z)
    sha256sum "$target"/build/*.deb | sed "s|$target/build/||; s/^/     /"

    timed "lintian installed" "$dir/lintian-install.log" 0 "apt-get install -y -q lintian" || return 1
    # lintian before 2.117 (Debian 12) does not know Debian 13's policy, 4.7.2.
    local suppress=""
    grep -q 'debian-policy (4\.7\.2' "$target/usr/share/lintian/data/debian-policy/releases.json" ||
        suppress="--suppress-tags newer-standards-version"
    local ok=1
    in_chroot "$builder" "lintian --fail-on error,warning --display-info --pedantic --display-experimental \
        --tag-display-limit 0 $suppress quorvale_${version}-1_amd64.changes" >"$dir/lintian.log" 2>&1 || ok=0
    echo "   lintian $(in_chroot "$builder" 'lintian --version') on the .dsc, .changes and .debs${suppress:+ ($suppress)}:"
    sed 's/^/     /' "$dir/lintian.log"
    [ "$ok" = 1 ] || { echo "   lintian reports errors or warnings"; return 1; }

    # The test dependencies come first, with the network; autopkgtest then
    # finds them installed and runs without it.
    timed "package and test dependencies installed" "$dir/autopkgtest-install.log" 0 \
        "apt-get install -y -q autopkgtest ./quorvale_${version}-1_amd64.deb xvfb openbox x11-utils xdotool wmctrl appstream desktop-file-utils" ||
        return 1
    start=$SECONDS
    if unshare --net chroot "$target" /usr/bin/env -i HOME=/root LANG=C.UTF-8 PATH=/usr/sbin:/usr/bin:/sbin:/bin \
        bash -c "cd /build && autopkgtest --user builder --no-built-binaries \
            --output-dir /build/autopkgtest quorvale_${version}-1.dsc -- null" >"$dir/autopkgtest.log" 2>&1; then
        echo "   autopkgtest (null runner): $((SECONDS - start)) s"
    else
        echo "   autopkgtest (null runner): FAILED after $((SECONDS - start)) s (log: $dir/autopkgtest.log)"
        ok=0
    fi
    sed 's/^/     /' "$target/build/autopkgtest/summary" 2>/dev/null || true
    cp -r "$target/build/autopkgtest" "$target"/build/*.deb "$target"/build/*.dsc "$target"/build/*.changes "$dir/" 2>/dev/null || true
    [ "$ok" = 1 ]
}

failed=()
for release in "${releases[@]}"; do
    build_on "$release" || failed+=("$release")
    cleanup
done
echo "logs: $logs"
if [ ${#failed[@]} -gt 0 ]; then
    echo "debian-clean-build: FAILED on ${failed[*]}"
    exit 1
fi
echo "debian-clean-build: built, linted and tested on ${releases[*]}"

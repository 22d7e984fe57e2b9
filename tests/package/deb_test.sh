#!/usr/bin/env bash
# Builds the source and binary packages with dpkg-buildpackage from a copy of
# the tree, as an unprivileged user, and checks them: lintian without errors
# or warnings, the control fields, file list, owners and modes, a stripped and
# hardened game; a second build from the .dsc elsewhere (folder, user, umask,
# clock) gives the same bytes. As root, the package is then installed on this
# machine for its autopkgtest tests (null runner) and purged without a trace.
# The quick tests are left to the suite itself (DEB_BUILD_OPTIONS=nocheck).
# Usage: deb_test.sh SOURCE_DIR WORK_DIR
set -euo pipefail
source_dir="$(realpath "$1")"
work="$(realpath -m "$2")"
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "== $* (at ${SECONDS} s)"; }
as_root=0
[ "$(id -u)" -eq 0 ] && as_root=1
if [ "$as_root" = 1 ] && dpkg-query -W -f='${Status}' quorvale 2>/dev/null | grep -q 'ok installed'; then
    fail "quorvale is installed on this machine; this test installs and purges it, so remove it first"
fi

rm -rf "$work"
mkdir -p "$work/tmp"
# Everything this test writes stays in WORK_DIR, lintian's scratch files too.
export TMPDIR="$work/tmp" XDG_CACHE_HOME="$work/tmp/cache"

# as_builder UID FOLDER COMMAND...: runs the command in FOLDER with a plain
# environment, as that user when this runs as root (else as the caller).
as_builder() {
    local uid="$1" dir="$2"
    shift 2
    local user=()
    mkdir -p "$dir/.home"
    if [ "$as_root" = 1 ]; then
        chown -R "$uid:$uid" "$dir"
        user=(setpriv --reuid="$uid" --regid="$uid" --clear-groups)
    fi
    (cd "$dir" && "${user[@]}" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 HOME="$dir/.home" \
        TMPDIR="$dir/.home" DEB_BUILD_OPTIONS=nocheck "$@")
}

step "the source tree and its upstream tarball"
# The files git knows and does not ignore, as they are now; debian/ is left
# out of the upstream tarball, as the 3.0 (quilt) format wants. Its files are
# dated long before the changelog, as an upstream release made earlier than
# the package may be: the package's bytes must not depend on that.
a="$work/a"
tree="$a/quorvale-1.0.0"
mkdir -p "$tree"
(cd "$source_dir" && git ls-files -z -co --exclude-standard |
    while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
    tar --null -T - -cf -) | tar -xf - -C "$tree"
mv "$tree/debian" "$a/debian"
tar -C "$a" --sort=name --mtime='2000-01-01 00:00Z' --owner=0 --group=0 --numeric-owner -cJf "$a/quorvale_1.0.0.orig.tar.xz" quorvale-1.0.0
mv "$a/debian" "$tree/debian"

step "dpkg-buildpackage"
# The inner shell expands $(nproc) itself.
# shellcheck disable=SC2016
as_builder 65534 "$a" bash -c 'umask 022 && cd quorvale-1.0.0 && dpkg-buildpackage -us -uc -J"$(nproc)"' \
    >"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log"; fail "dpkg-buildpackage failed"; }
grep -q 'tests passed' "$work/build.log" && fail "the quick tests ran under DEB_BUILD_OPTIONS=nocheck"
grep -q '^ fakeroot debian/rules' "$work/build.log" && fail "the build needed fakeroot"
deb="$a/quorvale_1.0.0-1_amd64.deb"
changes="$a/quorvale_1.0.0-1_amd64.changes"
[ -f "$deb" ] || fail "no $deb"
build="$tree/obj-x86_64-linux-gnu"

step "lintian on the .dsc, the .changes and the .debs"
# lintian before 2.117 (Debian 12) does not know Debian 13's policy, 4.7.2.
suppress=()
grep -q 'debian-policy (4\.7\.2' /usr/share/lintian/data/debian-policy/releases.json ||
    suppress=(--suppress-tags newer-standards-version)
status=0
report="$(lintian --fail-on error,warning --display-info --pedantic --display-experimental --tag-display-limit 0 \
    "${suppress[@]}" "$changes" 2>&1)" || status=$?
grep -v '^running with root privileges' <<<"$report" || true
[ "$status" -eq 0 ] || fail "lintian reports errors or warnings (status $status)"

step "control fields"
field() { dpkg-deb -f "$deb" "$1"; }
has() { [ "$(field "$1")" = "$2" ] || fail "$1: $(field "$1")"; }
has Package quorvale; has Version 1.0.0-1; has Section games; has Priority optional
has Maintainer "Quorvale developers <quorvale@example.org>"; has Homepage "https://quorvale.example.org/"
depends="$(field Depends)"
# Debian 13 renamed some libraries' packages for the 64-bit time_t (libqt6core6t64):
# each library is still required, under its name or that name with "t64".
for lib in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libstdc++6; do
    [[ ", $depends" == *", $lib "* || ", $depends" == *", ${lib}t64 "* ]] || fail "Depends lacks $lib: $depends"
done
[ "$(field Description | wc -l)" -ge 5 ] || fail "no extended description"

step "files, owners and modes"
# One line per entry: mode owner path [-> target]. Folders 0755, files 0644,
# the game 0755, all root's; nothing under /opt, nothing world-writable.
listing="$(dpkg-deb -c "$deb" | awk '{ line = $1 " " $2; for (i = 6; i <= NF; i++) line = line " " $i; print line }')"
expected="drwxr-xr-x root/root ./
drwxr-xr-x root/root ./usr/
drwxr-xr-x root/root ./usr/games/
lrwxrwxrwx root/root ./usr/games/quorvale -> ../lib/quorvale/quorvale
drwxr-xr-x root/root ./usr/lib/
drwxr-xr-x root/root ./usr/lib/quorvale/
-rwxr-xr-x root/root ./usr/lib/quorvale/quorvale
-rw-r--r-- root/root ./usr/lib/quorvale/qvl.ZHN
-rw-r--r-- root/root ./usr/lib/quorvale/qvl.bmp
-rw-r--r-- root/root ./usr/lib/quorvale/qvl.html
-rw-r--r-- root/root ./usr/lib/quorvale/qvl@2x.bmp
drwxr-xr-x root/root ./usr/share/
drwxr-xr-x root/root ./usr/share/applications/
-rw-r--r-- root/root ./usr/share/applications/org.example.quorvale.desktop
drwxr-xr-x root/root ./usr/share/doc/
drwxr-xr-x root/root ./usr/share/doc/quorvale/
-rw-r--r-- root/root ./usr/share/doc/quorvale/changelog.Debian.gz
-rw-r--r-- root/root ./usr/share/doc/quorvale/copyright
drwxr-xr-x root/root ./usr/share/icons/
drwxr-xr-x root/root ./usr/share/icons/hicolor/"
for n in 128 16 22 24 256 32 48 64; do
    expected+="
drwxr-xr-x root/root ./usr/share/icons/hicolor/${n}x${n}/
drwxr-xr-x root/root ./usr/share/icons/hicolor/${n}x${n}/apps/
-rw-r--r-- root/root ./usr/share/icons/hicolor/${n}x${n}/apps/quorvale.png"
done
expected+="
drwxr-xr-x root/root ./usr/share/lintian/
drwxr-xr-x root/root ./usr/share/lintian/overrides/
-rw-r--r-- root/root ./usr/share/lintian/overrides/quorvale
drwxr-xr-x root/root ./usr/share/man/
drwxr-xr-x root/root ./usr/share/man/man6/
-rw-r--r-- root/root ./usr/share/man/man6/quorvale.6.gz
drwxr-xr-x root/root ./usr/share/metainfo/
-rw-r--r-- root/root ./usr/share/metainfo/org.example.quorvale.metainfo.xml"
if [ "$(sort <<<"$listing")" != "$(sort <<<"$expected")" ]; then
    diff <(sort <<<"$expected") <(sort <<<"$listing") >&2 || true
    fail "the package's files differ from the expected list (- expected, + packaged)"
fi
control_files="$(dpkg-deb --ctrl-tarfile "$deb" | tar -t)"
grep -Eq '(postinst|postrm|preinst|prerm)$' <<<"$control_files" &&
    fail "the package has maintainer scripts"

step "unpacked contents"
root="$work/unpacked"
dpkg-deb -x "$deb" "$root"
game="$root/usr/lib/quorvale/quorvale"
for f in qvl.ZHN qvl.bmp qvl@2x.bmp qvl.html; do
    cmp -s "$source_dir/data/$f" "$root/usr/lib/quorvale/$f" || fail "$f differs from data/$f"
done
cmp -s "$source_dir/src/ui/images/quorvale-48.png" "$root/usr/share/icons/hicolor/48x48/apps/quorvale.png" ||
    fail "the 48x48 icon is not quorvale-48.png"
grep -qx "Exec=/usr/lib/quorvale/quorvale" "$root/usr/share/applications/org.example.quorvale.desktop" ||
    fail "the menu entry does not start /usr/lib/quorvale/quorvale"
# Compressed without a name or time stamp (gzip -n): bytes 4-7 of the header are the time.
for gz in usr/share/man/man6/quorvale.6.gz usr/share/doc/quorvale/changelog.Debian.gz; do
    [ "$(od -An -tx1 -j4 -N4 "$root/$gz" | tr -d ' ')" = 00000000 ] || fail "$gz carries a time stamp"
done
grep -q '^quorvale (1\.0\.0-1) ' <<<"$(zcat "$root/usr/share/doc/quorvale/changelog.Debian.gz")" ||
    fail "the changelog's first entry is not version 1.0.0-1"

step "stripped and hardened"
# (grep reads saved output: under pipefail, grep -q closing a pipe early
# would make the pipeline fail.)
header="$(readelf -h "$game")" dynamic="$(readelf -d "$game")" segments="$(readelf -lW "$game")"
symbols="$(readelf --dyn-syms -W "$game")" sections="$(readelf -SW "$game")"
grep -q 'Type: *DYN' <<<"$header" || fail "the game is not position-independent (PIE)"
grep -q 'FLAGS.*BIND_NOW\|FLAGS_1.*NOW' <<<"$dynamic" || fail "the game is not linked with -z now"
grep -q GNU_RELRO <<<"$segments" || fail "the game is not linked with -z relro"
grep -q '__stack_chk_fail' <<<"$symbols" || fail "the game has no stack protector"
if grep -Eq '\.debug_|\.symtab' <<<"$sections"; then fail "the game is not stripped"; fi
commands="$build/compile_commands.json"
grep -q -- '-D_FORTIFY_SOURCE=2' "$commands" || fail "the game is not compiled with -D_FORTIFY_SOURCE=2"
grep -qx '#define QUORVALE_SYSTEM_WIDE 1' "$build/src/config/config.h" || fail "the game is not built system-wide"

step "the same bytes from the .dsc, in another folder, by another user, with another umask and clock"
# (another user only when run as root: uid 4242 has no name, so no name can leak either)
b="$work/b/another-folder"
mkdir -p "$b"
cp "$a"/quorvale_1.0.0.orig.tar.xz "$a"/quorvale_1.0.0-1.debian.tar.xz "$a"/quorvale_1.0.0-1.dsc "$b/"
# shellcheck disable=SC2016
as_builder 4242 "$b" faketime -f +9d bash -c 'umask 077 && dpkg-source -x quorvale_1.0.0-1.dsc source &&
    cd source && dpkg-buildpackage -us -uc -b -J"$(nproc)"' \
    >"$work/build-again.log" 2>&1 || { tail -n 40 "$work/build-again.log"; fail "the second build failed"; }
for f in quorvale_1.0.0-1_amd64.deb quorvale-dbgsym_1.0.0-1_amd64.deb; do
    sha256sum "$a/$f" "$b/$f" | sed "s|$work/||"
    if ! cmp -s "$a/$f" "$b/$f"; then
        diff <(dpkg-deb -c "$a/$f") <(dpkg-deb -c "$b/$f") >&2 || true
        fail "$f differs between the two builds"
    fi
done

if [ "$as_root" = 0 ]; then
    echo "installing, autopkgtest and purging need root: skipped"
    exit 77
fi

# The play test runs as nobody: it saves in that user's folder, never under /usr.
step "installed, then autopkgtest with its null runner (on this machine)"
trap 'dpkg --purge quorvale >/dev/null 2>&1 || true' EXIT
dpkg -i "$deb" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "the package does not install"; }
status=0
TMPDIR=/tmp autopkgtest --output-dir "$work/autopkgtest" --user nobody --no-built-binaries "$a/quorvale_1.0.0-1.dsc" \
    -- null >"$work/autopkgtest.log" 2>&1 || status=$?
cat "$work/autopkgtest/summary" 2>/dev/null || true
[ "$status" -eq 0 ] || { tail -n 40 "$work/autopkgtest.log"; fail "autopkgtest failed (status $status)"; }

step "purge"
dpkg --purge quorvale >/dev/null
trap - EXIT
dpkg-query -W quorvale >/dev/null 2>&1 && fail "dpkg still knows quorvale after the purge"
while read -r _ _ path _; do
    path="/${path#./}"
    case "$path" in
        */) [ "$path" = /usr/lib/quorvale/ ] || [ "$path" = /usr/share/doc/quorvale/ ] || continue ;;
    esac
    [ -e "$path" ] || [ -L "$path" ] && fail "$path is still there after the purge"
done <<<"$listing"
compgen -G '/var/lib/dpkg/info/quorvale.*' >/dev/null && fail "dpkg keeps files of quorvale after the purge"
echo "package $deb: ok (${SECONDS} s)"

#!/usr/bin/env bash
# Builds the .deb with packaging/build-deb.sh into WORK_DIR and checks it as
# Debian would: lintian without errors or warnings, then what lintian does not
# look at — the exact file list, owners and modes, the control fields, a
# stripped and hardened executable, the command link, and the packaged game
# starting from the unpacked tree with its saved games in the user's folder.
# Usage: deb_test.sh SOURCE_DIR WORK_DIR
set -euo pipefail
source_dir="$1"
work="$2"
fail() { echo "FAIL: $*" >&2; exit 1; }

# Everything this test writes stays in WORK_DIR, lintian's scratch files too.
mkdir -p "$work/tmp"
export TMPDIR="$work/tmp" XDG_CACHE_HOME="$work/tmp/cache"

bash "$source_dir/packaging/build-deb.sh" "$work/build" "$work" >"$work/build.log" 2>&1 ||
    { tail -n 40 "$work/build.log"; fail "packaging/build-deb.sh failed"; }
deb="$work/quorvale_1.0.0-1_amd64.deb"
[ -f "$deb" ] || fail "no $deb"

echo "== lintian"
status=0
report="$(lintian --fail-on error,warning --tag-display-limit 0 "$deb" 2>&1)" || status=$?
grep -v '^running with root privileges' <<<"$report" || true
[ "$status" -eq 0 ] || fail "lintian reports errors or warnings (status $status)"

echo "== control fields"
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

echo "== files, owners and modes"
# One line per entry: mode owner path [-> target]. Folders 0755, files 0644,
# the game 0755, all root's; nothing under /opt, nothing world-writable.
listing="$(dpkg-deb -c "$deb" | awk '{ line = $1 " " $2; for (i = 6; i <= NF; i++) line = line " " $i; print line }')"
expected="drwxr-xr-x root/root ./usr/
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

echo "== unpacked contents"
root="$work/unpacked"
rm -rf "$root"
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

echo "== stripped and hardened"
# (grep reads saved output: under pipefail, grep -q closing a pipe early
# would make the pipeline fail.)
header="$(readelf -h "$game")" dynamic="$(readelf -d "$game")" segments="$(readelf -lW "$game")"
symbols="$(readelf --dyn-syms -W "$game")" sections="$(readelf -SW "$game")"
grep -q 'Type: *DYN' <<<"$header" || fail "the game is not position-independent (PIE)"
grep -q 'FLAGS.*BIND_NOW\|FLAGS_1.*NOW' <<<"$dynamic" || fail "the game is not linked with -z now"
grep -q GNU_RELRO <<<"$segments" || fail "the game is not linked with -z relro"
grep -q '__stack_chk_fail' <<<"$symbols" || fail "the game has no stack protector"
if grep -Eq '\.debug_|\.symtab' <<<"$sections"; then fail "the game is not stripped"; fi
commands="$work/build/compile_commands.json"
grep -q -- '-D_FORTIFY_SOURCE=2' "$commands" || fail "the game is not compiled with -D_FORTIFY_SOURCE=2"
grep -qx '#define QUORVALE_SYSTEM_WIDE 1' "$work/build/src/generated/config.h" || fail "the game is not built system-wide"

echo "== the packaged game starts through /usr/games/quorvale"
# As root, with HOME in the work folder: the program folder stays untouched
# and the saved games get a folder of their own in the user's data folder.
home="$work/home"
rm -rf "$home"
mkdir -m 0700 "$home"
status=0
(cd / && HOME="$home" XDG_DATA_HOME="" QT_QPA_PLATFORM=offscreen timeout 3 "$root/usr/games/quorvale") || status=$?
[ "$status" -eq 124 ] || fail "the packaged game exited early with status $status"
[ ! -e "$root/usr/lib/quorvale/saved" ] || fail "the packaged game made a saved folder beside itself"
saved="$home/.local/share/quorvale/saved"
[ -d "$saved" ] || fail "the packaged game did not make $saved"
[ "$(stat -c %a "$saved")" = 700 ] || fail "$saved has mode $(stat -c %a "$saved"), not 700"
echo "package $deb: ok"

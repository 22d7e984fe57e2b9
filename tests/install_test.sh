#!/usr/bin/env bash
# Installs the game from a build folder into a fresh prefix, checks the
# installed tree, then starts the installed game (offscreen) through its bin/
# symlink from another folder: it must still be running after 3 seconds and
# must have made its saved folder beside itself.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build="$1"
source="$2"

prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 || { cat "$prefix.log"; fail "cmake --install failed"; }
rm -f "$prefix.log"

game="$prefix/lib/quorvale"
[ -x "$game/quorvale" ] || fail "no executable in $game"
for f in qvl.ZHN qvl.bmp qvl.html; do
    [ -f "$source/data/$f" ] || continue
    cmp -s "$source/data/$f" "$game/$f" || fail "$f is not installed beside the game"
done
[ -L "$prefix/bin/quorvale" ] || fail "no symlink $prefix/bin/quorvale"
[ "$(readlink -f "$prefix/bin/quorvale")" = "$(readlink -f "$game/quorvale")" ] || fail "bin/quorvale points elsewhere"

desktop="$prefix/share/applications/org.example.quorvale.desktop"
[ -f "$desktop" ] || fail "no desktop entry"
grep -qx "Exec=$game/quorvale" "$desktop" || fail "desktop entry does not start $game/quorvale"
grep -qx "Icon=quorvale" "$desktop" || fail "desktop entry has no Icon=quorvale"
grep -qx "Categories=Game;LogicGame;" "$desktop" || fail "desktop entry has the wrong categories"
grep -qx "Type=Application" "$desktop" || fail "desktop entry is no application"
for n in 16 22 24 32 48 64 128 256; do
    cmp -s "$source/src/ui/images/quorvale-$n.png" "$prefix/share/icons/hicolor/${n}x$n/apps/quorvale.png" ||
        fail "no ${n}x$n icon"
done
cmp -s "$source/packaging/org.example.quorvale.metainfo.xml" "$prefix/share/metainfo/org.example.quorvale.metainfo.xml" ||
    fail "no AppStream metainfo"
cmp -s "$source/doc/quorvale.6" <(gzip -dc "$prefix/share/man/man6/quorvale.6.gz") || fail "no manual page quorvale.6.gz"
# Only the package carries Debian's own files and a command in games/.
for f in share/doc/quorvale share/lintian games; do
    [ ! -e "$prefix/$f" ] || fail "a home install has $f"
done
# Every file installed is in the manifest, which is how a home install is removed.
manifest="$build/install_manifest.txt"
for f in "$prefix/bin/quorvale" "$desktop" "$prefix/share/man/man6/quorvale.6.gz" \
         "$prefix/share/icons/hicolor/48x48/apps/quorvale.png" "$game/quorvale"; do
    grep -qxF "$f" "$manifest" || fail "$f is missing from install_manifest.txt"
done
[ ! -e "$game/saved" ] || fail "saved folder exists before the first start"

# Start it from elsewhere, through the symlink: the game must find its data
# in its own folder, not in the current one.
cd /
status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$prefix/bin/quorvale" || status=$?
[ "$status" -eq 124 ] || fail "the installed game exited early with status $status"
[ -d "$game/saved" ] || fail "the installed game did not create $game/saved"
echo "installed into $prefix and started from there: ok"

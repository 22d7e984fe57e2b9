#!/usr/bin/env bash
# Installs the game into a fresh prefix inside WORK_DIR and checks its desktop
# metadata: the menu entry passes desktop-file-validate, the AppStream
# metainfo passes appstreamcli validate, and the two agree with each other and
# with the installed files (ids, command, icon).
# Usage: metadata_test.sh BUILD_DIR WORK_DIR
set -euo pipefail
build="$1"
work="$2"
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix="$work/prefix"
rm -rf "$prefix"
mkdir -p "$prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "cmake --install failed"; }

desktop="$prefix/share/applications/org.example.quorvale.desktop"
metainfo="$prefix/share/metainfo/org.example.quorvale.metainfo.xml"
[ -f "$desktop" ] || fail "no $desktop"
[ -f "$metainfo" ] || fail "no $metainfo"

echo "== desktop-file-validate"
out="$(desktop-file-validate "$desktop" 2>&1)" || { echo "$out"; fail "desktop-file-validate failed"; }
[ -z "$out" ] || { echo "$out"; fail "desktop-file-validate has remarks"; }

echo "== appstreamcli validate --no-net"
out="$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1)" || { echo "$out"; fail "appstreamcli validate failed"; }
echo "$out"
# Not even a note: only AppStream 0.16 (Debian 12) may say it does not know
# the developer element that 1.0 asks for in place of developer_name.
notes="$(grep -E '^[EWIP]: ' <<<"$out" | grep -v ': unknown-tag developer$' || true)"
[ -z "$notes" ] || fail "appstreamcli validate has notes"

echo "== the two agree with each other and with the install"
tag() { sed -n "s|.*<$1[^>]*>\(.*\)</$1>.*|\1|p" "$metainfo"; }
for pair in id=org.example.quorvale launchable=org.example.quorvale.desktop binary=quorvale project_license=MIT; do
    [ "$(tag "${pair%%=*}")" = "${pair#*=}" ] || fail "${pair%%=*} is '$(tag "${pair%%=*}")'"
done
[ -x "$prefix/bin/quorvale" ] || fail "the provided binary is not in $prefix/bin"
grep -q '<content_rating type="oars-1\.[01]"' "$metainfo" || fail "no OARS content rating"
icon="$(sed -n 's/^Icon=//p' "$desktop")"
[ "$icon" = "$(tag icon)" ] || fail "the menu entry's icon '$icon' is not the metainfo's '$(tag icon)'"
for n in 16 22 24 32 48 64 128 256; do
    png="$prefix/share/icons/hicolor/${n}x${n}/apps/$icon.png"
    [ -f "$png" ] || fail "no ${n}x${n} icon"
    # The PNG header's width and height (big-endian, bytes 16-23) must match the folder.
    size="$(od -An -tu1 -j16 -N8 "$png" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')"
    [ "$size" = "${n}x${n}" ] || fail "the ${n}x${n} icon is $size pixels"
done
grep -qx "Exec=$prefix/lib/quorvale/quorvale" "$desktop" || fail "the menu entry does not start $prefix/lib/quorvale/quorvale"
echo "== the installed game's window names its menu entry"
# WM_CLASS and the desktop-entry properties of the running game's window, on
# an X server of its own.
window="$(bash "$(dirname "$0")/../desktop/run_on_xvfb.sh" bash "$(dirname "$0")/../desktop/game_window.sh" \
    "$prefix/bin/quorvale" WM_CLASS _GTK_APPLICATION_ID _KDE_NET_WM_DESKTOP_FILE)" || fail "the game could not be started on an X server"
echo "$window"
class="$(sed -n 's/^StartupWMClass=//p' "$desktop")"
entry="$(basename "$desktop" .desktop)"
grep -qx "WM_CLASS(STRING) = \"quorvale\", \"$class\"" <<<"$window" || fail "StartupWMClass '$class' is not the window's class"
for p in _GTK_APPLICATION_ID _KDE_NET_WM_DESKTOP_FILE; do
    grep -qx "$p(UTF8_STRING) = \"$entry\"" <<<"$window" || fail "the window's $p is not '$entry'"
done
echo "desktop metadata: ok"

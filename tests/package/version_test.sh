#!/usr/bin/env bash
# The version is CMake's project version; what else names it must agree: the
# Debian changelog's last entry (upstream part), the newest release in the
# AppStream metainfo and the headers of both manual pages.
# Usage: version_test.sh SOURCE_DIR PROJECT_VERSION
set -euo pipefail
source_dir="$1"
version="$2"
status=0
check() { [ "$2" = "$version" ] || { echo "FAIL: $1 says '$2', the project is $version" >&2; status=1; }; }
changelog="$(sed -n '1s/^quorvale (\([^)]*\)).*/\1/p' "$source_dir/debian/changelog")"
check debian/changelog "${changelog%-*}"
check "the metainfo's newest release" \
    "$(grep -m1 -o '<release version="[^"]*"' "$source_dir/packaging/org.example.quorvale.metainfo.xml" | cut -d'"' -f2)"
for page in quorvale.6 qvl-levels.6; do
    check "doc/$page" "$(sed -n '1s/^\.TH .* "Quorvale \([^"]*\)".*/\1/p' "$source_dir/doc/$page")"
done
[ "$status" -eq 0 ] && echo "version $version everywhere"
exit "$status"

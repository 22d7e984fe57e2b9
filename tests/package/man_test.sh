#!/usr/bin/env bash
# The manual pages render without a warning from man and groff, the game's
# page lists every file that ships beside the game, and the level tool's page
# documents, with an example, every command the tool's usage text names.
# Usage: man_test.sh SOURCE_DIR QVL_LEVELS
set -euo pipefail
source_dir="$1"
tool="$2"
fail() { echo "FAIL: $*" >&2; exit 1; }
export LC_ALL=C.UTF-8 MANWIDTH=80

for page in "$source_dir/doc/quorvale.6" "$source_dir/doc/qvl-levels.6"; do
    warnings="$(man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)" || fail "man cannot render $page"
    [ -z "$warnings" ] || { echo "$warnings"; fail "$page renders with warnings"; }
done

game_page="$(man -E UTF-8 -l "$source_dir/doc/quorvale.6" 2>/dev/null)"
for f in "$source_dir"/data/*; do
    name="$(basename "$f")"
    [ "$name" = levels.txt ] && continue    # the level source is not shipped
    grep -q "^ *$name\$" <<<"$game_page" || fail "quorvale(6) does not list $name under FILES"
done
# The page names the folder as a player types it, tilde and all.
# shellcheck disable=SC2088
grep -q '~/.local/share/quorvale/saved' <<<"$game_page" || fail "quorvale(6) does not say where saved games live"

# The usage text lists one command per line: "  NAME ARGUMENTS  what it does".
usage="$("$tool" 2>&1 >/dev/null || true)"
commands="$(sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p' <<<"$usage" | sort -u)"
[ "$(wc -l <<<"$commands")" -ge 6 ] || fail "could not read the commands from the tool's usage text: $usage"
tool_page="$(man -E UTF-8 -l "$source_dir/doc/qvl-levels.6" 2>/dev/null | sed -n '/^COMMANDS$/,/^EXIT STATUS$/p')"
for c in $commands; do
    grep -q "^       $c\b" <<<"$tool_page" || fail "qvl-levels(6) has no entry for the command $c"
    grep -q "^ *qvl-levels $c " <<<"$tool_page" || fail "qvl-levels(6) has no example of $c"
done
echo "manual pages: ok"

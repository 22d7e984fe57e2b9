#!/usr/bin/env bash
# Every shell script of the project passes ShellCheck; an exception stands
# beside its line with the reason. Usage: shellcheck_test.sh SOURCE_DIR
set -euo pipefail
cd "$1"
mapfile -t scripts < <(find .ci scripts tests debian/tests -type f \( -name '*.sh' -o -name run \
    -o -path 'debian/tests/*' ! -name control \) | sort)
[ ${#scripts[@]} -gt 10 ] || { echo "shellcheck_test: too few scripts found: ${scripts[*]}" >&2; exit 1; }
shellcheck -x "${scripts[@]}"

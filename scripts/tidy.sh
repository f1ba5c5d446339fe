#!/usr/bin/env bash
# clang-tidy with the checks in .clang-tidy over the portable code, as the native build
# compiles it (build/linux/compile_commands.json). Any finding fails.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/linux/compile_commands.json ] || { cmake --preset linux >/dev/null; }
files=$(git ls-files 'app/program.cpp' 'actions/*.cpp' 'catalogue/*.cpp' 'hook/*.cpp' 'keys/*.cpp' 'player/*.cpp' \
        'text/*.cpp' 'tray/*.cpp' 'volume/*.cpp' 'forms/*.cpp')
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
# shellcheck disable=SC2086
printf '%s\n' $files | xargs -P "$(nproc)" -n 4 clang-tidy -p build/linux --quiet > "$log" 2>&1 ||
    status=1
grep -v '^[0-9]* warnings\( and [0-9]* errors\)\? generated' "$log" || true
grep -qE 'error:|warning:' "$log" && status=1
exit $status

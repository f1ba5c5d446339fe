#!/usr/bin/env bash
# clang-tidy with the checks in .clang-tidy over the portable code, as the native build
# compiles it (build/linux/compile_commands.json). Any finding fails.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/linux/compile_commands.json ] || { cmake --preset linux >/dev/null; }
files=$(git ls-files 'app/program.cpp' 'actions/*.cpp' 'hook/*.cpp' 'keys/*.cpp' 'player/*.cpp' \
        'text/*.cpp' 'tray/*.cpp' 'volume/*.cpp' 'windows/*.cpp')
# shellcheck disable=SC2086
printf '%s\n' $files | xargs -P "$(nproc)" -n 4 clang-tidy -p build/linux --quiet 2>&1 \
    | grep -v '^[0-9]* warnings generated' | tee /tmp/omnitap-tidy.log
! grep -qE 'error:|warning:' /tmp/omnitap-tidy.log

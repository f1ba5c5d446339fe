#!/usr/bin/env bash
# Under Wine: the same keys.ini (default 10,000 keys) loaded the old way, one profile look-up
# per value, and by Omnitap's reader; then typing 400 keys through Omnitap (10,000 learned
# keys) against typing through a bare pass-through hook, interleaved over ROUNDS rounds
# (default 5). Prints the times and the ratios.
#   bench-wine.sh [KEYS] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target ini-load-comparison typing-comparison
prefix=$(mktemp -d)
trap 'scripts/wine-harness.sh remove-prefix "$prefix"' EXIT
scripts/wine-harness.sh create-prefix "$prefix" >/dev/null
scripts/wine-harness.sh run "$prefix" build/mingw/bin/ini-load-comparison.exe "${1:-10000}"
scripts/wine-harness.sh run "$prefix" build/mingw/bin/typing-comparison.exe "${2:-5}"

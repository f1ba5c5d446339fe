#!/usr/bin/env bash
# Under Wine:
#   the same keys.ini (default 10,000 keys) loaded the old way, one profile look-up per value,
#   and by Omnitap's reader; prints both times and the ratio;
#   typing 400 keys through Omnitap (10,000 learned keys) against typing through a bare
#   pass-through hook, interleaved over ROUNDS rounds (default 5); prints the ratios;
#   the configuration windows of the real program with 100, 2,000 and 10,000 keys: each
#   window opening, a key added, one removed, "Save && Close"; prints a table of times.
#   scripts/bench-wine.sh [KEYS] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target ini-load-comparison typing-comparison large-tables
prefix=$(mktemp -d)
trap 'scripts/wine-harness.sh remove-prefix "$prefix"' EXIT
scripts/wine-harness.sh create-prefix "$prefix" >/dev/null
scripts/wine-harness.sh run "$prefix" build/mingw/bin/ini-load-comparison.exe "${1:-10000}"
scripts/wine-harness.sh run "$prefix" build/mingw/bin/typing-comparison.exe "${2:-5}"
# No window manager runs on the harness's X server, and Wine waits two seconds for one to
# acknowledge each window that closes; unmanaged windows time what the program does.
scripts/wine-harness.sh exec "$prefix" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed \
    /d N /f >/dev/null
scripts/wine-harness.sh run "$prefix" build/mingw/bin/large-tables.exe 100 2000 10000

#!/usr/bin/env bash
# Builds the benchmarks optimised and runs them: the hook's classification and keys.ini.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench
build/bench/bench/omnitap_bench "$@"

#!/usr/bin/env bash
# Installs what is missing, builds everything (native, 64-bit and 32-bit Windows) and runs
# every test: a bounded fuzzing run, then the native unit tests and the end-to-end tests under
# Wine in one CTest run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

cmake --preset linux
cmake --build --preset linux
cmake --preset mingw
cmake --build --preset mingw
cmake --preset mingw-i686
cmake --build --preset mingw-i686

# The fuzzers, about a minute in all (before CTest, whose summary closes the run).
scripts/fuzz.sh 12

ctest --preset linux

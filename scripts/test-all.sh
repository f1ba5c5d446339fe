#!/usr/bin/env bash
# Installs what is missing, builds everything (native, 64-bit and 32-bit Windows) and the two
# release zips, and runs every test: the files' sizes and the tests' line budget, the zips'
# contents, the fuzzers' fixed check (corpus replay and seeded inputs), then the native unit
# tests and the end-to-end tests under Wine (64-bit, and the 32-bit build in a 32-bit prefix)
# in one CTest run. The same commit gives the same result every time; every part runs even
# when an earlier one failed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

cmake --preset linux
cmake --build --preset linux
cmake --preset mingw
cmake --build --preset mingw
cmake --build --preset mingw --target package
cmake --preset mingw-i686
cmake --build --preset mingw-i686
cmake --build --preset mingw-i686 --target package

status=0
# clang-tidy's deliberate set (.clang-tidy) over the portable code.
scripts/tidy.sh || status=1
# No source file over 300 lines; the tests at most 0.40 of the product's lines.
scripts/check-sizes.sh || status=1
# What the release zips hold: the exe, README.txt and LICENSE, and what the exe imports.
scripts/check-release.sh build/mingw win64 || status=1
scripts/check-release.sh build/mingw-i686 win32 || status=1
# The fuzzers, about half a minute in all (before CTest, whose summary closes the run).
scripts/fuzz.sh --check || status=1
# The threaded unit tests again, built with ThreadSanitizer.
{ cmake --preset tsan >/dev/null && cmake --build --preset tsan && build/tsan/tests/unit/omnitap_threaded --gtest_brief=1; } || status=1

ctest --preset linux || status=1
exit $status

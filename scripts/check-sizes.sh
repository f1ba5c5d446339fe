#!/usr/bin/env bash
# The house stays lean: no C++ file of the product, its tests or its tools over 300 lines, and
# the non-blank lines of C++ in tests/ and fuzz/ at most 0.40 of the product's (its C++ and
# resource script). Prints the counts and the ratio; fails on a long file or above 0.40.
#
#   scripts/check-sizes.sh [LIMIT]     (LIMIT in hundredths, 40 unless given)
set -euo pipefail
cd "$(dirname "$0")/.."

limit=${1:-40} status=0
sources() { git ls-files -- "$@" | grep -E '\.(cpp|h|rc)$'; }
count() { sources "$@" | tr '\n' '\0' | xargs -0 cat | grep -c -v '^\s*$'; }
while read -r lines file; do
    [ "$file" = total ] && continue
    if [ "$lines" -gt 300 ]; then
        echo "$file: $lines lines, over 300" >&2
        status=1
    fi
done < <(sources . | tr '\n' '\0' | xargs -0 wc -l)
tests=$(count tests fuzz)
product=$(count app win32 ports base catalogue text keys hook player volume tray actions forms resources)
echo "test lines: $tests, product lines: $product, ratio: $(awk -v t="$tests" -v p="$product" 'BEGIN { printf "%.3f", t / p }')"
if [ $((tests * 100)) -gt $((product * limit)) ]; then
    echo "over the budget: the tests may hold at most 0.$limit of the product's lines" >&2
    status=1
fi
exit $status

#!/usr/bin/env bash
# The house stays lean: no C++ file of the product, its tests or its tools over 300 lines, and
# the non-blank lines of C++ in tests/ and fuzz/ at most 0.40 of the product's (its C++ and
# resource script: every such file outside tests/, fuzz/, tools/ and bench/). Prints the counts
# and the ratio; fails on a long file or above 0.40.
#
#   scripts/check-sizes.sh [LIMIT]     (LIMIT in hundredths, 40 unless given)
set -euo pipefail
cd "$(dirname "$0")/.."

limit=${1:-40}
sources() { git ls-files -- "$@" | grep -E '\.(cpp|h|rc)$' | tr '\n' '\0'; }
count() { sources "$@" | xargs -0 cat | grep -c -v '^\s*$'; }
long=$(sources . | xargs -0 wc -l | awk '$2 != "total" && $1 > 300 { print $2 ": " $1 " lines, over 300" }')
tests=$(count tests fuzz)
product=$(count . ':!tests' ':!fuzz' ':!tools' ':!bench')
echo "test lines: $tests, product lines: $product, ratio: $(awk -v t="$tests" -v p="$product" 'BEGIN { printf "%.3f", t / p }')"
[ -z "$long" ] || echo "$long" >&2
if [ $((tests * 100)) -gt $((product * limit)) ]; then
    echo "over the budget: the tests may hold at most 0.$limit of the product's lines" >&2
    exit 1
fi
[ -z "$long" ]

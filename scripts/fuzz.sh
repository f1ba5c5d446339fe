#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs them, starting from their corpus
# in fuzz/corpus/, which also keeps every input a fuzzer once found, as a regression test.
#
#   scripts/fuzz.sh --check     what the test command runs: replays the whole corpus, then
#                               a fixed number of inputs per target from a fixed seed; the
#                               same commit always gives the same result
#   scripts/fuzz.sh [SECONDS]   open-ended search (default 60 s per target, random seed);
#                               whatever fails is copied into fuzz/corpus/ to be mended
set -euo pipefail
cd "$(dirname "$0")/.."

# Target and the number of inputs the check runs (keys.ini inputs are slow: every one is
# read, written and read twice more).
targets=(keys_ini:30000 lenient_number:1000000 launch_target:1000000
         caption_title:1000000 key_string:300000)

check=0 seconds=60
case "${1:-}" in
--check) check=1 ;;
"") ;;
*) seconds=$1 ;;
esac

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
for entry in "${targets[@]}"; do
    target=${entry%%:*} runs=${entry##*:}
    fuzzer=build/fuzz/fuzz/fuzz_$target corpus=fuzz/corpus/$target
    mkdir -p "$work/$target"
    if [ $check = 1 ]; then
        echo "fuzz_$target: corpus replay and $runs seeded inputs"
        # Files as arguments: each is run once, whatever it is.
        ok=1
        "$fuzzer" "$corpus"/* > "$work/$target.log" 2>&1 || ok=0
        [ $ok = 1 ] && { "$fuzzer" -runs="$runs" -seed=1 -max_len=4096 -artifact_prefix="$work/" \
            "$work/$target" "$corpus" >> "$work/$target.log" 2>&1 || ok=0; }
    else
        echo "fuzz_$target: ${seconds}s"
        ok=1
        "$fuzzer" -max_total_time="$seconds" -max_len=4096 -artifact_prefix="$work/" \
            "$work/$target" "$corpus" > "$work/$target.log" 2>&1 || ok=0
        [ $ok = 0 ] && cp "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$corpus"/ 2>/dev/null || true
    fi
    if [ $ok = 0 ]; then
        echo "fuzz_$target FAILED:"; tail -30 "$work/$target.log"
        failed=1
    else
        grep -E '^Done' "$work/$target.log" | tail -1 || true
    fi
done
exit $failed

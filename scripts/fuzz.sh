#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs each for a bounded time,
# starting from its seed corpus in fuzz/corpus/ (which also keeps every input a fuzzer once
# found, as a regression test). Usage: scripts/fuzz.sh [SECONDS_PER_TARGET]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-12}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
for target in keys_ini lenient_number launch_target typing_round_trip caption_title; do
    mkdir -p "$work/$target"
    echo "fuzz_$target: ${seconds}s"
    if ! build/fuzz/fuzz/fuzz_$target -max_total_time="$seconds" -max_len=4096 \
            -artifact_prefix="$work/" -print_final_stats=0 "$work/$target" "fuzz/corpus/$target" \
            > "$work/$target.log" 2>&1; then
        echo "fuzz_$target FAILED:"; tail -30 "$work/$target.log"
        cp "$work"/crash-* "$work"/leak-* "$work"/timeout-* fuzz/corpus/"$target"/ 2>/dev/null || true
        failed=1
    else
        grep -E '^Done' "$work/$target.log" || true
    fi
done
exit $failed

#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz preset: clang with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for SECONDS seconds (default 60) on a copy of its seed
# corpus, so the corpus in the repository does not grow. Crash inputs are kept in
# build/fuzz/runs/TARGET/artifacts; the script exits non-zero when any target found one.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: scripts/fuzz.sh [SECONDS]" >&2
    exit 2
fi

scripts/install-deps.sh
if ! command -v clang++ >/dev/null; then
    echo "fuzz.sh: clang++ is missing (Debian packages clang and libclang-rt-14-dev)" >&2
    exit 1
fi

targets=(fuzz_opcodes fuzz_bitmaps)
cmake --preset fuzz
cmake --build --preset fuzz -j "$(nproc)" --target "${targets[@]}"

# A number from libFuzzer's final statistics.
final_stat() {
    sed -n "s/^stat::$1: *//p" "$2" | tail -n 1
}

failed=0
summary=()
for target in "${targets[@]}"; do
    run=build/fuzz/runs/$target
    rm -rf "$run"
    mkdir -p "$run/corpus" "$run/artifacts"
    cp fuzz/corpus/"$target"/* "$run/corpus/"
    echo "== $target: $seconds s"
    status=0
    build/fuzz/fuzz/"$target" -max_total_time="$seconds" -timeout=30 -print_final_stats=1 \
        -artifact_prefix="$run/artifacts/" "$run/corpus" >"$run/log" 2>&1 || status=$?
    runs=$(final_stat number_of_executed_units "$run/log")
    rate=$(final_stat average_exec_per_sec "$run/log")
    added=$(final_stat new_units_added "$run/log")
    rss=$(final_stat peak_rss_mb "$run/log")
    line="$target: ${runs:-?} runs, ${rate:-?} exec/s, ${added:-?} new inputs, peak ${rss:-?} MB"
    if [ "$status" -ne 0 ]; then
        failed=1
        line="$line, FAILED (exit $status; see $run/log and $run/artifacts)"
        # The sanitizer's report and the name of the input that triggered it.
        grep -v '^#[0-9]' "$run/log" | tail -n 80
        for artifact in "$run"/artifacts/*; do
            if [ -e "$artifact" ]; then
                echo "reproduce with: build/fuzz/fuzz/$target $artifact"
            fi
        done
    fi
    echo "$line"
    summary+=("$line")
done

echo "== summary"
printf '%s\n' "${summary[@]}"
exit "$failed"

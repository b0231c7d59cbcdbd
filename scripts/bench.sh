#!/usr/bin/env bash
# Builds the optimised configuration and runs every benchmark; each prints the ratios it measured
# side by side against its targets at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release
cmake --build --preset release -j "$(nproc)" --target midside_bench platform_bench editor_bench toolkit_bench

for bench in midside/midside_bench platform/platform_bench gui/editor_bench gui/toolkit_bench; do
    echo "== $bench"
    # The fastest of a few repetitions: the machines are shared.
    "build/release/bench/$bench" --benchmark_min_time=0.05 --benchmark_repetitions=3 "$@"
done

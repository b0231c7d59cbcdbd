#!/usr/bin/env bash
# Runs every test under AddressSanitizer and UndefinedBehaviorSanitizer (leaks included), and the
# tests where host threads meet the editor and the audio under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
jobs=$(nproc)

cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

cmake --preset tsan
cmake --build --preset tsan -j "$jobs" --target concurrency_test editor_test
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    ctest --preset tsan -j "$jobs" -L 'concurrency|editor'

#!/usr/bin/env bash
# Builds the native debug configuration and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset dev
cmake --build --preset dev -j "$(nproc)"
ctest --preset dev -j "$(nproc)"

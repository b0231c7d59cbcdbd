#!/usr/bin/env bash
# Builds the plug-in and the command-line host in the release configuration and runs the host's
# validation battery against the plug-in. Extra arguments go to the validate command, for example
# --seed N to repeat an earlier run or --only texts to run one group.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release
cmake --build --preset release -j "$(nproc)" --target brisolen brisolen_host
build/release/host/brisolen-host validate build/release/Brisolen.so "$@"

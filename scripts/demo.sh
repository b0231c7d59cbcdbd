#!/usr/bin/env bash
# The main job: builds the plug-in and the command-line host, shows what the plug-in reports, runs
# the built-in demo signal through it into a WAV file, and opens its editor to save a picture.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release
cmake --build --preset release -j "$(nproc)" --target brisolen brisolen_host

host=build/release/host/brisolen-host
plugin=build/release/Brisolen.so
output=${1:-demo-processed.wav}
picture=${2:-demo-editor.png}

"$host" info "$plugin"
# Mid at unity, side raised by about 6 dB: the stereo image widens.
"$host" process "$plugin" "$output" --param 0=0.9 --param 1=1.0
# The same settings in the editor, as host automation sets them.
"$host" editor "$plugin" "$picture" --param 0=0.9 --param 1=1.0

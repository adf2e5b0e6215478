#!/usr/bin/env bash
# The main job: builds the headless bridge and plays one example scenario against the
# simulated base station and VoIP client, printing what happened.
#   tools/run-example.sh [SCENARIO]   (default: examples/incoming-call.scn)
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh native
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native --target bridger-sim -- -j2 >/dev/null
exec build/native/bin/bridger-sim "${1:-examples/incoming-call.scn}"

#!/usr/bin/env bash
# The main job: builds the headless bridge and plays one example scenario against the
# simulated base station and VoIP client, printing what happened.
#   tools/run-example.sh [SCENARIO [BRIDGER-SIM OPTIONS...]]
#   (default: examples/incoming-call.scn; e.g. --lang zh-TW or --transcript FILE)
set -euo pipefail
scenario="${1:-examples/incoming-call.scn}"
[[ $# -gt 0 ]] && shift
# The scenario is named from where the user stands; the build runs from the repository.
[[ "$scenario" == - || "$scenario" == /* ]] || scenario="$PWD/$scenario"
cd "$(dirname "$0")/.."
tools/install-deps.sh native
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native --target bridger-sim -- -j2 >/dev/null
# Log files the bridge may write (usb0.txt, voip0.txt) land here, not in the sources.
mkdir -p build/native/example-work
cd build/native/example-work
exec ../bin/bridger-sim "$@" "$scenario"

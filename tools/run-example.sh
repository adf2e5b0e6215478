#!/usr/bin/env bash
# The main job: builds the headless bridge and plays one example scenario against the
# simulated base station and VoIP client, printing what happened.
#   tools/run-example.sh [SCENARIO [BRIDGER-SIM OPTIONS...]]
#   (default: examples/incoming-call.scn; e.g. --lang zh-TW or --transcript FILE)
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
scenario="$repo/examples/incoming-call.scn"
if [[ $# -gt 0 ]]; then
  # A scenario given is named from where the user stands; the build runs from the repository.
  scenario="$1"
  shift
  [[ "$scenario" == - || "$scenario" == /* ]] || scenario="$PWD/$scenario"
fi
options=()
while [[ $# -gt 0 ]]; do
  if [[ "$1" == --transcript && $# -gt 1 ]]; then
    file="$2"
    [[ "$file" == /* ]] || file="$PWD/$file"
    options+=("$1" "$file")
    shift 2
  else
    options+=("$1")
    shift
  fi
done
cd "$repo"
tools/install-deps.sh native
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native --target bridger-sim -- -j2 >/dev/null
# Log files the bridge may write (usb0.txt, voip0.txt) land here, not in the sources.
mkdir -p build/native/example-work
cd build/native/example-work
exec ../bin/bridger-sim ${options[@]+"${options[@]}"} "$scenario"

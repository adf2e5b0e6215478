#!/usr/bin/env bash
# The main job: builds the headless bridge and plays one example scenario against the
# simulated base station and VoIP client, printing what happened and whether it held.
set -euo pipefail

usage() {
  cat <<'EOF'
usage: tools/run-example.sh [SCENARIO] [--lang en|zh-TW] [--transcript FILE]

Builds bridger-sim (installing the compilers on the first run) and plays SCENARIO
(default: examples/incoming-call.scn) against a simulated base station and Skype.
The transcript goes to standard output; progress and the verdict to standard error.
  --lang zh-TW        the bridge speaks Traditional Chinese (default: en)
  --transcript FILE   also write the transcript to FILE
Exit status: 0 every expect held, 1 one failed, 2 script error, 3 the build failed.
EOF
}

say() { echo "run-example: $*" >&2; }

repo="$(cd "$(dirname "$0")/.." && pwd)"
# Paths are named from where the user stands; the build runs from the repository.
absolute() { [[ "$1" == - || "$1" == /* ]] && echo "$1" || echo "$PWD/$1"; }

scenario=""
options=()
while [[ $# -gt 0 ]]; do
  case "$1" in
    -h|--help) usage; exit 0 ;;
    --lang|--transcript)
      [[ $# -gt 1 ]] || { say "$1 needs a value"; usage >&2; exit 2; }
      value="$2"
      [[ "$1" == --transcript ]] && value="$(absolute "$value")"
      [[ "$1" != --lang || "$value" == en || "$value" == zh-TW ]] \
        || { say "--lang takes en or zh-TW, not $value"; exit 2; }
      options+=("$1" "$value")
      shift 2 ;;
    -) [[ -z "$scenario" ]] || { say "more than one scenario given"; exit 2; }
       scenario=-; shift ;;
    -*) say "unknown option $1"; usage >&2; exit 2 ;;
    *) [[ -z "$scenario" ]] || { say "more than one scenario given: $scenario and $1"; exit 2; }
       scenario="$(absolute "$1")"
       [[ -f "$scenario" ]] || { say "no such scenario file: $1"; exit 2; }
       shift ;;
  esac
done
[[ -n "$scenario" ]] || scenario="$repo/examples/incoming-call.scn"

cd "$repo"
say "checking the build tools (the first run installs g++, CMake, Ninja and GoogleTest; a minute or so)"
tools/install-deps.sh native >&2 </dev/null
log="$repo/build/native/run-example-build.log"
mkdir -p build/native
if [[ -x build/native/bin/bridger-sim ]]; then
  say "bringing bridger-sim up to date"
else
  say "building bridger-sim (about 30 seconds the first time; log in build/native/run-example-build.log)"
fi
if ! { cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
       cmake --build build/native --target bridger-sim -- -j2; } >"$log" 2>&1 </dev/null; then
  tail -n 30 "$log" >&2
  say "FAILED: the build did not succeed (whole log: $log)"
  exit 3
fi

name="$(basename "$scenario")"
[[ "$scenario" == - ]] && name="standard input"
say "playing $name${options[*]+ ${options[*]}}"
# Log files the bridge may write (usb0.txt, voip0.txt) land here, not in the sources.
mkdir -p build/native/example-work
cd build/native/example-work
status=0
../bin/bridger-sim ${options[@]+"${options[@]}"} "$scenario" || status=$?
case $status in
  0) say "PASSED: every expect in $name held" ;;
  1) say "FAILED: an expect in $name did not hold (named above)" ;;
  2) say "FAILED: $name has a script error (named above)" ;;
  *) say "FAILED: bridger-sim ended with status $status" ;;
esac
exit $status

#!/usr/bin/env bash
# Runs one Wine test script in the build's own prefix, headless and offline.
#   run-wine-test.sh WINE WINESERVER PREFIX BIN_DIR WORK_DIR SCRIPT [ARGS...]
set -euo pipefail
export WINE=$1 WINESERVER=$2 WINEPREFIX=$3 BIN_DIR=$4
work_root=$5 script=$6
shift 6
name=${WINE_TEST_NAME:-$(basename "$script" .sh)}

export WINEDEBUG=-all
# No Mono or Gecko installers (they would go to the network), no menu entries.
export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d"
# Headless: the prefix uses the null graphics driver; no X display may be touched.
unset DISPLAY WAYLAND_DISPLAY
# Sound goes to the run's own PulseAudio server (tests/wine/sound.sh), beside the prefix.
export PULSE_SERVER="unix:${WINEPREFIX%/}-pulse/native"

export WORK="$work_root/$name"
rm -rf "$WORK"
mkdir -p "$WORK"
cd "$WORK"
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/sound.sh"
started=$(date +%s%N)
source "$script" "$@"
finish_test "$started"

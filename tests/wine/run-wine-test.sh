#!/usr/bin/env bash
# Runs one Wine test script in the build's own prefix, headless and offline.
#   run-wine-test.sh WINE WINESERVER PREFIX BIN_DIR WORK_DIR SCRIPT [ARGS...]
set -euo pipefail
export WINE=$1 WINESERVER=$2 BIN_DIR=$4
prefix=$3 work_root=$5 script=$6
shift 6
name=${WINE_TEST_NAME:-$(basename "$script" .sh)}

export WORK="$work_root/$name"
rm -rf "$WORK"
mkdir -p "$WORK"
cd "$WORK"
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../../tools/wine-prefix.sh"
wine_env "$prefix" null
started=$(date +%s%N)
source "$script" "$@"
finish_test "$started"

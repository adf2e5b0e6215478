#!/usr/bin/env bash
# The false expects of tests/wine/checks fail on bridger-sim too, at the line each names:
# the simulation and the real build disagree on none of them.
#   false-expects.sh BRIDGER-SIM CHECKS-DIR
set -uo pipefail
sim=$1 dir=$2
count=0
for scenario in "$dir"/*.scn; do
  wanted=$(sed -n 's/^# fails-with: expected: //p' "$scenario")
  [[ -n $wanted ]] || { echo "FAIL: $scenario says nothing about how it fails"; exit 1; }
  status=0
  err=$("$sim" "$scenario" 2>&1 >/dev/null) || status=$?
  ((status == 1)) || { echo "FAIL: $scenario ended with status $status, not 1"; exit 1; }
  grep -qF "contains \"$wanted\"" <<<"$err" || { echo "FAIL: $scenario failed elsewhere: $err"; exit 1; }
  count=$((count + 1))
done
((count > 0)) || { echo "FAIL: no scenario in $dir"; exit 1; }
echo "$count false expects failed where they must"

#!/usr/bin/env bash
# The base-replug soak on the shipped Bridger.exe under Wine: the base station unplugged and
# plugged back, during calls and between them, then a last call ended at the client. Plays
# tests/wine/soak/soak-replug-wine.scn (or, given CYCLES, a freshly generated soak of that
# many cycles) through tools/play-on-wine.sh and ends with one line:
#   wine-soak: cycles N, calls N, wall time N s, pass|fail
#   tools/wine-soak.sh [CYCLES]
# Takes minutes (about 12 s a cycle), so it is not part of tools/test-all.sh.
set -uo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
soak_dir="$repo/tests/wine/soak"
work="$repo/build/wine-soak"
mkdir -p "$work"

if [[ $# -ge 1 ]]; then
  [[ $1 =~ ^[1-9][0-9]*$ ]] || { echo "usage: tools/wine-soak.sh [CYCLES]" >&2; exit 2; }
  scenario="$work/soak-replug-$1.scn"
  python3 "$soak_dir/make-soak-replug.py" "$1" >"$scenario" || exit 2
else
  scenario="$soak_dir/soak-replug-wine.scn"
fi
figures=$(sed -n 's/^# soak-figures //p' "$scenario")
cycles=$(sed -n 's/.*cycles=\([0-9]*\).*/\1/p' <<<"$figures")
calls=$(sed -n 's/.*calls=\([0-9]*\).*/\1/p' <<<"$figures")

# The build and the prefix come first, outside the timed soak.
"$repo/tools/play-on-wine.sh" "$repo/tests/wine/scenarios/startup-loopback.scn" >"$work/warm-up.out" 2>&1 \
  || { cat "$work/warm-up.out" >&2; echo "wine-soak: the real build does not start a plain scenario" >&2; exit 2; }

start=$(date +%s)
status=0
"$repo/tools/play-on-wine.sh" "$scenario" >"$work/soak.out" 2>&1 || status=$?
seconds=$(($(date +%s) - start))
if [[ $status -eq 0 ]]; then
  verdict=pass
else
  verdict=fail
  grep -E 'expect failed|play-on-wine|error' "$work/soak.out" | head -5 >&2
  echo "wine-soak: the whole transcript is in $work/soak.out" >&2
fi
echo "wine-soak: cycles $cycles, calls $calls, wall time $seconds s, $verdict"
[[ $status -eq 0 ]]

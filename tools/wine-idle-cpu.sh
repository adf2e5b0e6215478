#!/usr/bin/env bash
# Measures the processor time the shipped Bridger.exe uses under Wine in one minute with
# the base station present and idle and the client attached and quiet: plays
# tests/wine/scenarios/idle-minute.scn with tools/play-on-wine.sh and reads the bridge's
# process times from /proc over 60 s once its start-up test is over. Work that the
# wineserver does on the bridge's behalf is not counted.
#   tools/wine-idle-cpu.sh
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
exe="$repo/build/win32/bin/Bridger.exe"
"$repo/tools/play-on-wine.sh" "$repo/tests/wine/scenarios/idle-minute.scn" >"$repo/build/play-wine/idle-minute.out" 2>&1 &
player=$!
pid=""
for _ in $(seq 600); do
  for p in $(pgrep -f 'Bridger\.exe' || true); do
    # Wine pads the command line it shows with blanks.
    [[ $(tr '\0' ' ' </proc/"$p"/cmdline 2>/dev/null | sed 's/ *$//') == "$exe" ]] && pid=$p
  done
  [[ -n $pid ]] && break
  sleep 0.5
done
[[ -n $pid ]] || { echo "wine-idle-cpu: Bridger.exe did not start (see build/play-wine/idle-minute.out)"; exit 1; }
ticks() { awk '{ print $14 + $15 }' /proc/"$pid"/stat; }
sleep 8  # past the start-up link test
before=$(ticks)
sleep 60
after=$(ticks)
hz=$(getconf CLK_TCK)
wait "$player" || { echo "wine-idle-cpu: the idle scenario failed (see build/play-wine/idle-minute.out)"; exit 1; }
echo "Bridger.exe under Wine, base present and idle, 60 s: $(( (after - before) * 1000 / hz )) ms of processor time"

#!/usr/bin/env bash
# Plays scenarios against the shipped Bridger.exe under Wine: builds the Windows
# configuration, makes a Wine prefix of its own (build/play-wine) with the virtual base
# station's driver installed and the base's sound device, then lets tools/e2e-driver play
# the base and the VoIP client in real time.
set -euo pipefail

usage() {
  cat <<'EOF'
usage: tools/play-on-wine.sh SCENARIO-FILE
       tools/play-on-wine.sh --all [SCENARIO-FILE...]

SCENARIO-FILE  plays one scenario: the transcript goes to standard output, the notes, the
               checks that held or could not be made, and the verdict to standard error.
--all          plays every examples/*.scn, tests/scenarios/*.scn and tests/wine/scenarios/*.scn
               that fits in real time (at most 60 s of `run` in it) and prints a table:
               scenario, checks held, checks that cannot be made on the real build, verdict.
               Each scenario's output is kept in build/play-wine/all/. With files named,
               only those, in the same table.
Exit status: 0 every expect held (--all: in every scenario played), 1 one failed, 2 a script
error or a Wine that cannot install or start the virtual base (the message says why), 3 the
build failed.
EOF
}

say() { echo "play-on-wine: $*" >&2; }
die() { say "FAILED: $*"; exit 2; }

repo="$(cd "$(dirname "$0")/.." && pwd)"
# Scenarios longer than this (the sum of their `run` times) are left to their own runs.
max_scenario_ms=60000

all=0
scenario=""
chosen=()
case "${1:-}" in
  -h | --help) usage; exit 0 ;;
  --all)
    all=1
    shift
    for f in "$@"; do
      [[ -f $f ]] || { say "no scenario $f"; exit 2; }
      chosen+=("$(realpath "$f")")
    done
    ;;
  "" | -*) usage >&2; exit 2 ;;
  *)
    [[ $# -eq 1 ]] || { usage >&2; exit 2; }
    scenario=$1
    [[ $scenario == /* ]] || scenario="$PWD/$scenario"
    [[ -f $scenario ]] || { say "no scenario $1"; exit 2; }
    ;;
esac

cd "$repo"
work="$repo/build/play-wine"
mkdir -p "$work"
log="$work/setup.log"
: >"$log"

say "checking the packages (the first run installs mingw-w64, Wine and the rest; a few minutes)"
tools/install-deps.sh windows >&2 </dev/null
say "building the Windows configuration (log in build/play-wine/build.log)"
build=build/win32
if ! { cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake &&
       cmake --build $build --target Bridger e2e-driver base-device bridger-base -- -j2; } >"$work/build.log" 2>&1 </dev/null; then
  grep -E 'error|Error|FAILED' "$work/build.log" | head -n 30 >&2 || tail -n 30 "$work/build.log" >&2
  say "FAILED: the build did not succeed (whole log: build/play-wine/build.log)"
  exit 3
fi
bin="$repo/$build/bin"

source "$repo/tools/wine-prefix.sh"
fail() { die "$*"; }
wine_env "$work/prefix" null
cleanup() {
  "$WINESERVER" -k 2>/dev/null || true
  sound_stop
}
trap cleanup EXIT
prefix_ready "$log"
base_device_install "$bin" "$log"

# play SCENARIO WORK-DIR: the driver's exit status; its log files land in WORK-DIR.
play() {
  rm -rf "$2"
  mkdir -p "$2"
  local status=0
  (cd "$2" && "$WINE" "$bin/e2e-driver.exe" "$bin/Bridger.exe" "$1") || status=$?
  return $status
}

if ((!all)); then
  name=$(basename "$scenario")
  say "playing $name"
  status=0
  play "$scenario" "$work/work" || status=$?
  case $status in
    0) say "PASSED: every expect in $name held" ;;
    1) say "FAILED: an expect in $name did not hold on the real build (named above)" ;;
    2) say "FAILED: $name has a script error (or a command the real build cannot play)" ;;
    3) die "the virtual base or Bridger.exe could not start (see above)" ;;
    *) die "e2e-driver.exe did not run under Wine (exit $status)" ;;
  esac
  exit $status
fi

# --all: every scenario file, found afresh each run.
scenario_ms() { awk '$1 == "run" { ms += $2 } END { print ms + 0 }' "$1"; }
out="$work/all"
rm -rf "$out"
mkdir -p "$out"
table="$out/table.md"
{
  echo "| scenario | scenario time | checks held | cannot be made on the real build | verdict |"
  echo "|---|---|---|---|---|"
} >"$table"
started=$(date +%s)
played=0 failed=() skipped=() unplayable=()
((${#chosen[@]})) || chosen=(examples/*.scn tests/scenarios/*.scn tests/wine/scenarios/*.scn)
for file in "${chosen[@]}"; do
  file=$(realpath --relative-to="$repo" "$file")
  ms=$(scenario_ms "$file")
  why=$(sed -n 's/^# not played on the real build: //p' "$file" | head -1)
  if [[ -n $why ]]; then
    printf '%-58s %3d s  not played: %s\n' "$file" $((ms / 1000)) "$why"
    echo "| \`$file\` | $((ms / 1000)) s | - | all: $why | not played |" >>"$table"
    unplayable+=("$file")
    continue
  fi
  if ((ms > max_scenario_ms)); then
    skipped+=("$file ($((ms / 1000)) s)")
    continue
  fi
  key=$(sed 's#^tests/##; s#/#-#g; s#\.scn$##' <<<"$file")
  status=0
  play "$repo/$file" "$out/$key.work" >"$out/$key.out" 2>"$out/$key.err" || status=$?
  played=$((played + 1))
  held=$(sed -n 's/^e2e-driver: checks held \([0-9]*\),.*/\1/p' "$out/$key.err")
  unseen=$(sed -n 's/^e2e-driver: checks held [0-9]*, not checkable on the real build \([0-9]*\)$/\1/p' "$out/$key.err")
  why=$(sed -n 's/^e2e-driver:   \([0-9]*\)x \([^(]*\) (.*/\1 \2/p' "$out/$key.err" | sed 's/ *$//' | paste -sd, - | sed 's/,/, /g')
  case $status in
    0) verdict=pass ;;
    1) verdict="FAIL: $(grep -m1 -E ': (expected|not expected): ' "$out/$key.err" | sed 's/^[^:]*:[0-9]*: //')" ;;
    *) verdict="FAIL (exit $status)" ;;
  esac
  ((status == 0)) || failed+=("$file")
  printf '%-58s %3d s  held %3s  cannot %2s  %s\n' "$file" $((ms / 1000)) "${held:-?}" "${unseen:-?}" "$verdict"
  echo "| \`$file\` | $((ms / 1000)) s | ${held:-?} | ${unseen:-?}${why:+ ($why)} | $verdict |" >>"$table"
done
minutes=$((($(date +%s) - started + 30) / 60))
for s in "${skipped[@]}"; do say "not played (longer than $((max_scenario_ms / 1000)) s of scenario time): $s"; done
say "table in build/play-wine/all/table.md; each scenario's transcript and notes beside it"
if ((${#failed[@]})); then
  say "FAILED: ${#failed[@]} of $played scenarios on the real build: ${failed[*]} (about $minutes min)"
  exit 1
fi
say "PASSED: $played scenarios on the real build, every check that can be made from outside held; ${#unplayable[@]} not playable in real time (about $minutes min)"

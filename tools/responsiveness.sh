#!/usr/bin/env bash
# Measures how long the shipped Bridger.exe keeps its VoIP client, its user and its base
# waiting, under Wine with the virtual HID base plugged in (tools/responsiveness/Figures.cpp
# says what is timed), and its processor time while idle. Prints one line per figure.
#   tools/responsiveness.sh [--bridger EXE] [--quick] [--idle-only] [--seed N] [--idle-seconds S]
# --bridger measures another build of Bridger.exe (for instance one built from an older
# commit) with this tree's tools; --quick takes a few samples of each figure only;
# --idle-only measures the idle processor time alone.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
die() { echo "responsiveness: $*" >&2; exit 2; }

bridger="" tool_args=()
while (($#)); do
  case $1 in
    --bridger) bridger=$(realpath "$2"); shift 2 ;;
    --quick | --idle-only) tool_args+=("$1"); shift ;;
    --seed | --idle-seconds) tool_args+=("$1" "$2"); shift 2 ;;
    *) die "usage: tools/responsiveness.sh [--bridger EXE] [--quick] [--idle-only] [--seed N] [--idle-seconds S]" ;;
  esac
done

cd "$repo"
tools/install-deps.sh windows
build=build/win32
cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
      >/dev/null 2>&1 || die "the Windows build cannot be configured"
cmake --build $build --target Bridger responsiveness base-device bridger-base -- -j2 >/dev/null \
  || die "the Windows build failed"
bin="$repo/$build/bin"
[[ -n $bridger ]] || bridger="$bin/Bridger.exe"
[[ -f $bridger ]] || die "no $bridger"

work="$repo/build/responsiveness"
mkdir -p "$work"
source "$repo/tools/wine-prefix.sh"
say() { echo "responsiveness: $*" >&2; }
fail() { die "$*"; }
wine_env "$work/prefix" null
tool_pid=""
cleanup() {
  [[ -n $tool_pid ]] && kill "$tool_pid" 2>/dev/null
  "$WINESERVER" -k 2>/dev/null || true
  sound_stop
}
trap cleanup EXIT
log="$work/setup.log"
: >"$log"
prefix_ready "$log"
# The tool plugs the base itself.
base_device_install "$bin" "$log"

out="$work/run-$(date -u +%Y%m%d-%H%M%S).out"
echo "responsiveness: measuring $bridger (transcript in $out)" >&2
"$WINE" "$bin/responsiveness.exe" "${tool_args[@]}" "$bridger" >"$out" &
tool_pid=$!

# The bridge's processor time over the idle phase, from /proc (the wineserver's work on its
# behalf is not counted).
exe_name=$(basename "$bridger")
bridger_pid() {
  local p first
  for p in $(pgrep -f "$exe_name" || true); do
    # The bridge itself, not the measuring client that has its path as an argument.
    first=$(tr '\0' '\n' </proc/"$p"/cmdline 2>/dev/null | head -1)
    [[ ${first,,} == *"${exe_name,,}" ]] && { echo "$p"; return; }
  done
}
ticks() { awk '{ print $14 + $15 }' /proc/"$1"/stat; }
wait_phase() {
  while kill -0 "$tool_pid" 2>/dev/null; do
    grep -q "^phase idle-cpu $1" "$out" && return 0
    sleep 0.05
  done
  return 1
}
cpu=""
if wait_phase begin; then
  pid=$(bridger_pid)
  [[ -n $pid ]] || die "the bridge's process was not found"
  before=$(ticks "$pid") start=$(date +%s%N)
  if wait_phase end; then
    after=$(ticks "$pid") ms=$((($(date +%s%N) - start) / 1000000))
    cpu="figure idle cpu=$(((after - before) * 1000 / $(getconf CLK_TCK))) ms of processor time in $ms ms"
  fi
fi
status=0
wait "$tool_pid" || status=$?
tool_pid=""
echo "responsiveness: $(date -u '+%F %H:%M UTC'), $("$WINE" --version), $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg), Bridger.exe $(sha256sum "$bridger" | cut -c1-12)"
grep '^figure ' "$out" || true
[[ -n $cpu ]] && echo "$cpu"
((status == 0)) || die "the measuring client failed (exit $status; see $out)"

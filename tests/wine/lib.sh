# Helpers of the Wine test scripts (sourced by run-wine-test.sh).

declare -a BG_PIDS=()

say() { echo "[$(date +%T)] $*"; }

# Prints what the test left behind, so a failure explains itself.
show_outputs() {
  local f
  for f in "$WORK"/*.out; do
    [[ -e $f ]] || continue
    echo "---- $(basename "$f")"
    cat "$f"
  done
}

fail() {
  echo "FAIL: $*"
  show_outputs
  exit 1
}

cleanup() {
  local pid left=0
  for pid in "${BG_PIDS[@]}"; do
    if kill -0 "$pid" 2>/dev/null; then
      left=1
      kill "$pid" 2>/dev/null || true
    fi
  done
  # Whatever a failed test left running in the prefix must not meet the next test.
  if ((left)); then "$WINESERVER" -k 2>/dev/null || true; fi
}
trap cleanup EXIT

# start NAME EXE ARGS...: runs a Windows program in the background; its output goes to
# NAME.out and its pid to the variable NAME_PID.
start() {
  local name=$1 exe=$2
  shift 2
  "$WINE" "$exe" "$@" >"$WORK/$name.out" 2>&1 &
  local pid=$!
  BG_PIDS+=("$pid")
  printf -v "${name//-/_}_PID" '%s' "$pid"
  say "started $name ($(basename "$exe") $*) pid $pid"
}

# wait_line FILE REGEX SECONDS: waits until a line of FILE matches.
wait_line() {
  local file=$1 regex=$2 deadline=$((SECONDS + $3))
  while ((SECONDS < deadline)); do
    grep -qE -- "$regex" "$file" 2>/dev/null && return 0
    sleep 0.2
  done
  return 1
}

# wait_exit PID SECONDS: waits for a background program to end; its exit code is in
# EXIT_CODE. Fails when it does not end in time.
wait_exit() {
  local pid=$1 deadline=$((SECONDS + $2))
  while kill -0 "$pid" 2>/dev/null; do
    ((SECONDS < deadline)) || return 1
    sleep 0.2
  done
  EXIT_CODE=0
  wait "$pid" || EXIT_CODE=$?
  return 0
}

running() { kill -0 "$1" 2>/dev/null; }

# probe ARGS...: window-probe.exe, printing what it saw.
probe() {
  local out status=0
  out=$("$WINE" "$BIN_DIR/window-probe.exe" "$@" 2>&1) || status=$?
  [[ -n $out ]] && echo "$out" | sed 's/^/  probe: /'
  return $status
}

finish_test() {
  local ms=$((($(date +%s%N) - $1) / 1000000))
  say "PASS ($ms ms)"
}

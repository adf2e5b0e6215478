# Helpers of the Wine test scripts (sourced by run-wine-test.sh).

declare -a BG_PIDS=()
# The locale the Windows programs started from here on see, as `env` arguments (none: the
# run's own). Only they get it: the shell itself cannot load a locale compiled into the
# test's folder, and would warn at each change.
declare -a LOCALE_ENV=()
wine_run() { env "${LOCALE_ENV[@]}" "$@"; }

say() { echo "[$(date +%T)] $*"; }

# A machine busy with other work runs Wine several times slower (tools/test-all.sh
# --under-load): every wait for a state below may take this many times the limit written
# at it, which is what a quiet machine needs. A limit only decides how soon a failure shows.
LIMIT_SCALE=4
# How long a client stand-in stays up at most (the tests end it sooner), on the same scale.
STANDIN_MS=$((60000 * LIMIT_SCALE))

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
  # Whatever a test left running in the prefix must not meet the next test. The server
  # ends its processes and then itself in its own time: a program the next test starts
  # meanwhile would join the ending server and die with it (on a busy machine it did).
  if ((left)); then
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true
  fi
}
trap cleanup EXIT

# start NAME EXE ARGS...: runs a Windows program in the background; its output goes to
# NAME.out and its pid to the variable NAME_PID.
start() {
  local name=$1 exe=$2
  shift 2
  wine_run "$WINE" "$exe" "$@" >"$WORK/$name.out" 2>&1 &
  local pid=$!
  BG_PIDS+=("$pid")
  printf -v "${name//-/_}_PID" '%s' "$pid"
  say "started $name ($(basename "$exe") $*) pid $pid"
}

# wait_line FILE REGEX SECONDS: waits until a line of FILE matches.
wait_line() {
  local file=$1 regex=$2 deadline=$((SECONDS + $3 * LIMIT_SCALE))
  while ((SECONDS < deadline)); do
    grep -qE -- "$regex" "$file" 2>/dev/null && return 0
    sleep 0.2
  done
  return 1
}

# wait_exit PID SECONDS: waits for a background program to end; its exit code is in
# EXIT_CODE. Fails when it does not end in time.
wait_exit() {
  local pid=$1 deadline=$((SECONDS + $2 * LIMIT_SCALE))
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
  local status=0 args=() arg scale=0
  for arg in "$@"; do
    ((scale)) && arg=$((arg * LIMIT_SCALE))
    scale=0
    [[ $arg == --timeout ]] && scale=1
    args+=("$arg")
  done
  set -- "${args[@]}"
  # Into a file, not a pipe: a Wine service started along the way must not hold it open.
  wine_run "$WINE" "$BIN_DIR/window-probe.exe" "$@" >"$WORK/probe.last" 2>&1 </dev/null || status=$?
  sed 's/^/  probe: /' "$WORK/probe.last"
  return $status
}

finish_test() {
  local ms=$((($(date +%s%N) - $1) / 1000000))
  say "PASS ($ms ms)"
}

# windows_version EXE NAME: the Windows version Wine reports to that program (win2k is
# 5.0, so minor version 0; winxp is 5.1).
windows_version() {
  probe version --exe "$1" --set "$2" >/dev/null || fail "Wine cannot write the registry (version of $1)"
}

# bridger_exits SECONDS: Bridger.exe (pid in bridger_PID) ends in time.
bridger_exits() {
  wait_exit "$bridger_PID" "$1" || fail "Bridger.exe did not end within $(($1 * LIMIT_SCALE)) s"
  say "Bridger.exe ended (exit $EXIT_CODE)"
}

# exit_bridger: ends the running bridge through its Exit command, as the tray menu would.
exit_bridger() {
  probe command --id 32772 --process bridger.exe || fail "could not send Exit to Bridger.exe"
  bridger_exits 10
}

# client_attaches KIND [COMMAND]: starts a stand-in of that kind (output client.out) and
# Bridger.exe (COMMAND, if given, is sent to it first to choose the kind), and waits until
# the stand-in attached and got "Get CURRENTUSERHANDLE" and then "SET USERSTATUS ONLINE".
client_attaches() {
  local kind=$1 command=${2:-}
  start client "$BIN_DIR/client-standin.exe" --kind "$kind" --status 0 --run "$STANDIN_MS"
  wait_line "$WORK/client.out" '^ready' 20 || fail "the client stand-in did not start"
  start bridger "$BIN_DIR/Bridger.exe"
  if [[ -n $command ]]; then
    probe main --process bridger.exe --hidden --timeout 20000 || fail "no hidden main dialog"
    probe command --id "$command" --process bridger.exe || fail "could not send command $command"
  fi
  wait_line "$WORK/client.out" '^attach 0' 20 || fail "the bridge never discovered the $kind client"
  wait_line "$WORK/client.out" '^client> SET USERSTATUS ONLINE$' 10 || fail "no SET USERSTATUS ONLINE"
  local commands
  commands=$(grep '^client> ' "$WORK/client.out" | sed 's/^client> //')
  echo "$commands" | sed 's/^/  command: /'
  grep -qx 'Get CURRENTUSERHANDLE' <<<"$commands" || fail "no Get CURRENTUSERHANDLE"
  [[ $(grep -nx 'Get CURRENTUSERHANDLE' <<<"$commands" | head -1 | cut -d: -f1) -lt \
     $(grep -nx 'SET USERSTATUS ONLINE' <<<"$commands" | head -1 | cut -d: -f1) ]] \
     || fail "SET USERSTATUS ONLINE came before Get CURRENTUSERHANDLE"
  grep -q '^SET AUDIO_' <<<"$commands" && fail "audio devices were chosen on a system whose minor version is 0"
  true
}

# probe_says TEXT ARGS...: runs the probe and fails unless a line it printed begins with TEXT.
probe_says() {
  local expected=$1 line
  shift
  probe "$@" || fail "window-probe $1 failed"
  while IFS= read -r line; do
    [[ $line == "$expected"* ]] && return 0
  done <"$WORK/probe.last"
  fail "window-probe $1: expected a line beginning with '$expected'"
}

# chinese_ui_on_latin_code_page: the programs started from here on see a Traditional
# Chinese user interface on the Western ANSI code page 1252, as a Chinese-reading user of an
# English Windows would (Wine takes the UI language from LC_MESSAGES, the code page from
# LC_CTYPE). The Chinese locale is compiled into the test's own folder.
chinese_ui_on_latin_code_page() {
  zh_tw_locale "$WORK/locale"
  LOCALE_ENV=(-u LC_ALL -u LANG LOCPATH="$WORK/locale" LC_CTYPE=C.UTF-8 LC_MESSAGES=zh_TW.UTF-8)
}

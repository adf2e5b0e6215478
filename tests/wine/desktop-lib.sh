# Helpers of the desktop tests (sourced by them): desktop-probe.exe plays what Wine's desktop
# lacks, and the information window's status box says how the bridge stands.
INFO="Information R-517 V1.2 "

# desktop ARGS...: desktop-probe.exe, its output into desktop.last and shown indented.
desktop() {
  local status=0
  "$WINE" "$BIN_DIR/desktop-probe.exe" "$@" >"$WORK/desktop.last" 2>&1 </dev/null || status=$?
  sed 's/^/  desktop: /' "$WORK/desktop.last"
  return $status
}

# desktop_said REGEX: a line desktop-probe.exe printed last time matches.
desktop_said() { grep -qE -- "$1" "$WORK/desktop.last"; }

# status_becomes TEXT SECONDS: the information window's STATUS box shows TEXT in time.
status_becomes() {
  local deadline=$((SECONDS + $2))
  while ((SECONDS < deadline)); do
    "$WINE" "$BIN_DIR/window-probe.exe" text --window "$INFO" --id 1040 --process bridger.exe --timeout 2000 \
      >"$WORK/status.last" 2>&1 </dev/null || true
    grep -qxF "text \"$1\"" "$WORK/status.last" && { say "status: $1"; return 0; }
    sleep 0.3
  done
  say "status: $(cat "$WORK/status.last")"
  return 1
}

# On Windows XP (minor version 1) with no wave device named "VA6..." the base station's
# sound device is never found, so the client is never discovered, while the bridge runs on.
# The prefix's sound driver stays on, but reaches no server: Wine lists no wave device.
export PULSE_SERVER="unix:$WORK/no-server"
"$WINE" "$BIN_DIR/base-device.exe" list >"$WORK/devices.out" 2>&1 || fail "base-device.exe list failed"
grep '^wave ' "$WORK/devices.out" && fail "a wave device is listed although no sound server is reachable"
windows_version Bridger.exe winxp
start client "$BIN_DIR/client-standin.exe" --status 0 --run "$STANDIN_MS"
wait_line "$WORK/client.out" '^ready' 20 || fail "the client stand-in did not start"
start bridger "$BIN_DIR/Bridger.exe"
probe main --process bridger.exe --hidden --timeout 20000 || fail "no hidden main dialog"
sleep 4
grep -q '^discover' "$WORK/client.out" && fail "the client was discovered without the base's wave device"
running "$bridger_PID" || fail "Bridger.exe ended on its own"
exit_bridger

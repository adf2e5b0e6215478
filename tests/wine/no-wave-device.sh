# On Windows XP (minor version 1) with no wave device named "VA6..." the base station's
# sound device is never found, so the client is never discovered, while the bridge runs on.
windows_version Bridger.exe winxp
start client "$BIN_DIR/client-standin.exe" --status 0 --run 60000
wait_line "$WORK/client.out" '^ready' 20 || fail "the client stand-in did not start"
start bridger "$BIN_DIR/Bridger.exe"
probe main --process bridger.exe --hidden --timeout 20000 || fail "no hidden main dialog"
sleep 4
grep -q '^discover' "$WORK/client.out" && fail "the client was discovered without the base's wave device"
running "$bridger_PID" || fail "Bridger.exe ended on its own"
exit_bridger

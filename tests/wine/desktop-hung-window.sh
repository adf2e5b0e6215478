# A program that has stopped reading its messages does not keep the bridge from finding its
# client: the discover broadcast waits a short while for each window, not for ever.
windows_version Bridger.exe win2k   # minor version 0: discovery starts at the first device check
start hung "$BIN_DIR/desktop-probe.exe" hang --seconds 90
wait_line "$WORK/hung.out" '^hung ' 20 || fail "the hung program did not start"
start client "$BIN_DIR/client-standin.exe" --status 0 --run 60000
wait_line "$WORK/client.out" '^ready' 20 || fail "the client stand-in did not start"
start bridger "$BIN_DIR/Bridger.exe"
wait_line "$WORK/client.out" '^attach 0' 15 || fail "the bridge did not attach while a program hung"
wait_line "$WORK/client.out" '^client> SET USERSTATUS ONLINE$' 10 || fail "no SET USERSTATUS ONLINE"
running "$hung_PID" || fail "the hung program ended: the test proved nothing"
exit_bridger
kill "$hung_PID" 2>/dev/null || true
wait_exit "$hung_PID" 10 || fail "the hung program did not end"

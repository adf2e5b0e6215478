# Bridger.exe starts and stays up with its hidden dialog and its 100 ms timer running; a
# second instance shows "The application is running" and ends while the first runs on.
windows_version Bridger.exe win2k   # minor version 0: the tick's device check succeeds at once

start client "$BIN_DIR/client-standin.exe" --status 1 --run "$STANDIN_MS"
wait_line "$WORK/client.out" '^ready' 20 || fail "the client stand-in did not start"
start bridger "$BIN_DIR/Bridger.exe"

probe main --process bridger.exe --hidden --timeout 20000 || fail "no hidden main dialog"
# The discover broadcast comes from the tenth tick of timer 1001, one second after start.
wait_line "$WORK/client.out" '^discover' 15 || fail "no discover broadcast: timer 1001 is not running"
sleep 2
running "$bridger_PID" || fail "Bridger.exe ended on its own"

start second "$BIN_DIR/Bridger.exe"
probe msgbox --process bridger.exe --text "The application is running" --timeout 20000 \
  || fail "the second instance showed no \"The application is running\" box"
wait_exit "$second_PID" 10 || fail "the second instance did not end after its box was confirmed"
say "second instance ended (exit $EXIT_CODE)"
running "$bridger_PID" || fail "the first instance ended with the second"
probe main --process bridger.exe --hidden --timeout 2000 || fail "the first instance lost its main dialog"

exit_bridger
grep -q '^code 9 value 0' "$WORK/client.out" && fail "the client got the exit code although it never attached"
true

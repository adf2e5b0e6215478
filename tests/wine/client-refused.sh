# A client that refuses the attachment (status 2) ends Bridger.exe once the message box
# "Connection refused! The Appliction will be end!" is confirmed.
windows_version Bridger.exe win2k
start client "$BIN_DIR/client-standin.exe" --status 2 --run "$STANDIN_MS"
wait_line "$WORK/client.out" '^ready' 20 || fail "the client stand-in did not start"
start bridger "$BIN_DIR/Bridger.exe"
wait_line "$WORK/client.out" '^attach 2' 20 || fail "the bridge never discovered the client"
sleep 1
running "$bridger_PID" || fail "Bridger.exe ended before its message box was confirmed"
probe msgbox --process bridger.exe --text "Connection refused! The Appliction will be end!" --timeout 10000 \
  || fail "no refusal message box"
bridger_exits 10
grep -q '^client>' "$WORK/client.out" && fail "the refusing client got a command"
true

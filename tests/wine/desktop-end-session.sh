# Log-off: Windows asks every top-level window whether the session may end, tells each that
# it ends, and then ends the process at once, with no WM_CLOSE. The bridge must say yes and
# run its whole Exit while it is told: the client gets code 9, and the debug window's log
# files hold every line (they are written in blocks, so a process ended without closing
# them loses their tail). Then the same as Restart Manager does it for an installer.
source "$(dirname "${BASH_SOURCE[0]}")/desktop-lib.sh"
windows_version Bridger.exe win2k   # minor version 0: no base's sound device needed

start client "$BIN_DIR/client-standin.exe" --status 0 --run 60000
wait_line "$WORK/client.out" '^ready' 20 || fail "the client stand-in did not start"
start bridger "$BIN_DIR/Bridger.exe" QOPA   # the debug window, its log files in this folder
wait_line "$WORK/client.out" '^client> SET USERSTATUS ONLINE$' 20 || fail "the bridge never attached"
[[ -f $WORK/usb0.txt && -f $WORK/voip0.txt ]] || fail "the debug window opened no log files"

desktop endsession --process bridger.exe --kill || fail "the session could not end"
desktop_said '^query #32770: yes$' || fail "no window answered the query"
desktop_said ': no$' && fail "a window of the bridge stood in the session's way"
wait_exit "$bridger_PID" 10 || fail "Bridger.exe still runs after the session ended"
wait_line "$WORK/client.out" '^code 9 value 0$' 5 || fail "the client was not told that the bridge ended"
# Every command the client got was first written to the VoIP log ("MM:SS TEXT").
commands=$(grep -c '^client> ' "$WORK/client.out")
((commands > 0)) || fail "the client got no command"
while IFS= read -r line; do
  text=${line#client> }
  tr -d '\r' <"$WORK/voip0.txt" | grep -qE "^[0-9]{2}:[0-9]{2} $(sed 's/[][\.*^$]/\\&/g' <<<"$text")$" \
    || fail "voip0.txt lacks \"$text\": its tail was lost"
done < <(grep '^client> ' "$WORK/client.out")
say "voip0.txt holds all $commands commands; usb0.txt has $(wc -l <"$WORK/usb0.txt") lines"
wait_exit "$client_PID" 10 || fail "the client stand-in did not end"

say "-- Restart Manager closing the bridge for an installer"
start client "$BIN_DIR/client-standin.exe" --status 0 --run 60000
wait_line "$WORK/client.out" '^ready' 20 || fail "the client stand-in did not start again"
start bridger "$BIN_DIR/Bridger.exe"
wait_line "$WORK/client.out" '^client> SET USERSTATUS ONLINE$' 20 || fail "the bridge never attached"
desktop endsession --process bridger.exe --closeapp --kill || fail "Restart Manager could not close the bridge"
wait_exit "$bridger_PID" 10 || fail "Bridger.exe still runs after Restart Manager closed it"
wait_line "$WORK/client.out" '^code 9 value 0$' 5 || fail "the client was not told that the bridge ended"

# The user's session leaves the console and comes back, as the system reports it to the
# window that asked (WM_WTSSESSION_CHANGE; Wine has a single session and never sends it, so
# desktop-probe does). Away, the bridge lets the base go although it is plugged in: "USB
# Disconnected"; back, it finds the base and tests the link afresh.
source "$(dirname "${BASH_SOURCE[0]}")/desktop-lib.sh"
start driver "$BIN_DIR/e2e-driver.exe" "$BIN_DIR/Bridger.exe" "$(dirname "${BASH_SOURCE[0]}")/desktop/session-base.scn"
wait_line "$WORK/driver.out" '^[0-9]+ usb< 24240810080203040506CC' 30 || fail "the base never passed its link test"
status_becomes "USB READY" 10 || fail "the bridge is not ready"
desktop session --process bridger.exe --change 2 || fail "could not send the session change"   # console disconnect
status_becomes "USB Disconnected" 10 || fail "the bridge kept the base while its session was away"
desktop session --process bridger.exe --change 1 || fail "could not send the session change"   # console connect
wait_line "$WORK/driver.out" '^[0-9]+ usb< 24240810080304050607C7' 15 || fail "the base was not tested again once back"
status_becomes "USB READY" 10 || fail "the bridge did not take the base back"
wait_exit "$driver_PID" 60 || fail "the driver did not end"
((EXIT_CODE == 0)) || fail "the driver ended with $EXIT_CODE"

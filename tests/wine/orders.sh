# The orders the client, the user and the base meet in, on the shipped Bridger.exe with the
# virtual HID base (tools/responsiveness/Orders.cpp): the tray menu held open by a sent
# right click while calls come and go, Exit from it with the base's read outstanding, and
# the loopback and refusal boxes held open while the base sends.
#   (sourced by run-wine-test.sh)
status=0
"$WINE" "$BIN_DIR/order-check.exe" "$BIN_DIR/Bridger.exe" >"$WORK/orders.out" 2>&1 || status=$?
grep '^check ' "$WORK/orders.out" | sed 's/^/  /'
case $status in
  0) ;;
  1) fail "an order was not kept on the real build" ;;
  3) fail "the virtual base or Bridger.exe could not start" ;;
  *) fail "order-check.exe did not run under Wine (exit $status)" ;;
esac

# The virtual base station comes and goes through SetupAPI: once base-device.exe has added
# its node, SetupAPI and HID.DLL show one HID device of vendor 0x0E5E, product 0x6611, with
# its product string, and the base's sound device is listed; once removed, it is gone.
list_devices() {
  "$WINE" "$BIN_DIR/base-device.exe" list >"$WORK/devices.out" 2>&1 || fail "base-device.exe list failed"
  sed 's/^/  /' "$WORK/devices.out"
}
"$WINE" "$BIN_DIR/base-device.exe" plug "$BIN_DIR/bridger-base.inf" >"$WORK/plug.out" 2>&1 \
  || fail "Wine did not install the virtual base: $(cat "$WORK/plug.out")"
# Wine starts the device in the background: give it a few seconds the first time.
for _ in $(seq 25); do
  "$WINE" "$BIN_DIR/base-device.exe" list >"$WORK/devices.out" 2>&1 || fail "base-device.exe list failed"
  grep -q '^hid 0E5E:6611 ' "$WORK/devices.out" && break
  sleep 0.2
done
list_devices
[[ $(grep -c '^hid 0E5E:6611 "Virtual DECT base station"' "$WORK/devices.out") == 1 ]] \
  || fail "SetupAPI does not show one HID device 0E5E:6611 named \"Virtual DECT base station\""
grep -q '^wave "VA6 USB Audio"$' "$WORK/devices.out" || fail "no wave device \"VA6 USB Audio\""
"$WINE" "$BIN_DIR/base-device.exe" unplug >"$WORK/unplug.out" 2>&1 \
  || fail "Wine did not remove the virtual base: $(cat "$WORK/unplug.out")"
list_devices
grep -q '^hid 0E5E:' "$WORK/devices.out" && fail "the removed base is still listed"
grep -q '^base nodes 0$' "$WORK/devices.out" || fail "a device node of the base is left"
true

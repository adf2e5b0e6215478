# The virtual base station comes and goes through SetupAPI: once base-device.exe has added
# its node, SetupAPI and HID.DLL show one HID device of vendor 0x0E5E, product 0x6611, with
# its product string, and the base's sound device is listed; once removed, it is gone.
list_devices() {
  "$WINE" "$BIN_DIR/base-device.exe" list >"$WORK/devices.out" 2>&1 || fail "base-device.exe list failed"
  sed 's/^/  /' "$WORK/devices.out"
}
base_device_plug "$BIN_DIR" "$WORK/devices.out" "$WORK/plug.out"
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

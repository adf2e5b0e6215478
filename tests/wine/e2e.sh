# Plays one scenario against Bridger.exe with e2e-driver.exe as its VoIP client and its base
# station (the virtual HID device of tools/base-device, added and removed by the scenario);
# the driver prints the transcript and the latencies it measured.
#   (sourced by run-wine-test.sh) SCENARIO
scenario=$1
[[ -f $scenario ]] || fail "no scenario $scenario"
say "scenario $scenario"
status=0
"$WINE" "$BIN_DIR/e2e-driver.exe" "$BIN_DIR/Bridger.exe" "$scenario" >"$WORK/driver.out" 2>&1 || status=$?
sed 's/^/  /' "$WORK/driver.out"
case $status in
  0) ;;
  1) fail "an expect of $scenario did not hold on the real build" ;;
  2) fail "$scenario has a script error (or a command the real build cannot play)" ;;
  3) fail "the virtual base or Bridger.exe could not start (see above)" ;;
  *) fail "e2e-driver.exe did not run under Wine (exit $status): Wine cannot start it" ;;
esac
grep '^latency-sample ' "$WORK/driver.out" >"$WORK/latency.samples" || true

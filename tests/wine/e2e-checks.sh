# The driver's checks can fail: each scenario of tests/wine/checks expects something the
# real bridge does not show (a status, status 2 where the window's "USB READY" is 8's, a
# control's text, a balloon, a log line), and the driver must end with status 1 naming that
# expect. A check that cannot fail checks nothing. (bridger-sim fails them at the same
# lines: sim.false-expects.)
#   (sourced by run-wine-test.sh)
checks_dir="$(dirname "${BASH_SOURCE[0]}")/checks"
count=0
for scenario in "$checks_dir"/*.scn; do
  name=$(basename "$scenario" .scn)
  wanted=$(sed -n 's/^# fails-with: //p' "$scenario")
  [[ -n $wanted ]] || fail "$name.scn says nothing about how it fails"
  say "scenario $name (must fail with: $wanted)"
  status=0
  "$WINE" "$BIN_DIR/e2e-driver.exe" "$BIN_DIR/Bridger.exe" "$scenario" >"$WORK/$name.out" 2>"$WORK/$name.err" || status=$?
  sed 's/^/  /' "$WORK/$name.err"
  ((status == 1)) || fail "$name.scn ended with status $status, not 1: a false expect held"
  grep -qF -- ": $wanted" "$WORK/$name.err" || fail "$name.scn failed, but not at: $wanted"
  count=$((count + 1))
done
((count > 0)) || fail "no scenario in $checks_dir"
say "$count false expects failed as they must"

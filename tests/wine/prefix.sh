# Creates the build's own Wine prefix once: null graphics driver, no audio driver (so no
# wave device exists unless a test brings one), no network installers.
stamp="$WINEPREFIX/.bridger-prefix"
version=$("$WINE" --version 2>/dev/null) || fail "Wine cannot start: '$WINE --version' failed"
if [[ -f $stamp && $(cat "$stamp") == "$version" ]]; then
  say "prefix $WINEPREFIX is ready ($version)"
else
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  say "creating $WINEPREFIX with $version"
  "$WINE" wineboot -i >"$WORK/wineboot.out" 2>&1 || fail "Wine cannot start: wineboot failed"
  "$WINESERVER" -w
  reg_set 'HKCU\Software\Wine\Drivers' Graphics null
  reg_set 'HKCU\Software\Wine\Drivers' Audio ""
  echo "$version" >"$stamp"
fi
# One wineserver for the whole run, and Wine's services started under it with no pipe of
# ours to hold: each test then finds them up already. wine.shutdown ends them.
"$WINESERVER" -p >/dev/null 2>&1 </dev/null || true
"$WINE" wineboot >"$WORK/wineboot-services.out" 2>&1 </dev/null || fail "Wine cannot start its services"
# Proves that a program of ours runs in it at all.
status=0
probe main --timeout 0 >/dev/null 2>&1 || status=$?
((status == 1)) || fail "Wine cannot run window-probe.exe (exit $status)"

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
# Proves that a program of ours runs in it at all.
status=0
probe main --timeout 0 >/dev/null 2>&1 || status=$?
((status == 1)) || fail "Wine cannot run window-probe.exe (exit $status)"
# One wineserver for the whole run: each test then finds Wine's own services up already.
# wine.shutdown ends it.
"$WINESERVER" -p 2>/dev/null || true

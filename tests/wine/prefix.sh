# Creates the build's own Wine prefix once: null graphics driver, Wine's PulseAudio driver
# (whose one server of the run brings the base's sound device), no network installers; then
# starts that server.
stamp="$WINEPREFIX/.bridger-prefix"
version=$("$WINE" --version 2>/dev/null) || fail "Wine cannot start: '$WINE --version' failed"
version="$version, sound by pulse"  # a prefix made with other settings is made again
if [[ -f $stamp && $(cat "$stamp") == "$version" ]]; then
  say "prefix $WINEPREFIX is ready ($version)"
else
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  say "creating $WINEPREFIX with $version"
  "$WINE" wineboot -i >"$WORK/wineboot.out" 2>&1 || fail "Wine cannot start: wineboot failed"
  "$WINESERVER" -w
  reg_set 'HKCU\Software\Wine\Drivers' Graphics null
  reg_set 'HKCU\Software\Wine\Drivers' Audio pulse
  echo "$version" >"$stamp"
fi
sound_start || fail "no sound server for the base's sound device"
# One wineserver for the whole run, and Wine's services started under it with no pipe of
# ours to hold: each test then finds them up already. wine.shutdown ends them.
"$WINESERVER" -p >/dev/null 2>&1 </dev/null || true
"$WINE" wineboot >"$WORK/wineboot-services.out" 2>&1 </dev/null || fail "Wine cannot start its services"
# Proves that a program of ours runs in it at all.
status=0
probe main --timeout 0 >/dev/null 2>&1 || status=$?
((status == 1)) || fail "Wine cannot run window-probe.exe (exit $status)"

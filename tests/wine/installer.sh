# The installer, as a user meets it: packed from this build, installed into a fresh
# prefix of its own, then uninstalled while the installed bridge runs; nothing may be
# left (files, Start-menu entry, registry). Once silently, once through its pages.
#   (sourced by run-wine-test.sh, its prefix given to this test alone) CPACK BUILD_DIR VERSION
cpack=$1 build_dir=$2 version=$3
info_title="Information R-517 V1.2 "
installer_title="Bridger $version Setup"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Bridger'
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
drive_c="$WINEPREFIX/drive_c"
installed="$drive_c/Program Files/Bridger"

# This prefix has a wineserver of its own: end it whatever happens.
trap 'cleanup; "$WINESERVER" -k 2>/dev/null || true' EXIT

# reg_query KEY [/v NAME]: the key's values, without carriage returns; fails if absent.
reg_query() { "$WINE" reg query "$@" 2>/dev/null </dev/null | tr -d '\r'; }
shortcut() { find "$drive_c" -path '*/Start Menu/Programs/Bridger.lnk' 2>/dev/null; }

check_installed() {
  cmp -s "$installed/Bridger.exe" "$BIN_DIR/Bridger.exe" || fail "Program Files\\Bridger\\Bridger.exe is missing or not this build's"
  [[ -f "$installed/Uninstall.exe" ]] || fail "no Program Files\\Bridger\\Uninstall.exe"
  say "installed: $(cd "$installed" && ls | tr '\n' ' ')"
  [[ -n $(shortcut) ]] || fail "no Start-menu entry Bridger.lnk"
  say "Start-menu entry: $(shortcut | sed "s|^$drive_c/||")"
  local entry
  entry=$(reg_query "$uninstall_key") || fail "no uninstall entry $uninstall_key"
  echo "$entry" | grep . | sed 's/^/  /'
  grep -qE "DisplayName +REG_SZ +Bridger$" <<<"$entry" || fail "the uninstall entry has no DisplayName Bridger"
  grep -qE "DisplayVersion +REG_SZ +$version$" <<<"$entry" || fail "the uninstall entry's DisplayVersion is not $version"
  grep -qF 'Program Files\Bridger\Uninstall.exe' <<<"$entry" || fail "the uninstall entry names no uninstaller"
}

# Uninstalls silently while the bridge (bridger_PID) runs and checks that nothing is left.
uninstall_and_check() {
  say "silent uninstall while Bridger runs"
  # The uninstaller copies itself to a temporary folder, starts the copy and returns; the
  # copy does the work. Its first step ends the bridge.
  local status=0 deadline
  "$WINE" "$installed/Uninstall.exe" /S >"$WORK/uninstall.out" 2>&1 </dev/null || status=$?
  ((status == 0)) || fail "the uninstaller ended with exit code $status"
  if [[ " ${BG_PIDS[*]} " == *" $bridger_PID "* ]]; then
    bridger_exits 30
  else
    deadline=$((SECONDS + 30))
    while running "$bridger_PID"; do
      ((SECONDS < deadline)) || fail "Bridger.exe did not end within 30 s"
      sleep 0.2
    done
    say "Bridger.exe ended"
  fi
  deadline=$((SECONDS + 60))
  while [[ -e $installed ]] && ((SECONDS < deadline)); do sleep 0.5; done
  [[ -e $installed ]] && fail "Program Files\\Bridger is still there: $(ls "$installed")"
  # Whatever else runs in the prefix ends now (the caller's step, if given).
  [[ -z ${1:-} ]] || "$1"
  # Every program of the prefix ends, so its registry is written out to its files.
  timeout 60 "$WINESERVER" -w || fail "programs still run in the prefix after the uninstall"
  [[ -z $(shortcut) ]] || fail "the Start-menu entry is still there"
  local left
  left=$(grep -i -n 'bridger' "$WINEPREFIX"/*.reg || true)
  [[ -z $left ]] || fail "the registry still names Bridger: $left"
  reg_query "$uninstall_key" >/dev/null && fail "the uninstall entry is still there"
  reg_query "$run_key" /v Bridger >/dev/null && fail "the log-in entry is still there"
  say "nothing is left: no files, no Start-menu entry, nothing in the registry"
}

# started_by_the_shell WHAT: the running Bridger.exe was started by the desktop's shell, at
# the user's own rights, not by the (elevated) installer.
started_by_the_shell() {
  "$WINE" "$BIN_DIR/desktop-probe.exe" parent --process bridger.exe >"$WORK/parent.out" 2>&1 </dev/null || true
  grep -qx 'parent explorer.exe' "$WORK/parent.out" \
    || fail "the finish page started $1 itself, with the installer's rights ($(cat "$WORK/parent.out"))"
  say "$1 was started by the desktop's shell"
}

say "packing the installer"
(cd "$build_dir" && "$cpack" -B "$WORK/package") >"$WORK/cpack.out" 2>&1 \
  || fail "CPack could not make the installer (is NSIS installed? tools/install-deps.sh windows)"
installer="$WORK/package/Bridger-$version-win64.exe"
[[ -f $installer ]] || fail "no $installer"

# No sound driver: nothing here plays or lists sound.
prefix_fresh "" "$WORK/wineboot.out"

say "-- silent install"
status=0
"$WINE" "$installer" /S >"$WORK/install.out" 2>&1 </dev/null || status=$?
((status == 0)) || fail "the silent install ended with exit code $status"
check_installed
# A silent install asks nothing and starts nothing.
reg_query "$run_key" /v Bridger >/dev/null && fail "the silent install added a log-in entry"
probe main --process bridger.exe --timeout 0 >/dev/null && fail "the silent install started Bridger"
start_installed() {
  say "starting the installed Bridger.exe"
  start bridger "$installed/Bridger.exe"
  probe window --title "$info_title" --process bridger.exe --timeout 20000 || fail "no information window"
  probe main --process bridger.exe --hidden --timeout 5000 || fail "no hidden main dialog"
}
start_installed
# Installing again (an update) first ends the running bridge, whose file it replaces.
say "silent install over the running bridge"
status=0
"$WINE" "$installer" /S >"$WORK/install-again.out" 2>&1 </dev/null || status=$?
((status == 0)) || fail "the second silent install ended with exit code $status"
bridger_exits 30
check_installed
# In debug mode, started from its own folder, the bridge writes its log files there; the
# uninstaller removes them with the folder. A client is attached this time: the bridge
# tells it when it ends, which shows that the uninstaller made it run its whole Exit.
# (Minor version 0: the bridge's device check passes at once, with no base's sound device.
# The test's own setting, removed again before the registry is checked.)
windows_version Bridger.exe win2k
start client "$BIN_DIR/client-standin.exe" --status 0 --run "$((2 * STANDIN_MS))"
wait_line "$WORK/client.out" '^ready' 20 || fail "the client stand-in did not start"
pushd "$installed" >/dev/null
start bridger "$installed/Bridger.exe" QOPA
popd >/dev/null
probe main --process bridger.exe --hidden --timeout 20000 || fail "no hidden main dialog"
wait_line "$WORK/client.out" '^attach 0' 20 || fail "the installed bridge never attached to the client"
deadline=$((SECONDS + 10))
until [[ -f $installed/usb0.txt && -f $installed/voip0.txt ]]; do
  ((SECONDS < deadline)) || fail "the debug mode wrote no log files into Program Files\\Bridger"
  sleep 0.2
done
end_client() {
  wait_line "$WORK/client.out" '^code 9 value 0' 10 || fail "the client was not told that the bridge ended"
  wait_exit "$client_PID" 10 || fail "the client stand-in did not end"
  say "the client was told (code 9) and ended"
  "$WINE" reg delete 'HKCU\Software\Wine\AppDefaults\Bridger.exe' /f >/dev/null 2>&1 </dev/null \
    || fail "cannot remove the test's Windows version setting"
}
uninstall_and_check end_client

say "-- install through the pages, with the finish page's defaults"
start installer "$installer"
probe click --title "$installer_title" --id 1 --timeout 20000 || fail "no welcome page"   # Next
sleep 1
probe click --title "$installer_title" --id 1 --timeout 10000 || fail "no folder page"    # Install
# The finish page runs the Setup mode, which says that the installation is complete.
probe window --title Setup --process bridger.exe --timeout 30000 || fail "the finish page did not run Bridger.exe VOIP"
started_by_the_shell Setup
probe click --title Setup --id 1 --process bridger.exe || fail "the Setup dialog has no OK button"
probe click --title "$installer_title" --id 1 --timeout 10000 || fail "no finish page"    # Finish
wait_exit "$installer_PID" 30 || fail "the installer did not end after Finish"
((EXIT_CODE == 0)) || fail "the installer ended with exit code $EXIT_CODE"
check_installed
# Both of the finish page's offers are taken by default: the bridge starts now and at log-in.
login=$(reg_query "$run_key" /v Bridger) || fail "no log-in entry"
grep -qF '"C:\Program Files\Bridger\Bridger.exe"' <<<"$login" || fail "the log-in entry does not start Bridger.exe: $login"
say "log-in entry: $(grep -F Bridger.exe <<<"$login" | sed 's/^ *//')"
probe window --title "$info_title" --process bridger.exe --timeout 20000 || fail "the finish page did not start Bridger"
probe main --process bridger.exe --hidden --timeout 5000 || fail "no hidden main dialog"
started_by_the_shell Bridger
# The bridge was started by the installer, not by this script: find its Wine process.
bridger_PID=$(pgrep -f 'Program Files.Bridger.Bridger\.exe' | head -1) || true
[[ -n $bridger_PID ]] || fail "the started Bridger.exe is not among the processes"
uninstall_and_check
true

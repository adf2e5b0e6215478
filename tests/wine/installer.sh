# The installer, as a user meets it: packed from this build, installed silently into a
# fresh prefix of its own, the installed Bridger.exe started, then uninstalled silently
# while it runs. Nothing may be left: files, Start-menu entry, registry.
#   (sourced by run-wine-test.sh, its prefix given to this test alone) CPACK BUILD_DIR VERSION
cpack=$1 build_dir=$2 version=$3
info_title="Information R-517 V1.2 "
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Bridger'
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'

# This prefix has a wineserver of its own: end it whatever happens.
trap 'cleanup; "$WINESERVER" -k 2>/dev/null || true' EXIT

say "packing the installer"
(cd "$build_dir" && "$cpack" -B "$WORK/package") >"$WORK/cpack.out" 2>&1 \
  || fail "CPack could not make the installer (is NSIS installed? tools/install-deps.sh windows)"
installer="$WORK/package/Bridger-$version-win64.exe"
[[ -f $installer ]] || fail "no $installer"

say "creating a fresh prefix $WINEPREFIX"
"$WINESERVER" -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
"$WINE" wineboot -i >"$WORK/wineboot.out" 2>&1 </dev/null || fail "Wine cannot create the prefix"
"$WINESERVER" -w
reg_set 'HKCU\Software\Wine\Drivers' Graphics null
reg_set 'HKCU\Software\Wine\Drivers' Audio ""
"$WINESERVER" -w

# reg_query KEY [/v NAME]: the key's values, without carriage returns; fails if absent.
reg_query() { "$WINE" reg query "$@" 2>/dev/null </dev/null | tr -d '\r'; }

drive_c="$WINEPREFIX/drive_c"
installed="$drive_c/Program Files/Bridger"
shortcut_of() { find "$drive_c" -path '*/Start Menu/Programs/Bridger.lnk' 2>/dev/null; }

say "silent install"
status=0
"$WINE" "$installer" /S >"$WORK/install.out" 2>&1 </dev/null || status=$?
((status == 0)) || fail "the silent install ended with exit code $status"
cmp -s "$installed/Bridger.exe" "$BIN_DIR/Bridger.exe" || fail "Program Files\\Bridger\\Bridger.exe is missing or not this build's"
[[ -f "$installed/Uninstall.exe" ]] || fail "no Program Files\\Bridger\\Uninstall.exe"
say "installed: $(cd "$installed" && ls | tr '\n' ' ')"
[[ -n $(shortcut_of) ]] || fail "no Start-menu entry Bridger.lnk"
say "Start-menu entry: $(shortcut_of | sed "s|^$drive_c/||")"
entry=$(reg_query "$uninstall_key") || fail "no uninstall entry $uninstall_key"
echo "$entry" | sed 's/^/  /'
grep -qE "DisplayName +REG_SZ +Bridger$" <<<"$entry" || fail "the uninstall entry has no DisplayName Bridger"
grep -qE "DisplayVersion +REG_SZ +$version$" <<<"$entry" || fail "the uninstall entry's DisplayVersion is not $version"
grep -qF 'Program Files\Bridger\Uninstall.exe' <<<"$entry" || fail "the uninstall entry names no uninstaller"
# A silent install asks nothing, so it adds no log-in entry.
reg_query "$run_key" /v Bridger >/dev/null && fail "the silent install added a log-in entry"

say "starting the installed Bridger.exe"
start bridger "$installed/Bridger.exe"
probe window --title "$info_title" --process bridger.exe --timeout 20000 || fail "no information window"
probe main --process bridger.exe --hidden --timeout 5000 || fail "no hidden main dialog"
# The log-in entry, as the finish page's check box writes it: the uninstaller removes it.
reg_set "$run_key" Bridger '"C:\Program Files\Bridger\Bridger.exe"'

say "silent uninstall while Bridger runs"
# The uninstaller copies itself to a temporary folder, starts the copy and returns; the
# copy does the work. Its first step ends the bridge.
status=0
"$WINE" "$installed/Uninstall.exe" /S >"$WORK/uninstall.out" 2>&1 </dev/null || status=$?
((status == 0)) || fail "the uninstaller ended with exit code $status"
bridger_exits 30
deadline=$((SECONDS + 60))
while [[ -e $installed ]] && ((SECONDS < deadline)); do sleep 0.5; done
[[ -e $installed ]] && fail "Program Files\\Bridger is still there: $(ls "$installed")"
# Every program of the prefix ends, so its registry is written out to its files.
timeout 60 "$WINESERVER" -w || fail "programs still run in the prefix after the uninstall"
say "everything in the prefix has ended"

[[ -z $(shortcut_of) ]] || fail "the Start-menu entry is still there"
left=$(grep -i -n 'bridger' "$WINEPREFIX"/*.reg || true)
[[ -z $left ]] || fail "the registry still names Bridger: $left"
reg_query "$uninstall_key" >/dev/null && fail "the uninstall entry is still there"
reg_query "$run_key" /v Bridger >/dev/null && fail "the log-in entry is still there"
say "nothing is left: no files, no Start-menu entry, nothing in the registry"
true

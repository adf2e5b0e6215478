# The windows read back from outside: the program's texts arrive whole as Unicode on a
# code page that cannot hold them, the information window's read-only boxes show their
# text from the first character, and Enter or Esc never loses the information or the debug
# window: the command that opens it shows it again.
INFO="Information R-517 V1.2 "
DEBUG_WINDOW="Bridger-1.2.40"
SETUP_TEXT="安裝完成,如須Skype軟體,請到Skype官方網站下載,可按下面的按鈕連結"

probe_says "acp 1252 ui 0409" codepage

say "the Setup dialog (Chinese only) in an English session on code page 1252"
start bridger "$BIN_DIR/Bridger.exe" VOIP
probe_says "text \"$SETUP_TEXT\"" text --window Setup --id -1 --process bridger.exe --timeout 20000
probe key --window Setup --key enter --process bridger.exe || fail "could not press Enter in Setup"
bridger_exits 10

say "the information and debug windows"
start bridger "$BIN_DIR/Bridger.exe" QOPA
probe_says 'text "NOT READY"' text --window "$INFO" --id 1031 --process bridger.exe --timeout 20000
probe_says "first-visible 0 of 9" firstchar --window "$INFO" --id 1031 --process bridger.exe
probe_says "first-visible 0 of 16" firstchar --window "$INFO" --id 1040 --process bridger.exe
for key in esc enter; do
  probe key --window "$INFO" --key $key --process bridger.exe || fail "could not press $key"
  probe gone --window "$INFO" --process bridger.exe --timeout 5000 || fail "$key left the information window"
  probe command --id 32774 --process bridger.exe || fail "could not send Info"
  probe shown --window "$INFO" --process bridger.exe --timeout 5000 || fail "Info did not show the window after $key"
  probe_says "first-visible 0 of 9" firstchar --window "$INFO" --id 1031 --process bridger.exe

  probe key --window "$DEBUG_WINDOW" --key $key --process bridger.exe || fail "could not press $key"
  probe gone --window "$DEBUG_WINDOW" --process bridger.exe --timeout 5000 || fail "$key left the debug window"
  probe command --id 32773 --process bridger.exe || fail "could not send the debug command"
  probe shown --window "$DEBUG_WINDOW" --process bridger.exe --timeout 5000 \
    || fail "the debug command did not show the window after $key"
done
exit_bridger

say "a Chinese user interface on code page 1252: information window and message box"
chinese_ui_on_latin_code_page
probe_says "acp 1252 ui 0404" codepage
windows_version Bridger.exe win2k
start client "$BIN_DIR/client-standin.exe" --status 2 --run "$STANDIN_MS"
wait_line "$WORK/client.out" '^ready' 20 || fail "the client stand-in did not start"
start bridger "$BIN_DIR/Bridger.exe"
probe_says 'text "未就緒"' text --window "$INFO" --id 1031 --process bridger.exe --timeout 20000
probe_says 'text "USB 未連接"' text --window "$INFO" --id 1040 --process bridger.exe
probe_says 'text "連線被拒絕! 程式即將結束!"' text --window Bridger --id -1 --process bridger.exe --timeout 20000
probe msgbox --process bridger.exe --timeout 5000 || fail "could not confirm the refusal box"
bridger_exits 10
true

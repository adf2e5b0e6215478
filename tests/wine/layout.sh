# Every control of every dialog lies inside its dialog's client area, in English and in
# Traditional Chinese: first each template of Bridger.exe made on its own (its texts, and
# the run-time texts of its labels and boxes, must fit their controls), then the windows of
# the running bridge, the options sheet's page inside its tab included.
INFO="Information R-517 V1.2 "
DEBUG_WINDOW="Bridger-1.2.40"

# The run-time texts: the settings page relabels two radios (strings 117, 122); the
# information window's boxes show "READY" or "NOT READY" (8, 9) and the status texts.
probe templates --exe "$BIN_DIR/Bridger.exe" --relabel 163:1055=117 --relabel 163:1056=122 \
  --relabel 144:1031=8,9 --relabel 144:1040=3,4,5,6,7,120,123,132 \
  || fail "a template's control leaves it or its text does not fit"
grep -q '^checked dialog 163 lang 0404' "$WORK/probe.last" || fail "the Chinese settings page was not checked"
grep -q '^checked dialog 163 lang 0409' "$WORK/probe.last" || fail "the English settings page was not checked"

# open_options_sheet_on_a_base LANGUAGE-NAME: the options sheet is reachable only while a
# base is present: e2e-driver.exe plugs the virtual HID base in and plays the client.
open_options_sheet_on_a_base() {
  start driver "$BIN_DIR/e2e-driver.exe" "$BIN_DIR/Bridger.exe" \
    "$(dirname "${BASH_SOURCE[0]}")/scenarios/options-sheet-open.scn"
  probe shown --window "$1" --process bridger.exe --timeout 30000 || fail "the options sheet did not open"
}

# live_windows OPTIONS-CAPTION: the information, debug, About and Setup windows and the
# options sheet of the session's language.
live_windows() {
  start bridger "$BIN_DIR/Bridger.exe" QOPA
  probe shown --window "$INFO" --process bridger.exe --timeout 20000 || fail "no information window"
  probe shown --window "$DEBUG_WINDOW" --process bridger.exe --timeout 5000 || fail "no debug window"
  probe layout --process bridger.exe || fail "a control leaves its window"
  probe syscommand --window "$DEBUG_WINDOW" --id 16 --process bridger.exe || fail "could not open About"
  probe shown --window "About Bridger" --process bridger.exe --timeout 5000 || fail "no About box"
  probe layout --process bridger.exe || fail "a control of the About box leaves it"
  probe key --window "About Bridger" --key enter --process bridger.exe || fail "could not close About"
  exit_bridger

  start bridger "$BIN_DIR/Bridger.exe" VOIP
  probe shown --window Setup --process bridger.exe --timeout 20000 || fail "no Setup dialog"
  probe layout --process bridger.exe || fail "a control of the Setup dialog leaves it"
  probe key --window Setup --key enter --process bridger.exe || fail "could not close Setup"
  bridger_exits 10

  open_options_sheet_on_a_base "$1"
  probe layout --process bridger.exe || fail "the options page does not fit its sheet"
  grep -q "^checked \"$1\"" "$WORK/probe.last" || fail "the options sheet was not checked"
  wait_exit "$driver_PID" 60 || fail "the driver did not end"
}

say "English, code page 1252"
live_windows Options

say "Traditional Chinese, code page 950"
zh_tw_locale "$WORK/locale"
LOCALE_ENV=(LOCPATH="$WORK/locale" LC_ALL=zh_TW.UTF-8)
probe_says "acp 950 ui 0404" codepage
live_windows "選項"
true

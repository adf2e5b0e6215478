# The manifest at work under Wine: the bridge runs with the version 6 common controls, and
# Windows 10, which a program that declares it is told as 10.0, still chooses the base's
# sound device at the client (the minor version 0 alone would have passed for Vista).
source "$(dirname "${BASH_SOURCE[0]}")/desktop-lib.sh"
windows_version Bridger.exe win10
start client "$BIN_DIR/client-standin.exe" --status 0 --run 60000
wait_line "$WORK/client.out" '^ready' 20 || fail "the client stand-in did not start"
start bridger "$BIN_DIR/Bridger.exe"
probe main --process bridger.exe --hidden --timeout 20000 || fail "no hidden main dialog"
desktop modules --process bridger.exe || fail "no common-controls library in Bridger.exe"
# Wine's two builds of the library carry one version resource; the side-by-side assembly it
# was loaded from tells them apart.
desktop_said '^comctl32 .*\\winsxs\\[^\\]*microsoft\.windows\.common-controls_6595b64144ccf1df_6\.' \
  || fail "the common controls are not version 6"
# The base's sound device is the run's PulseAudio sink "VA6 USB Audio".
wait_line "$WORK/client.out" '^attach 0' 20 || fail "the bridge never discovered the client"
wait_line "$WORK/client.out" '^client> SET AUDIO_IN VA6' 10 || fail "Windows 10 did not choose the base's sound device"
wait_line "$WORK/client.out" '^client> SET AUDIO_OUT VA6' 10 || fail "no SET AUDIO_OUT"
exit_bridger

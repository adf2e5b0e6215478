# Explorer starts again: the bridge's icon goes back into the new notification area, with
# the same id, callback and tip, and asks for today's callback; the menu key on the icon
# then opens its menu. (Wine's null driver has no notification area at all: desktop-probe
# plays the new one and broadcasts "TaskbarCreated" as Explorer does.)
source "$(dirname "${BASH_SOURCE[0]}")/desktop-lib.sh"
start bridger "$BIN_DIR/Bridger.exe"
probe main --process bridger.exe --hidden --timeout 20000 || fail "no hidden main dialog"
desktop tray --process bridger.exe --menu --timeout 10000 || fail "the icon did not come back"
desktop_said '^add id 128 callback 1124 flags 0x7$' || fail "the icon came back with another id, callback or flags"
desktop_said '^setversion id 128$' || fail "the icon did not ask for today's callback"
desktop_said '^menu open$' || fail "the menu key on the icon opened no menu"
say "a second restart brings it back again"
desktop tray --process bridger.exe --timeout 10000 || fail "the icon did not come back a second time"
running "$bridger_PID" || fail "Bridger.exe ended"
exit_bridger

# The same with the SoftPhone kind, chosen through command 32776 (its menu command).
windows_version Bridger.exe win2k
start skype "$BIN_DIR/client-standin.exe" --kind skype --status 1 --run "$STANDIN_MS"
client_attaches softphone 32776
sleep 1
grep -q '^client> SEARCH FRIENDS' "$WORK/client.out" && fail "SoftPhone was asked for its contacts"
grep -q '^client>' "$WORK/skype.out" && fail "the Skype client got a command after the switch"
exit_bridger

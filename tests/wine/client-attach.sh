# Bridger.exe attaches to a Skype-kind client with no base station present, on a system
# whose minor version code is 0 (the device check passes without a wave device).
windows_version Bridger.exe win2k
client_attaches skype
wait_line "$WORK/client.out" '^client> SEARCH FRIENDS$' 10 || fail "no SEARCH FRIENDS after the attachment"
exit_bridger
wait_line "$WORK/client.out" '^code 9 value 0$' 5 || fail "the client did not get code 9 at exit"

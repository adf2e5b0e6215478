# Creates the build's own Wine prefix once (null graphics driver, Wine's PulseAudio driver,
# no network installers) and starts it: its sound server and Wine's services under one
# wineserver for the whole run. wine.shutdown ends them.
prefix_ready "$WORK/wineboot.out"
# Proves that a program of ours runs in it at all.
status=0
probe main --timeout 0 >/dev/null 2>&1 || status=$?
((status == 1)) || fail "Wine cannot run window-probe.exe (exit $status)"

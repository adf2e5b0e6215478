# Ends the wineserver that wine.prefix kept running, with whatever still runs under it, and
# the sound server.
"$WINESERVER" -k 2>/dev/null || true
"$WINESERVER" -w 2>/dev/null || true
say "wineserver ended"
sound_stop
say "sound server ended"

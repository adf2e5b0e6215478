# Ends the wineserver that wine.prefix kept running, with whatever still runs under it.
"$WINESERVER" -k 2>/dev/null || true
"$WINESERVER" -w 2>/dev/null || true
say "wineserver ended"

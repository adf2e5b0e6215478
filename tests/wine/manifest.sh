#!/usr/bin/env bash
# Bridger.exe carries its application manifest as resource 1 of type 24, where Windows looks
# for it when the process starts: the common controls 6, per-monitor DPI awareness, asInvoker
# and the Windows versions it declares.
#   manifest.sh WINDRES BRIDGER_EXE
set -euo pipefail
windres=$1 exe=$2
rc=$("$windres" -i "$exe" -O rc 2>/dev/null | sed -n '/^1 24 /,/^END/p') || true
[[ -n $rc ]] || { echo "FAIL: $exe has no manifest (resource 1 of type 24)"; exit 1; }
bad=0
check() {
  if grep -qF -- "$1" <<<"$rc"; then echo "found: $1"; else echo "FAIL: missing $1"; bad=1; fi
}
check 'name=""Microsoft.Windows.Common-Controls"" version=""6.0.0.0""'
check 'level=""asInvoker""'
check '>PerMonitorV2, System</dpiAwareness>'
check '>true</dpiAware>'
for os in 35138b9a-5d96-4fbd-8e2d-a2440225f93a 4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 \
          1f676c76-80e1-4239-95bb-83d0f6d0da78 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
  check 'supportedOS Id=""{'"$os"'}""'
done
exit $bad

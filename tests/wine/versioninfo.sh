#!/usr/bin/env bash
# Bridger.exe carries the project's version in its version resource, as numbers and texts.
#   versioninfo.sh WINDRES BRIDGER_EXE VERSION
set -euo pipefail
windres=$1 exe=$2 version=$3
rc=$("$windres" -i "$exe" -O rc 2>/dev/null | sed -n '/VERSIONINFO/,$p') || true
[[ -n $rc ]] || { echo "FAIL: $exe has no version resource"; exit 1; }
IFS=. read -r major minor patch <<<"$version"
bad=0
check() {
  if grep -qF -- "$1" <<<"$rc"; then echo "found: $1"; else echo "FAIL: missing $1"; bad=1; fi
}
check "FILEVERSION $major, $minor, $patch, 0"
check "PRODUCTVERSION $major, $minor, $patch, 0"
check "VALUE \"FileVersion\", \"$version\""
check "VALUE \"ProductVersion\", \"$version\""
check "VALUE \"ProductName\", \"Bridger\""
check "VALUE \"OriginalFilename\", \"Bridger.exe\""
grep -qE 'VALUE "FileDescription", "[^"]+"' <<<"$rc" || { echo "FAIL: no file description"; bad=1; }
exit $bad

#!/usr/bin/env bash
# bridger-sim's command line: the transcript on stdout and in --transcript FILE, a
# scenario from stdin, and the exit statuses 0, 1 and 2 with file and line on stderr.
#   cli-test.sh BRIDGER-SIM
set -uo pipefail
sim="$1"
# The statuses must hold as they are, in a sanitizer build too: no leak-checker settings.
unset LSAN_OPTIONS ASAN_OPTIONS
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
check() {  # check DESCRIPTION EXPECTED-STATUS ACTUAL-STATUS [GREP-PATTERN FILE]
  local what="$1" want="$2" got="$3"
  if [[ "$got" != "$want" ]]; then
    echo "FAIL: $what: exit $got, expected $want"; failures=$((failures + 1)); return
  fi
  if [[ $# -ge 5 ]] && ! grep -q -- "$4" "$5"; then
    echo "FAIL: $what: '$4' not in $5:"; cat "$5"; failures=$((failures + 1))
  fi
}

printf 'base plug\nrun 5000\nexpect status 2 USB READY\n' > ok.scn
"$sim" --transcript saved.txt ok.scn > out.txt 2> err.txt
check "held scenario" 0 $?
cmp -s out.txt saved.txt || { echo "FAIL: --transcript differs from stdout"; failures=$((failures + 1)); }
[[ -s err.txt ]] && { echo "FAIL: stderr not empty"; cat err.txt; failures=$((failures + 1)); }

"$sim" - < ok.scn > stdin.txt 2> err.txt
check "scenario from stdin" 0 $?
cmp -s out.txt stdin.txt || { echo "FAIL: stdin run differs"; failures=$((failures + 1)); }

printf 'base plug\nrun 100\nexpect status 2 USB READY\n' > fail.scn
"$sim" fail.scn > /dev/null 2> err.txt
check "failed expect" 1 $? 'fail.scn:3: expect failed' err.txt

printf 'run 100\nbase wobble\n' > bad.scn
"$sim" bad.scn > out.txt 2> err.txt
check "script error" 2 $? "bad.scn:2: error: unknown command 'base wobble'" err.txt
[[ -s out.txt ]] && { echo "FAIL: a script error still ran the bridge"; failures=$((failures + 1)); }

printf 'expect status 2\n' | "$sim" --lang fr - > /dev/null 2> err.txt
check "bad language" 2 $? 'usage:' err.txt
"$sim" missing.scn > /dev/null 2> err.txt
check "missing file" 2 $? 'missing.scn: error: cannot read' err.txt

printf 'base plug\nrun 5000\nexpect status 2\n' | "$sim" --lang zh-TW - > zh.txt 2> err.txt
check "Chinese texts" 0 $?
grep -q 'status 2 USB READY' zh.txt && { echo "FAIL: English status text with --lang zh-TW"; failures=$((failures + 1)); }

exit $((failures > 0))

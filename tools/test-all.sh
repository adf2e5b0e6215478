#!/usr/bin/env bash
# Builds both configurations and runs every test:
#   native (g++, ASan + UBSan): unit tests and scenarios on the headless platform;
#   Windows (mingw-w64 cross build): Bridger.exe and its tests under Wine.
# The builds' own output goes to logs under build/; the console shows what runs, the tests
# and, at the end, one verdict line.
set -euo pipefail

usage() {
  cat <<'EOF'
usage: tools/test-all.sh [--under-load]

Installs the Debian packages that are missing, builds the native and the Windows
configurations and runs every test. Ends with one line: "test-all: PASSED: ..." or
"test-all: FAILED: ..." (exit status 0 or 1).
  --under-load   only the Windows part, with the machine kept busy while its tests run
                 (stress-ng with four processor and two disk workers), as on a CI machine
                 shared with other work; the native tests have no real-time part
EOF
}

say() { echo "test-all: $*"; }

load=0
case "${1:-}" in
  "") ;;
  --under-load) load=1 ;;
  -h | --help) usage; exit 0 ;;
  *) usage >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.."
jobs=2
mkdir -p build

say "checking the Debian packages (a fresh machine installs compilers, mingw-w64, Wine and the rest: several minutes)"
tools/install-deps.sh windows
((load)) && tools/install-deps.sh load

# build NAME DIR CMAKE-ARGS...: configures and builds into DIR; its output in build/test-all-NAME.log.
build() {
  local name=$1 dir=$2 log=build/test-all-$1.log
  shift 2
  say "building the $name configuration (log in $log)"
  if ! { cmake -S . -B "$dir" -G Ninja "$@" && cmake --build "$dir" -- -j$jobs; } >"$log" 2>&1 </dev/null; then
    grep -E 'error|Error|FAILED' "$log" | head -n 30 || tail -n 30 "$log"
    say "FAILED: the $name build did not succeed (whole log: $log)"
    exit 1
  fi
}

# tests DIR [CTEST-ARGS...]: runs CTest; sets COUNT, FAILED_COUNT and FAILED_NAMES.
tests() {
  local dir=$1 out status=0
  shift
  out=$(mktemp)
  ctest --test-dir "$dir" --output-on-failure "$@" 2>&1 | tee "$out" || status=$?
  COUNT=$(sed -n 's/.* tests failed out of \([0-9]*\)$/\1/p' "$out" | tail -1)
  FAILED_COUNT=$(sed -n 's/.*, \([0-9]*\) tests failed out of [0-9]*$/\1/p' "$out" | tail -1)
  FAILED_NAMES=$(sed -n '/^The following tests FAILED:/,$ s/^[[:space:]]*[0-9]* - \([^ ]*\) .*/\1/p' "$out" | paste -sd' ' -)
  rm -f "$out"
  [[ -n $COUNT ]] || { COUNT=0; FAILED_COUNT=1; FAILED_NAMES="(CTest did not run: status $status)"; }
}

verdict=()
failed=0
native=0

if ((!load)); then
  build native build/native-test -DCMAKE_BUILD_TYPE=Debug -DBRIDGER_SANITIZE=ON
  say "native tests"
  tests build/native-test -j$jobs
  native=$COUNT
  if ((FAILED_COUNT)); then
    failed=1
    verdict+=("$FAILED_COUNT of $native native tests failed ($FAILED_NAMES)")
  fi
fi

build Windows build/win32 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
stress=""
stop_load() {
  if [[ -n $stress ]]; then
    kill -TERM "$stress" 2>/dev/null || true
    wait "$stress" 2>/dev/null || true
    stress=""
  fi
}
trap stop_load EXIT
if ((load)); then
  say "keeping the machine busy while the Windows tests run: stress-ng --cpu 4 --io 2"
  stress-ng --cpu 4 --io 2 --timeout 3h --quiet &
  stress=$!
fi
say "Windows tests under Wine$( ((load)) && echo ", under load")"
started=$(date +%s)
tests build/win32
windows=$COUNT
stop_load
say "the Windows tests took $(($(date +%s) - started)) s"
if ((FAILED_COUNT)); then
  failed=1
  verdict+=("$FAILED_COUNT of $windows Windows tests failed ($FAILED_NAMES)")
fi

# CTest shows a passing test's output only in its log: the latency figures belong in this
# run's output whatever the verdict.
say "latency of the real build (wine.latency)"
awk '/^[0-9]+\/[0-9]+ Test: wine\.latency$/ { test = 1 }
     test && /^Output:/ { out = 1; getline; next }
     out && /^<end of output>/ { exit }
     out { print "  " $0 }' build/win32/Testing/Temporary/LastTest.log 2>/dev/null | grep . \
  || echo "  (wine.latency left no output)"

if ((failed)); then
  say "FAILED: $(IFS=';'; echo "${verdict[*]}" | sed 's/;/; /g')"
  exit 1
fi
if ((load)); then
  say "PASSED: $windows Windows tests under load"
else
  say "PASSED: $native native, $windows Windows tests"
fi

#!/usr/bin/env bash
# Long runs of the real bridge on the headless platform, not part of the test run:
#   tools/soak.sh [NAME...]
#   base-replug     the base unplugged and plugged back 100 times, in and between calls
#   client-vanish   the client vanishing during a call and coming back, 50 times
#   base-silent     the base saying nothing for ten minutes
#   logs-readonly   the debug window open with its log folder read-only, ten calls
#   memory          a virtual day, a call every ten minutes: the heap after each hour
#   memory-debug    the same day with the debug window open: what its lists gain per hour
# Without a NAME all of them run. The four scenarios are tests/soak/*.scn (written by
# tools/soak/make-soaks.py); each ends with a call that rings, is answered and is ended.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${SOAK_BUILD:-build/native-test}  # the configuration tools/test-all.sh builds
names=("$@")
((${#names[@]})) || names=(base-replug client-vanish base-silent logs-readonly memory memory-debug)

tools/install-deps.sh native
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRIDGER_SANITIZE=ON >/dev/null
cmake --build "$build" -- -j2 bridger-sim bridger-memday
sim=$root/$build/bin/bridger-sim
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT

play() {  # NAME [RUNNER...]: plays tests/soak/soak-NAME.scn, prints its figures
    local name=$1; shift
    local start end
    start=$(date +%s.%N)
    if "$@" "$sim" "$root/tests/soak/soak-$name.scn" >"$work/$name.out" 2>"$work/$name.err"; then
        end=$(date +%s.%N)
        printf '%-14s passed: %s expects, %s transcript lines, %s s virtual, %.1f s wall\n' "$name" \
            "$(grep -c '^expect ' "$root/tests/soak/soak-$name.scn")" "$(wc -l <"$work/$name.out")" \
            "$(($(tail -n1 "$work/$name.out" | cut -d' ' -f1) / 1000))" "$(awk "BEGIN{print $end - $start}")"
    else
        echo "$name FAILED:"; cat "$work/$name.err"; return 1
    fi
}

status=0
for name in "${names[@]}"; do
    case $name in
        base-replug|client-vanish|base-silent)
            (cd "$work" && play "$name") || status=1 ;;
        logs-readonly)
            # A folder the bridge may not write to; root writes anywhere, so the run drops to nobody.
            mkdir -p "$work/readonly" && chmod 555 "$work/readonly"
            runner=()
            if [[ $(id -u) -eq 0 ]]; then
                chmod o+rx "$work" && runner=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
            fi
            (cd "$work/readonly" && play logs-readonly "${runner[@]}") || status=1 ;;
        memory)
            (cd "$work" && "$root/$build/bin/bridger-memday") || status=1 ;;
        memory-debug)
            mkdir -p "$work/logs" && (cd "$work/logs" && "$root/$build/bin/bridger-memday" --debug-window) || status=1 ;;
        *) echo "unknown soak: $name"; status=2 ;;
    esac
done
exit $status

#!/usr/bin/env bash
# Plays one scenario against the shipped Bridger.exe under Wine: builds the Windows
# configuration, makes a Wine prefix of its own (build/play-wine) with the virtual base
# station's driver installed and the base's sound device, then lets tools/e2e-driver play
# the base and the VoIP client in real time.
#   tools/play-on-wine.sh SCENARIO-FILE
# Exit status as bridger-sim's: 0 every expect held, 1 one failed, 2 a script error, and 2
# as well when Wine cannot install or start the virtual base (the message says why).
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
[[ $# -eq 1 ]] || { echo "usage: tools/play-on-wine.sh SCENARIO-FILE" >&2; exit 2; }
scenario=$1
[[ $scenario == /* ]] || scenario="$PWD/$scenario"
[[ -f $scenario ]] || { echo "play-on-wine: no scenario $scenario" >&2; exit 2; }

die() { echo "play-on-wine: $*" >&2; exit 2; }

cd "$repo"
tools/install-deps.sh windows
build=build/win32
cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
      >/dev/null 2>&1 || die "the Windows build cannot be configured"
cmake --build $build --target Bridger e2e-driver base-device bridger-base -- -j2 >/dev/null \
  || die "the Windows build failed"
bin="$repo/$build/bin"

export WINEPREFIX="$repo/build/play-wine/prefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d"
export PULSE_SERVER="unix:$repo/build/play-wine/pulse/native"
unset DISPLAY WAYLAND_DISPLAY
WINE=$(command -v wine) || die "Wine is not installed"
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
source "$repo/tests/wine/sound.sh"
cleanup() {
  "$WINESERVER" -k 2>/dev/null || true
  sound_stop
}
trap cleanup EXIT

log="$repo/build/play-wine/setup.log"
mkdir -p "$repo/build/play-wine"
stamp="$WINEPREFIX/.bridger-prefix"
version="$("$WINE" --version 2>/dev/null), sound by pulse" || die "Wine cannot start"
if [[ ! -f $stamp || $(cat "$stamp") != "$version" ]]; then
  echo "play-on-wine: creating the Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$WINE" wineboot -i >"$log" 2>&1 || die "wineboot failed (see $log)"
  "$WINESERVER" -w
  "$WINE" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f >>"$log" 2>&1 || die "cannot set the graphics driver"
  "$WINE" reg add 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d pulse /f >>"$log" 2>&1 || die "cannot set the sound driver"
  echo "$version" >"$stamp"
fi
sound_start >>"$log" 2>&1 || die "the sound server for the base's sound device did not start (see $log)"
"$WINESERVER" -p >/dev/null 2>&1 </dev/null || true
"$WINE" wineboot >>"$log" 2>&1 </dev/null || die "Wine cannot start its services (see $log)"

# The driver goes in, shows the base, and comes out again: the scenario plugs it itself.
"$WINE" "$bin/base-device.exe" plug "$bin/bridger-base.inf" >>"$log" 2>&1 \
  || die "Wine cannot install the virtual base station (see $log)"
# Wine starts the device in the background: give it a few seconds the first time.
for _ in $(seq 25); do
  "$WINE" "$bin/base-device.exe" list >"$repo/build/play-wine/devices.txt" 2>>"$log" || die "cannot list the devices"
  grep -q '^hid 0E5E:6611 ' "$repo/build/play-wine/devices.txt" && break
  sleep 0.2
done
grep -q '^hid 0E5E:6611 ' "$repo/build/play-wine/devices.txt" \
  || die "the virtual base station was installed but Wine shows no HID device 0E5E:6611"
grep -q '^wave "VA6 USB Audio"' "$repo/build/play-wine/devices.txt" \
  || die "Wine lists no wave device \"VA6 USB Audio\" (see $log)"
"$WINE" "$bin/base-device.exe" unplug >>"$log" 2>&1 || die "Wine cannot remove the virtual base station (see $log)"

status=0
"$WINE" "$bin/e2e-driver.exe" "$bin/Bridger.exe" "$scenario" || status=$?
case $status in
  0 | 1 | 2) exit $status ;;
  3) die "the virtual base or Bridger.exe could not start (see above)" ;;
  *) die "e2e-driver.exe did not run under Wine (exit $status)" ;;
esac

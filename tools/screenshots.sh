#!/usr/bin/env bash
# Pictures of every window of the real Bridger.exe, as a user sees them: an English session
# (ANSI code page 1252) and a Traditional Chinese one (code page 950) under Wine, on a
# virtual X display with a small window manager, at 96 DPI (100 % scaling) and at 144 DPI
# (150 %). Writes docs/screenshots/*.png: NAME-LANG.png and NAME-LANG-144.png.
#   tools/screenshots.sh [BUILD-DIR]     (default build/win32; built first when missing)
# BRIDGER_SCREEN_DISPLAY picks the X display (default :57).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build/win32}
[[ $build == /* ]] || build=$root/$build
out=$root/docs/screenshots
bin=$build/bin
work=$build/screenshots
display=${BRIDGER_SCREEN_DISPLAY:-:57}

# ---- what it needs ----

install_tools() {
  tools/install-deps.sh windows
  # A window manager, a CJK font, the X tools that find, raise and photograph windows and
  # turn the pictures into PNG, the sources of the zh_TW locale, and Python for the balloon's
  # mask.
  local packages=(openbox fonts-wqy-microhei x11-apps xdotool netpbm locales python3) missing=() p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [[ $(id -u) -ne 0 ]] && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

build_if_needed() {
  local exe
  for exe in Bridger window-probe client-standin e2e-driver base-device; do
    [[ -x $bin/$exe.exe ]] || break
  done
  [[ -x $bin/$exe.exe && -f $bin/bridger-base.inf ]] && return
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
  cmake --build "$build" -- -j2
}

source "$root/tools/wine-prefix.sh"
source "$root/tools/screenshots/camera.sh"
say() { echo "$*"; }
fail() { echo "$*"; exit 1; }

declare -a PIDS=()
cleanup() {
  local pid
  "${WINESERVER:-wineserver}" -k 2>/dev/null || true
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  sound_stop
}
trap cleanup EXIT

start_display() {
  # A white desktop: what is black in a picture is a window not yet painted.
  # Room for the options sheet at 150 %.
  Xvfb "$display" -screen 0 1600x1200x24 -wr -nolisten tcp >"$work/xvfb.log" 2>&1 &
  PIDS+=($!)
  export DISPLAY=$display
  local i
  for i in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.2; done
  xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb did not start on $display"
  openbox >"$work/openbox.log" 2>&1 &
  PIDS+=($!)
  sleep 1
}

# A prefix of the pictures' own, with Wine's X11 driver (the tests' prefix has none) and
# its PulseAudio driver, which lists the sound server's sink as the base's wave-out device.
make_prefix() {
  wine_env "$work/prefix" x11
  prefix_ready "$work/wineboot.log"
  # Font linking as on a Windows with East Asian fonts: the Latin dialog fonts fall back to
  # the CJK font for the characters they lack.
  local face
  for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" System "MS Sans Serif" "Microsoft Sans Serif"; do
    "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
      /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
  done
  # Minor version 0: the bridge selects no audio device, so it need not wait for one.
  probe version --exe Bridger.exe --set win2k
  # e2e-driver.exe plugs the base in itself later.
  base_device_install "$bin" "$work/base-device.log"
  zh_tw_locale "$work/locale"
}

# ---- sessions, programs and windows ----

# dpi 96|144: the display scaling of the programs started from here on (Wine's LogPixels;
# its programs read it when they start). The pictures taken at 144 carry "-144" in their name.
dpi() {
  end_wine_programs
  "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  "$WINESERVER" -w
  DPI=$1
  SUFFIX=$([[ $1 == 96 ]] || echo "-$1")
  echo "== $1 DPI"
}

# scaled PIXELS: the length at the current DPI.
scaled() { echo $(($1 * DPI / 96)); }

# session en|zh: the language and code page of the programs started from here on.
session() {
  LANG_TAG=$1
  PIC_TAG=$1$SUFFIX
  # As make_prefix left them: the driver of the options sheet's run reports its own version
  # to the bridge and plugs the virtual base in.
  probe version --exe Bridger.exe --set win2k >/dev/null
  "$WINE" "$bin/base-device.exe" unplug >>"$work/base-device.log" 2>&1 || true
  unset LANG LC_MESSAGES LC_CTYPE
  if [[ $1 == zh ]]; then
    export LOCPATH=$work/locale
    export LC_ALL=zh_TW.UTF-8 2>/dev/null
  else
    unset LOCPATH
    export LC_ALL=C.UTF-8
  fi
  echo "== session $1: $(probe codepage)"
}

probe() { "$WINE" "$bin/window-probe.exe" "$@" 2>/dev/null; }

# run_bg NAME EXE ARGS...: a Windows program in the background.
run_bg() {
  local name=$1
  shift
  "$WINE" "$@" >"$work/$name.out" 2>&1 &
  PIDS+=($!)
}

end_wine_programs() {
  "$WINESERVER" -k 2>/dev/null || true
  sleep 1
}

# start_bridge_with_base SCENARIO: Bridger with a base station present, so that the options
# sheet can open: e2e-driver.exe plugs the virtual HID base in and plays it and the client
# from the scenario.
BASE_PROCESS=bridger.exe
start_bridge_with_base() {
  run_bg driver "$bin/e2e-driver.exe" "$bin/Bridger.exe" "$1"
}

declare -a MISSED=()
missed() { MISSED+=("$1"); }

INFO="Information R-517 V1.2 "
DEBUG_WINDOW="Bridger-1.2.40"

# ---- the pictures ----

# The information window, the tray menu and a balloon, with a client attached.
main_windows() {
  local lang=$PIC_TAG
  run_bg client "$bin/client-standin.exe" --status 0 --run 60000
  sleep 1
  run_bg bridger "$bin/Bridger.exe"
  probe shown --window "$INFO" --process bridger.exe --timeout 20000 >/dev/null
  # Out of the way of the notification area, where the balloon and the menu show: in the
  # other half of the screen, wherever the window manager put the notification area.
  find_tray
  move_window "$INFO" $((ICON_X < 800 ? 900 : 100)) $((ICON_Y < 600 ? 700 : 100))
  # The balloon of the attachment shows by the tray icon (and goes after 5 s).
  shoot_balloon "balloon-$lang" || missed "balloon-$lang"  # and waits until it is gone
  probe text --window "$INFO" --id 1031 --process bridger.exe
  reshoot "info-$lang" "$INFO" reopen_info || missed "info-$lang"
  # The tray menu: a right click on the icon.
  balloon_gone
  xdotool mousemove "$ICON_X" "$ICON_Y" click 3
  sleep 1
  shoot_region "tray-menu-$lang" $((ICON_X - $(scaled 10))) $((ICON_Y - $(scaled 10))) $(scaled 160) $(scaled 110)
  xdotool key Escape
  end_wine_programs
}

# The debug window with lines in both logs, and its About box (English only). Started
# first, the debug window is the bridge's first window: under Wine's X11 driver the
# windows a process opens after it are at times left unpainted, hence a run of its own.
debug_windows() {
  run_bg client "$bin/client-standin.exe" --status 0 --run 60000
  sleep 1
  run_bg bridger "$bin/Bridger.exe" QOPA
  probe shown --window "$DEBUG_WINDOW" --process bridger.exe --timeout 20000 >/dev/null
  sleep 7  # the balloon of the attachment is gone
  probe click --window "$DEBUG_WINDOW" --id 1003 --process bridger.exe >/dev/null  # "Write": a device-log line
  shoot "debug-$PIC_TAG" "$DEBUG_WINDOW" || missed "debug-$PIC_TAG"
  open_about
  reshoot "about-$PIC_TAG" "About Bridger" reopen_about || missed "about-$PIC_TAG"
  end_wine_programs
}

# Esc closes the information window, Info opens a new one.
reopen_info() {
  probe key --window "$INFO" --key esc --process bridger.exe >/dev/null
  probe gone --window "$INFO" --process bridger.exe --timeout 5000 >/dev/null
  probe command --id 32774 --process bridger.exe >/dev/null
  probe shown --window "$INFO" --process bridger.exe --timeout 5000 >/dev/null
  move_window "$INFO" 40 40
}

open_about() {
  probe syscommand --window "$DEBUG_WINDOW" --id 16 --process bridger.exe >/dev/null
  # Not there in time on a busy machine: shooting it fails, and reshoot opens it again.
  probe shown --window "About Bridger" --process bridger.exe --timeout 10000 >/dev/null || true
}

reopen_about() {
  probe key --window "About Bridger" --key enter --process bridger.exe >/dev/null
  probe gone --window "About Bridger" --process bridger.exe --timeout 5000 >/dev/null
  open_about
}

setup_dialog() {
  run_bg bridger "$bin/Bridger.exe" VOIP
  probe shown --window Setup --process bridger.exe --timeout 20000 >/dev/null
  move_window Setup 40 40
  shoot "setup-$PIC_TAG" Setup || missed "setup-$PIC_TAG"
  end_wine_programs
}

# box NAME CONTROL: the message box that the page's action CONTROL brings, photographed
# and confirmed (and brought again while it stays unpainted).
box() {
  local attempt
  for attempt in 1 2 3; do
    action "$2"
    probe shown --window Bridger --process "$BASE_PROCESS" --timeout 8000 >/dev/null || {
      echo "no message box for $1"
      return 1
    }
    if shoot "$1-$PIC_TAG" Bridger; then
      probe msgbox --process "$BASE_PROCESS" --timeout 2000 >/dev/null
      return 0
    fi
    probe msgbox --process "$BASE_PROCESS" --timeout 2000 >/dev/null
    sleep 0.5
  done
  return 1
}

# action CONTROL: the settings page's radio CONTROL, then its OK button.
action() {
  probe click --window "$OPTIONS" --id "$1" --process "$BASE_PROCESS" >/dev/null
  sleep 0.3
  probe click --window "$OPTIONS" --id 1026 --process "$BASE_PROCESS" >/dev/null
}

options_sheet() {
  OPTIONS=$([[ $LANG_TAG == zh ]] && echo "選項" || echo Options)
  start_bridge_with_base "$root/tools/screenshots/healthy-base.scn"
  probe shown --window "$OPTIONS" --process "$BASE_PROCESS" --timeout 30000 >/dev/null
  sleep 1
  shoot "options-$PIC_TAG" "$OPTIONS" || missed "options-$PIC_TAG"
  box msgbox-delete-finished 1017 || missed "msgbox-delete-finished-$PIC_TAG"
  box msgbox-loopback-ok 1055 || missed "msgbox-loopback-ok-$PIC_TAG"
  end_wine_programs

  start_bridge_with_base "$root/tools/screenshots/silent-base.scn"
  probe shown --window "$OPTIONS" --process "$BASE_PROCESS" --timeout 30000 >/dev/null
  box msgbox-loopback-fail 1055 || missed "msgbox-loopback-fail-$PIC_TAG"
  box msgbox-no-reply 1016 || missed "msgbox-no-reply-$PIC_TAG"
  end_wine_programs
}

install_tools
build_if_needed
mkdir -p "$work" "$out"
start_display
make_prefix
for d in 96 144; do
  dpi "$d"
  for lang in en zh; do
    session "$lang"
    main_windows
    [[ $lang == en ]] && debug_windows
    setup_dialog
    options_sheet
  done
done
echo "pictures in $out"
if ((${#MISSED[@]})); then
  echo "not painted: ${MISSED[*]}"
  exit 1
fi

# The one way a Wine prefix of ours is made and started, for the Wine tests, play-on-wine.sh,
# responsiveness.sh, the installer test and screenshots.sh. Sourced; the caller defines
# `say MESSAGE` and `fail MESSAGE` (which ends the run).
#   wine_env PREFIX null|x11     the environment every Windows program of ours runs in
#   prefix_ready LOG             the prefix with sound, made unless it is already, and started
#   prefix_fresh SOUND LOG       makes it anew whatever is there
#   sound_start / sound_stop     the base's sound device: a PulseAudio server beside the prefix
#   base_device_plug BIN LIST LOG / base_device_install BIN LOG   the virtual base's driver
#   zh_tw_locale DIR             the Traditional Chinese locale, compiled into DIR
# SOUND is pulse (Wine's PulseAudio driver) or "" (no sound driver).

# No Mono or Gecko installers (they would go to the network), no menu entries.
WINE_DLL_OVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d"

# wine_env PREFIX GRAPHICS: null draws nowhere, so no X display may be touched; x11 draws on
# $DISPLAY. Sound goes to the prefix's own PulseAudio server, in PREFIX-pulse. WINE and
# WINESERVER, unless given, are the ones on the path.
wine_env() {
  export WINEPREFIX=${1%/} WINEDEBUG=-all WINEDLLOVERRIDES=$WINE_DLL_OVERRIDES
  export PULSE_SERVER="unix:$WINEPREFIX-pulse/native"
  WINE_GRAPHICS=$2
  [[ $WINE_GRAPHICS == x11 ]] || unset DISPLAY WAYLAND_DISPLAY
  [[ -n ${WINE:-} ]] || WINE=$(command -v wine) || fail "Wine is not installed (tools/install-deps.sh windows)"
  [[ -n ${WINESERVER:-} ]] || WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
}

# prefix_create SOUND LOG: a prefix made with another Wine or other drivers is made again.
prefix_create() {
  local stamp=$WINEPREFIX/.bridger-prefix settings
  settings=$("$WINE" --version 2>/dev/null) || fail "Wine cannot start: '$WINE --version' failed"
  settings="$settings, graphics ${WINE_GRAPHICS}, sound ${1:-none}"
  if [[ -f $stamp && $(cat "$stamp") == "$settings" ]]; then
    say "prefix $WINEPREFIX is ready ($settings)"
    return 0
  fi
  prefix_fresh "$1" "$2"
  echo "$settings" >"$stamp"
}

prefix_fresh() {
  say "creating $WINEPREFIX (about a minute)"
  # A server still running in the old prefix would serve the new one from its memory.
  "$WINESERVER" -k 2>/dev/null || true
  "$WINESERVER" -w 2>/dev/null || true
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$WINE" wineboot -i >>"$2" 2>&1 </dev/null || fail "Wine cannot start: wineboot failed (see $2)"
  "$WINESERVER" -w
  prefix_reg_set 'HKCU\Software\Wine\Drivers' Graphics "$WINE_GRAPHICS" "$2"
  prefix_reg_set 'HKCU\Software\Wine\Drivers' Audio "$1" "$2"
  # Written out to the prefix's files before anything else runs in it.
  "$WINESERVER" -w
}

prefix_reg_set() {
  "$WINE" reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >>"$4" 2>&1 </dev/null \
    || fail "Wine cannot write the registry ($1 $2)"
}

# prefix_ready LOG: made with Wine's PulseAudio driver, whose server for the base's sound
# device is started; then one wineserver for the whole run, with Wine's services started
# under it with no pipe of ours to hold: each program after finds them up already. Ending
# the server (wineserver -k) ends them.
prefix_ready() {
  prefix_create pulse "$1"
  sound_start >>"$1" 2>&1 || fail "the sound server for the base's sound device did not start (see $1)"
  "$WINESERVER" -p >/dev/null 2>&1 </dev/null || true
  "$WINE" wineboot >>"$1" 2>&1 </dev/null || fail "Wine cannot start its services (see $1)"
}

# The base station's sound device: a PulseAudio server of the prefix's own with one null
# sink described as "VA6 USB Audio", which Wine's PulseAudio driver lists as a wave-out
# device of that name. sound_start starts it unless it runs already, and fails (saying why
# on its output) when it cannot; sound_stop ends it.
sound_dir() { local socket=${PULSE_SERVER#unix:}; echo "${socket%/native}"; }

sound_start() {
  local dir
  dir=$(sound_dir)
  if [[ -f $dir/pid ]] && kill -0 "$(cat "$dir/pid")" 2>/dev/null && [[ -S $dir/native ]]; then
    return 0
  fi
  command -v pulseaudio >/dev/null || { echo "pulseaudio is not installed (tools/install-deps.sh windows)"; return 1; }
  rm -rf "$dir"
  mkdir -p "$dir"
  # Its own home and runtime folder, no session bus, no idle exit; nothing of ours held open.
  HOME=$dir XDG_RUNTIME_DIR=$dir PULSE_RUNTIME_PATH=$dir setsid pulseaudio --daemonize=no -n \
    --exit-idle-time=-1 --disable-shm=yes --use-pid-file=no --log-target=stderr \
    -L "module-native-protocol-unix socket=$dir/native auth-anonymous=1" \
    -L "module-null-sink sink_name=va6 sink_properties=\"device.description='VA6 USB Audio'\"" \
    </dev/null >"$dir/log" 2>&1 &
  echo $! >"$dir/pid"
  local i
  for i in $(seq 50); do
    [[ -S $dir/native ]] && return 0
    kill -0 "$(cat "$dir/pid")" 2>/dev/null || break
    sleep 0.1
  done
  echo "the PulseAudio server did not start:"
  cat "$dir/log"
  return 1
}

sound_stop() {
  local dir
  dir=$(sound_dir)
  [[ -f $dir/pid ]] && kill "$(cat "$dir/pid")" 2>/dev/null
  rm -f "$dir/pid"
  return 0
}

# base_device_plug BIN_DIR LIST LOG: installs the virtual base station's driver and waits
# until SetupAPI shows its HID device (Wine starts it in the background: its state, not a
# fixed time, says when); the last listing is in LIST.
base_device_plug() {
  "$WINE" "$1/base-device.exe" plug "$1/bridger-base.inf" >>"$3" 2>&1 </dev/null \
    || fail "Wine cannot install the virtual base station (see $3)"
  local i
  for i in $(seq 100); do
    "$WINE" "$1/base-device.exe" list >"$2" 2>>"$3" </dev/null || fail "base-device.exe list failed (see $3)"
    grep -q '^hid 0E5E:6611 ' "$2" && return 0
    sleep 0.2
  done
  fail "the virtual base station was installed but Wine shows no HID device 0E5E:6611"
}

# base_device_install BIN_DIR LOG: the driver goes in once, shows the base and its sound
# device, and comes out again: whoever plays the base plugs it in itself later.
base_device_install() {
  local list=$2.devices
  base_device_plug "$1" "$list" "$2"
  grep -q '^wave "VA6 USB Audio"' "$list" || fail "Wine lists no wave device \"VA6 USB Audio\" (see $2)"
  "$WINE" "$1/base-device.exe" unplug >>"$2" 2>&1 </dev/null || fail "Wine cannot remove the virtual base station (see $2)"
}

# zh_tw_locale DIR: zh_TW.UTF-8 compiled into DIR (a LOCPATH), unless it is there already.
zh_tw_locale() {
  [[ -d $1/zh_TW.UTF-8 ]] && return 0
  mkdir -p "$1"
  localedef -i zh_TW -f UTF-8 "$1/zh_TW.UTF-8" >/dev/null 2>&1 \
    || fail "cannot compile the zh_TW.UTF-8 locale (Debian package locales)"
}

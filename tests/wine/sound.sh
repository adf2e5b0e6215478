# The base station's sound device for the Wine tests: a PulseAudio server of the run's own
# with one null sink described as "VA6 USB Audio", which Wine's PulseAudio driver lists as
# a wave-out device of that name. Sourced; needs PULSE_SERVER (unix:DIR/native).
#   sound_start   starts the server unless it runs already; fails (with why) when it cannot
#   sound_stop    ends it
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

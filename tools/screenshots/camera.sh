# The camera of tools/screenshots.sh (sourced): finds the windows of Wine's X11 driver on
# the virtual display and photographs them into $out, with $work for its scratch files.

# The X window of the visible top-level window with exactly this caption.
xwindow() {
  local w
  for w in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
    echo "$w"
    return 0
  done
  return 1
}

# The window manager's frame around an X window: its ancestor just below the root.
frame_of() {
  local w=$1 parent rootwin
  rootwin=$(xwininfo -root | awk '/Window id:/ {print $4}')
  while parent=$(xwininfo -id "$w" -tree | awk '/Parent window id:/ {print $4}') && [[ -n $parent && $parent != "$rootwin" ]]; do
    w=$parent
  done
  echo "$w"
}

# painted PNG: true unless a fifth or more of the picture is pure black.
painted() {
  local total black
  total=$(pngtopnm "$1" | pnmfile | awk '{print $4 * $6}')
  black=$(pngtopnm "$1" | ppmhist -noheader | awk '$1 == 0 && $2 == 0 && $3 == 0 {print $5}')
  ((${black:-0} * 5 < total))
}

# origin X-WINDOW: its "x y" on the screen.
origin() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4} END {print x, y}'; }

# photograph X-WINDOW: a PNG of the window in its frame. The window's own pixels are read from
# the window, not from the screen: under Wine's X11 driver the screen at times keeps a window
# black that holds its painted contents all the same (most of the bridge's later windows).
photograph() {
  local w=$1 frame fx fy wx wy
  frame=$(frame_of "$w")
  read -r fx fy < <(origin "$frame")
  read -r wx wy < <(origin "$w")
  xwd -silent -id "$frame" | xwdtopnm 2>/dev/null >"$work/frame.pnm"
  xwd -silent -id "$w" | xwdtopnm 2>/dev/null >"$work/client.pnm"
  pnmpaste "$work/client.pnm" $((wx - fx)) $((wy - fy)) "$work/frame.pnm" | pnmtopng
}

# shoot NAME CAPTION: a picture of that window with its frame, taken once it is painted
# (a window that was just moved or raised may take a moment). Fails when it never is:
# under Wine's X11 driver an occasional window stays unpainted until it is made anew.
shoot() {
  local name=$1 caption=$2 w i
  w=$(xwindow "$caption") || { echo "no window \"$caption\" for $name"; return 1; }
  xdotool windowactivate --sync "$w" >/dev/null 2>&1 || xdotool windowraise "$w"
  for i in $(seq 5); do
    sleep 1
    photograph "$w" >"$out/$name.png"
    if painted "$out/$name.png"; then
      echo "   $name.png"
      return 0
    fi
  done
  echo "   $name.png: the window is not painted"
  return 1
}

# reshoot NAME CAPTION REOPEN...: shoot, and while the window stays unpainted, run the
# command REOPEN (which closes the window and opens it again) and try again.
reshoot() {
  local name=$1 caption=$2 attempt
  shift 2
  for attempt in 1 2 3 4; do
    shoot "$name" "$caption" && return 0
    "$@"
  done
  return 1
}

# shoot_region NAME X Y WIDTH HEIGHT: a part of the screen (the tray menu).
shoot_region() {
  xwd -silent -root | xwdtopnm 2>/dev/null | pnmcut "$2" "$3" "$4" "$5" | pnmtopng >"$out/$1.png"
  echo "   $1.png"
}

# The balloon's X window: a tooltip of Wine's explorer with no caption, beside its
# notification area. Fails while there is none (Wine makes it 2 s after the bridge asks).
balloon_xwindow() {
  local w
  for w in $(xdotool search --onlyvisible --classname explorer.exe 2>/dev/null); do
    [[ -z $(xdotool getwindowname "$w" 2>/dev/null) ]] || continue
    (($(xwininfo -id "$w" | awk '/Width:/ {print $2}') > 40)) && { echo "$w"; return 0; }
  done
  return 1
}

# shoot_balloon NAME: the balloon as a user sees it on the white desktop, read from its own
# window (its screen copy is stale), then waits until it has gone. Wine leaves the corners
# around the balloon's rounded body and stem black rather than cutting them away: a mask puts
# the desktop back there. The notification area is left out: where the balloon covered it,
# it reads black even after the balloon has gone.
shoot_balloon() {
  local name=$1 b i w h
  for i in $(seq 40); do
    b=$(balloon_xwindow) && break
    sleep 0.25
  done
  [[ -n $b ]] || { echo "   $name.png: no balloon"; return 1; }
  for i in $(seq 5); do
    sleep 0.5
    xwd -silent -id "$b" | xwdtopnm 2>/dev/null | ppmtoppm >"$work/balloon.ppm" || return 1
    read -r w h < <(pnmfile "$work/balloon.ppm" | awk '{print $4, $6}')
    "$root/tools/screenshots/balloon-mask.py" <"$work/balloon.ppm" >"$work/balloon-mask.pgm"
    ppmmake white $((w + 8)) $((h + 8)) \
      | pamcomp -alpha="$work/balloon-mask.pgm" -xoff=4 -yoff=4 "$work/balloon.ppm" - \
      | pnmtopng >"$out/$name.png"
    # Painted: the balloon's body, not black, is most of the window.
    if (($(pamsumm -mean -brief "$work/balloon-mask.pgm" | cut -d. -f1) > 127)); then
      echo "   $name.png"
      balloon_gone
      return 0
    fi
  done
  echo "   $name.png: the balloon is not painted"
  return 1
}

# balloon_gone: waits (up to 10 s) until no balloon shows.
balloon_gone() {
  local i
  for i in $(seq 40); do
    balloon_xwindow >/dev/null || return 0
    sleep 0.25
  done
}

# Where the tray icon is: Wine's own notification area (no panel runs), a small window where
# Wine puts it. ICON_X/ICON_Y: the icon's centre.
find_tray() {
  local w
  w=$(xwindow "Wine System Tray") || { echo "no notification area"; return 1; }
  local info
  info=$(xwininfo -id "$w")
  ICON_X=$(($(awk '/Absolute upper-left X/ {print $4}' <<<"$info") + $(scaled 10)))
  ICON_Y=$(($(awk '/Absolute upper-left Y/ {print $4}' <<<"$info") + $(scaled 10)))
}

# Used only where a window must leave the notification area free: under Wine's X11 driver a
# window moved from the X side shows black on the screen afterwards (photograph reads it all
# the same).
move_window() {
  local w
  w=$(xwindow "$1") && xdotool windowmove "$w" "$2" "$3"
  sleep 0.3
}

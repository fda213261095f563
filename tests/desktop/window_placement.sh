#!/usr/bin/env bash
# The program on an X11 desktop with a real window manager (Xvfb and openbox), where windows
# get frames: started and closed three times, it stores its outer size (frame included), opens
# at that size again, and opens centred, frame and all.
#   window_placement.sh QUILLMARK
set -euo pipefail
app=$1
source "$(dirname "$0")/desktop.sh"

settings="$XDG_CONFIG_HOME/Quillmark Team/Quillmark/Config/Option.ini"
stored() { tr -d '\r' <"$settings" | sed -n "s/^$1=//p"; }
# The window's frame and centre; the client's place on the screen from xwininfo (xdotool adds
# the frame's offset twice).
measure() {
  local info
  info=$(xwininfo -id "$1")
  X=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  WIDTH=$(sed -n 's/^ *Width: *//p' <<<"$info")
  HEIGHT=$(sed -n 's/^ *Height: *//p' <<<"$info")
  # Until the window manager has framed the window the property is missing: no frame yet.
  read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS |
    sed -n 's/.*= \([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\)$/\1 \2 \3 \4/p'; echo)
  framed=${bottom:+yes}
  left=${left:-0} right=${right:-0} top=${top:-0} bottom=${bottom:-0}
  frame_w=$((WIDTH + left + right)) frame_h=$((HEIGHT + top + bottom))
  centre_x=$((X - left + frame_w / 2)) centre_y=$((Y - top + frame_h / 2))
}
centred() {
  [ -n "$framed" ] && [ $((centre_x - 640)) -le 2 ] && [ $((640 - centre_x)) -le 2 ] &&
    [ $((centre_y - 400)) -le 2 ] && [ $((400 - centre_y)) -le 2 ]
}
sizes=()
for run in 1 2 3; do
  "$app" 2>/dev/null &
  pid=$!
  wid=$(timeout 30 xdotool search --sync --onlyvisible --pid "$pid" --class quillmark | head -n 1)
  # Sized and centred once its frame is known, which may take a while on a busy machine (the
  # program places it again for a frame that comes late, up to 30 s after it is shown).
  for _ in $(seq 300); do
    measure "$wid"
    centred && break
    sleep 0.1
  done
  echo "start $run: frame ${frame_w}x${frame_h}, centre ${centre_x},${centre_y} (client $X,$Y ${WIDTH}x${HEIGHT}, extents $left $right $top $bottom)"
  if ! centred; then
    echo "FAIL: the window is not centred on the 1280x800 screen" >&2
    exit 1
  fi
  xdotool windowactivate --sync "$wid" key --clearmodifiers alt+F4
  timeout 30 tail --pid="$pid" -f /dev/null
  sizes+=("$(stored Width)x$(stored Height)")
  if [ "${sizes[-1]}" != "${frame_w}x${frame_h}" ]; then
    echo "FAIL: stored ${sizes[-1]}, but the window measured ${frame_w}x${frame_h}" >&2
    exit 1
  fi
done
if [ "${sizes[0]}" != "${sizes[1]}" ] || [ "${sizes[1]}" != "${sizes[2]}" ]; then
  echo "FAIL: the stored size changed from start to start: ${sizes[*]}" >&2
  exit 1
fi
echo "stable at ${sizes[0]}"

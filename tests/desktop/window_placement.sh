#!/usr/bin/env bash
# The program on an X11 desktop with a real window manager (Xvfb and openbox), where windows
# get frames: started and closed three times, it stores its outer size (frame included), opens
# at that size again, and opens centred, frame and all.
#   window_placement.sh QUILLMARK
set -euo pipefail
app=$1
work=$(mktemp -d)
server=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
export QUILLMARK_UPDATE_URLS=https://127.0.0.1:9/ QT_QPA_PLATFORM=xcb
# In the sanitizer build: X11's keyboard library reads a string by strndup past its end, which
# strict string checks reject, and the X11 libraries keep memory to the end. The program's own
# code is checked by the unit tests; here it is the window that is looked at.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}strict_string_checks=0:detect_leaks=0"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# A display of its own; the server reports its number when it is ready.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
server=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
openbox >/dev/null 2>&1 &
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done

settings="$XDG_CONFIG_HOME/Quillmark Team/Quillmark/Config/Option.ini"
stored() { tr -d '\r' <"$settings" | sed -n "s/^$1=//p"; }
sizes=()
for run in 1 2 3; do
  "$app" 2>/dev/null &
  pid=$!
  wid=$(timeout 30 xdotool search --sync --onlyvisible --pid "$pid" --class quillmark | head -n 1)
  sleep 1 # the window is sized and centred once its frame is known
  # The client's place on the screen (xwininfo: xdotool adds the frame's offset twice).
  info=$(xwininfo -id "$wid")
  X=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  WIDTH=$(sed -n 's/^ *Width: *//p' <<<"$info")
  HEIGHT=$(sed -n 's/^ *Height: *//p' <<<"$info")
  read -r left right top bottom < <(xprop -id "$wid" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  frame_w=$((WIDTH + left + right)) frame_h=$((HEIGHT + top + bottom))
  centre_x=$((X - left + frame_w / 2)) centre_y=$((Y - top + frame_h / 2))
  echo "start $run: frame ${frame_w}x${frame_h}, centre ${centre_x},${centre_y} (client $X,$Y ${WIDTH}x${HEIGHT}, extents $left $right $top $bottom)"
  if [ $((centre_x - 640)) -gt 2 ] || [ $((640 - centre_x)) -gt 2 ] ||
     [ $((centre_y - 400)) -gt 2 ] || [ $((400 - centre_y)) -gt 2 ]; then
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

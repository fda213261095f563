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
DISPLAY=:$(cat "$work/display")
export DISPLAY
openbox >"$work/openbox.log" 2>&1 &
wm=$!
# Set: "_NET_SUPPORTING_WM_CHECK(WINDOW): window id # 0x...". Not yet: "... no such atom on any
# window", which a bare "window" would match.
wm_ready() { [[ $(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null) == *"window id #"* ]]; }
for _ in $(seq 300); do
  wm_ready && break
  # Seen once on a loaded machine: openbox ended before it took the display; it starts again.
  if ! kill -0 "$wm" 2>/dev/null; then
    openbox >>"$work/openbox.log" 2>&1 &
    wm=$!
  fi
  sleep 0.1
done
if ! wm_ready; then
  echo "FAIL: openbox did not start within 30 s:" >&2
  cat "$work/openbox.log" >&2
  exit 1
fi

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

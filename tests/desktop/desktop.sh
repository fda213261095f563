# shellcheck shell=bash
# Sourced by the desktop tests: a private home for the program (settings, data, runtime folder
# in $work, removed at exit), an X display of its own (Xvfb) with the openbox window manager
# running on it ($DISPLAY), and nothing reachable for the update check. Exits 1 when openbox
# does not take the display.
work=$(mktemp -d)
server=
desktop_pids=() # what the test started on the desktop, ended before it
cleanup() {
  local pid
  for pid in "${desktop_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
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


#!/usr/bin/env bash
# What a screen reader gets of the window, read over the accessibility bus as one reads it
# (AT-SPI, through python3-pyatspi): the Registry page's section after the program converted
# an export, and the caret and selection that the keyboard sets, with the events that tell of
# them.
#   screen_reader.sh QUILLMARK QUILLMARK_CLI EXPORT.reg
set -euo pipefail
app=$1
cli=$2
export_file=$3
here=$(cd "$(dirname "$0")" && pwd)
if ! /usr/bin/python3 -c 'import pyatspi' 2>/dev/null; then
  echo "FAIL: python3-pyatspi is not installed (scripts/setup.sh install installs it)" >&2
  exit 1
fi
source "$here/desktop.sh"

# A session bus of its own: the accessibility bus is started on it when first asked for.
dbus-daemon --session --fork --print-address=1 --print-pid=1 >"$work/bus"
DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p "$work/bus")
export DBUS_SESSION_BUS_ADDRESS
desktop_pids+=("$(sed -n 2p "$work/bus")")

"$cli" registry "$export_file" -o "$work/expected.iss"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$app" "$export_file" >"$work/app.log" 2>&1 &
desktop_pids+=($!)
wid=$(timeout 60 xdotool search --sync --onlyvisible --pid "${desktop_pids[-1]}" --class quillmark | head -n 1)
xdotool windowactivate --sync "$wid"
/usr/bin/python3 "$here/screen_reader.py" "$work/expected.iss" "${desktop_pids[-1]}"

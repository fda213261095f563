#!/usr/bin/env bash
# Ends a wine prefix's server and every process of the prefix, its registry saved, and fails
# when a process of the prefix outlives that (it is then killed, and named):
#   wine-stop.sh PREFIX [SECONDS]
# The server is sent SIGINT, as `wineserver -k` does: it ends every process of the prefix, saves
# the registry and exits. `wineserver -k` itself kills the server without saving when that takes
# more than about ten seconds (a busy machine); here it is given SECONDS (default 120). SIGTERM
# would save and exit at once, leaving services.exe, winedevice.exe and the rest running with
# no server, forever.
set -euo pipefail
prefix=$1
deadline=$((SECONDS + ${2:-120}))

# The wine processes (wine's loaders and server, or qemu running 32-bit ones) whose
# environment names this prefix; the test that called us and its X server have that
# environment too. A zombie's environment reads empty.
prefix_pids() {
  local file pid
  for file in $(grep -lsxzF "WINEPREFIX=$prefix" /proc/[0-9]*/environ); do
    pid=${file#/proc/}
    pid=${pid%/environ}
    case $(readlink "/proc/$pid/exe") in */wine* | */qemu-i386*) echo "$pid" ;; esac
  done
}

alive() {
  [ -n "$(prefix_pids)" ]
}

# Not yet ended (a zombie has ended; nothing may reap it soon).
running() {
  grep -qs '^State:[[:space:]]*[^Z]' "/proc/$1/status"
}

server=
for pid in $(prefix_pids); do
  case $(readlink "/proc/$pid/exe" 2>/dev/null) in */wineserver*) server=$pid ;; esac
done
if [ -n "$server" ]; then
  kill -INT "$server" 2>/dev/null || true
  while running "$server" && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
  if running "$server"; then
    echo "wine-stop: the server of $prefix did not end within ${2:-120} s; killed, its registry not saved" >&2
    kill -KILL "$server" 2>/dev/null || true
  fi
fi
# Those the server sent SIGKILL may take a moment to go.
end=$((SECONDS + 10))
while alive && [ $SECONDS -lt $end ]; do sleep 0.1; done
left=$(prefix_pids)
[ -z "$left" ] && exit 0
for pid in $left; do
  echo "wine-stop: left running in $prefix: $pid $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)" >&2
  kill -KILL "$pid" 2>/dev/null || true
done
exit 1

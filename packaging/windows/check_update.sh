#!/usr/bin/env bash
# The installer update as a user meets it. Quillmark-setup.exe is installed into a fresh
# prefix; a local HTTPS server (openssl s_server, its certificate trusted as a root there, as
# Windows trusts a public authority) announces a newer version. The installed quillmark.exe
# finds it at start-up, the prompt is answered with Enter (Yes is its default), the update
# window downloads the newer setup and runs it with the quick-update parameters; then the newer
# version must be what is installed.
#   check_update.sh SETUP INSTALLER_FOLDER ISCC SIGNING_KEY
# INSTALLER_FOLDER holds what made SETUP (Quillmark.iss, Files.iss, Build.iss): the newer setup
# is the same script compiled with a higher version, signed with SIGNING_KEY, the private half
# of the key the build checks updates against (a test build's own: QM_TEST_RELEASE_KEY).
set -euo pipefail
setup=$1
made=$2
iscc=$3
signing_key=${4:-}
if [ ! -f "$signing_key" ]; then
  echo "SKIPPED: the build checks updates against the release key (configure with QM_TEST_RELEASE_KEY=ON to test them)"
  exit 77
fi
source "$(dirname "$0")/installer-steps.sh" "$setup"
[ -f "$iscc" ] || { echo "SKIPPED: no $iscc"; exit 77; }
newer=99.0.0
work=$WINEPREFIX/update-check
mkdir -p "$work/www/download/Quillmark"
server_pid=
display_pid=
# Wine's processes end while their display is still there.
stop() {
  local status=$?
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
  bash "$wine_stop" "$WINEPREFIX" || status=1
  [ -n "$display_pid" ] && kill "$display_pid" 2>/dev/null
  wine_prefix_cleanup "$status"
}
trap stop EXIT

install_setup "$setup"

# The newer setup: Build.iss with the higher version, everything else as it was.
cp "$made/Quillmark.iss" "$made/Files.iss" "$work/"
sed -e "s/^AppVersion=.*/AppVersion=$newer/" -e "s/^VersionInfoVersion=.*/VersionInfoVersion=$newer.0/" \
  "$made/Build.iss" >"$work/Build.iss"
"$wine32" "$iscc" /Q '/OZ:'"${work//\//\\}" 'Z:'"${work//\//\\}"'\Quillmark.iss' ||
  fail "the newer setup did not compile"
echo "$newer" >"$work/version.txt"
openssl dgst -sha256 -sign "$signing_key" -out "$work/Quillmark-setup.exe.sig" \
  "$work/Quillmark-setup.exe"
# The server sends each file as it stands, so each holds its answer's head, with its length.
for file in version.txt Quillmark-setup.exe Quillmark-setup.exe.sig; do
  { printf 'HTTP/1.0 200 OK\r\nContent-Length: %s\r\n\r\n' "$(stat -c %s "$work/$file")"
    cat "$work/$file"; } >"$work/www/download/Quillmark/$file"
done

# The server's certificate, trusted as a root in the prefix.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 \
  -addext subjectAltName=IP:127.0.0.1 -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
bash "$(dirname "$0")/../../tests/support/wine-trust-root.sh" "$work/cert.pem"

(cd "$work/www" && exec openssl s_server -HTTP -accept 127.0.0.1:0 -cert ../cert.pem \
  -key ../key.pem >"$work/server.log" 2>&1) &
server_pid=$!
for _ in $(seq 50); do
  port=$(sed -n 's/^ACCEPT 127.0.0.1:\([0-9]*\).*/\1/p' "$work/server.log")
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || fail "the HTTPS server did not start: $(cat "$work/server.log")"

# One display for the program, its prompt and the setup it starts.
for n in $(seq 100 199); do
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  display_pid=$!
  sleep 0.5
  kill -0 "$display_pid" 2>/dev/null && break
  display_pid=
done
[ -n "$display_pid" ] || fail "no X display could be started"
export DISPLAY=:$n
"$wineserver" -w
QUILLMARK_UPDATE_URLS=https://127.0.0.1:$port/download/ \
  "$wine" 'C:\Program Files\Quillmark\quillmark.exe' >"$work/program.log" 2>&1 &

# The prompt is the window titled exactly "Quillmark" (the main window's title says more).
installed() {
  "$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\{6F2C4E1A-8B3D-4F7A-9C5E-2D1B0A9E8F47}_is1' \
    /v DisplayVersion 2>/dev/null | tr -d '\r' | grep -q "REG_SZ *$1\$"
}
answered=
for _ in $(seq 240); do
  if [ -z "$answered" ]; then
    prompt=$(xdotool search --name '^Quillmark$' 2>/dev/null | head -n 1 || true)
    if [ -n "$prompt" ]; then
      xdotool windowfocus --sync "$prompt" key Return 2>/dev/null && answered=yes
    fi
  elif installed "$newer"; then
    echo "updated: $newer installed through the update window"
    exit 0
  fi
  sleep 1
done
fail "no update installed (prompt answered: ${answered:-no}); program: $(tail -n 5 "$work/program.log"); server: $(tail -n 5 "$work/server.log")"

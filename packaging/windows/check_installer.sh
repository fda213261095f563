#!/usr/bin/env bash
# Our own installer as a user runs it: Quillmark-setup.exe installed silently into a fresh
# Windows 10 prefix, both installed programs started from there, then the uninstaller run
# silently; nothing it installed may be left.
#   check_installer.sh SETUP VERSION
set -euo pipefail
setup=$1
version=$2
source "$(dirname "$0")/installer-steps.sh" "$setup"

install_setup "$setup"
[ -f "$app/Language/English.ini" ] || fail "no language files in $app"
[ -f "$menu" ] || fail "no Start menu entry"
[ ! -e "$app/portable.ini" ] || fail "the installed program is portable"

"$wine" 'C:\Program Files\Quillmark\quillmark-cli.exe' --version | tr -d '\r' | tee "$WINEPREFIX/version.txt"
grep -qx "quillmark-cli $version" "$WINEPREFIX/version.txt" || fail "quillmark-cli.exe --version"
# No update server answers here: a closed local port answers at once.
QUILLMARK_UPDATE_URLS=https://127.0.0.1:9/ QUILLMARK_STARTUP_TIMING=1 timeout 120 \
  "$wine" 'C:\Program Files\Quillmark\quillmark.exe' -platform offscreen ||
  fail "the installed quillmark.exe did not start and quit"

"$wineserver" -w
xvfb-run -a "$wine32" 'C:\Program Files\Quillmark\unins000.exe' /VERYSILENT /SUPPRESSMSGBOXES \
  '/LOG=C:\uninstall.log' ||
  fail "the uninstaller failed: $(head -n 40 "$WINEPREFIX/drive_c/uninstall.log" 2>/dev/null)"
# The uninstaller hands its last step to a copy of itself that ends on its own.
"$wineserver" -w
[ ! -e "$app" ] || fail "left behind: $(cd "$app" && find . | head -n 5 | tr '\n' ' ')"
[ ! -e "$menu" ] || fail "the Start menu entry is left"
echo "installer checked: installed, started, uninstalled"

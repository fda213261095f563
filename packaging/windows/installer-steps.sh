# shellcheck shell=bash disable=SC2034 # the variables set here are the checks' to use
# Sourced by the installer checks: a fresh Windows 10 prefix with Quillmark-setup.exe installed
# silently into it, and what they check it against. Setup needs a display (Xvfb) even when
# silent.
#   install_setup SETUP [SETUP'S OPTIONS...]
if [ ! -f "$1" ]; then
  echo "SKIPPED: no $1 (the build could not run Inno Setup's compiler)"
  exit 77
fi
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "SKIPPED: 32-bit wine cannot start here"
  exit 77
fi
source "$(dirname "${BASH_SOURCE[0]}")/../../tests/support/wine-prefix.sh"
wine32=/usr/lib/wine/wine
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
# Wine's own folder names: C:\Program Files and the common Start menu.
app="$WINEPREFIX/drive_c/Program Files/Quillmark"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quillmark.lnk"

install_setup() {
  cp "$1" "$WINEPREFIX/drive_c/Quillmark-setup.exe"
  shift
  # Started while the new prefix's services still start, Setup fails on its "Preparing to
  # install" page ("Error reading FPreparingMemo.Lines.Strings"): let them settle first.
  "$wineserver" -w
  xvfb-run -a "$wine32" 'C:\Quillmark-setup.exe' /VERYSILENT /SUPPRESSMSGBOXES '/LOG=C:\setup.log' "$@" ||
    fail "Quillmark-setup.exe did not install: $(head -n 40 "$WINEPREFIX/drive_c/setup.log" 2>/dev/null)"
  [ -f "$app/quillmark.exe" ] || fail "no quillmark.exe in $app"
}

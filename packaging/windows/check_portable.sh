#!/usr/bin/env bash
# The portable Windows build as a user gets it: Quillmark.zip unpacked into a fresh wine prefix,
# quillmark-cli.exe asked for its version and quillmark.exe started (offscreen; it quits once
# its window is shown) from there. A DLL or plugin missing from the archive fails it.
#   check_portable.sh ZIP VERSION
set -euo pipefail
zip=$1
version=$2
source "$(dirname "$0")/../../tests/support/wine-prefix.sh"
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

folder=$WINEPREFIX/drive_c/Quillmark
mkdir -p "$folder"
unzip -q "$zip" -d "$folder"
"$wine" 'C:\Quillmark\quillmark-cli.exe' --version | tr -d '\r' | tee "$WINEPREFIX/version.txt"
grep -qx "quillmark-cli $version" "$WINEPREFIX/version.txt" || fail "quillmark-cli.exe --version"
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Q]\r\n"v"="x"\r\n' >"$WINEPREFIX/drive_c/q.reg"
"$wine" 'C:\Quillmark\quillmark-cli.exe' registry 'C:\q.reg' | grep -q '^Root: HKCU; Subkey: "Software\\Q"' ||
  fail "quillmark-cli.exe cannot convert"

# No update server answers here: a closed local port answers at once.
QUILLMARK_UPDATE_URLS=https://127.0.0.1:9/ QUILLMARK_STARTUP_TIMING=1 timeout 120 "$wine" 'C:\Quillmark\quillmark.exe' -platform offscreen ||
  fail "quillmark.exe did not start and quit"
[ -f "$folder/Config/Option.ini" ] || fail "quillmark.exe kept no settings beside itself"
echo "portable build checked"

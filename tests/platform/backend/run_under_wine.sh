#!/usr/bin/env bash
# Runs the Windows build of the platform-backend tests under wine, in a Windows 10 prefix made
# here and removed after. Exit 77 (skipped) only when wine cannot start at all.
#   run_under_wine.sh NATIVE_TEST WINDOWS_TEST
# The native build writes its code-page decodings for the Windows build to compare with; the
# version reader is compared on wine's own PE files.
set -euo pipefail
native=$1
windows=$2

wine=$(command -v wine64 || true)
[ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64
wineserver=$(command -v wineserver || true)
if [ -z "$wine" ] || [ -z "$wineserver" ]; then
  echo "SKIPPED: wine64 is not installed (Debian packages wine, wine64)"
  exit 77
fi
pe_folder=$(dirname "$(find /usr/lib/*/wine/x86_64-windows /usr/lib/wine/x86_64-windows \
  -maxdepth 1 -name kernel32.dll 2>/dev/null | head -n 1)")

prefix=$(mktemp -d)
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w 2>/dev/null || true
  rm -rf "$prefix"
}
trap cleanup EXIT

if ! "$wine" wineboot --init >"$prefix/wineboot.log" 2>&1; then
  echo "SKIPPED: wine cannot start:"
  cat "$prefix/wineboot.log"
  exit 77
fi
# A fresh prefix says Windows 7; the program runs on Windows 10 and 11.
"$wine" reg add 'HKCU\Software\Wine' /v Version /d win10 /f >/dev/null

"$native" --qm-dump-codepages="$prefix/codepages.txt"
"$wine" "$windows" --qm-codepages="Z:$prefix/codepages.txt" --qm-pe-folder="Z:$pe_folder"

#!/usr/bin/env bash
# Runs the Windows build of the platform-backend tests under wine, in a Windows 10 prefix made
# here and removed after.
#   run_under_wine.sh NATIVE_TEST WINDOWS_TEST
# The native build writes its code-page decodings for the Windows build to compare with; the
# version reader is compared on wine's own PE files.
set -euo pipefail
native=$1
windows=$2
source "$(dirname "$0")/../../support/wine-prefix.sh"

pe_folder=$(dirname "$(find /usr/lib/*/wine/x86_64-windows /usr/lib/wine/x86_64-windows \
  -maxdepth 1 -name kernel32.dll 2>/dev/null | head -n 1)")
"$native" --qm-dump-codepages="$WINEPREFIX/codepages.txt"
"$wine" "$windows" --qm-codepages="Z:$WINEPREFIX/codepages.txt" --qm-pe-folder="Z:$pe_folder"

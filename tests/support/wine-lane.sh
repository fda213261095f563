#!/usr/bin/env bash
# The prefix every test of the Windows build shares in one run:
#   wine-lane.sh setup PREFIX [persistent]
#                                 a fresh Windows 10 prefix (any earlier one removed); with
#                                 persistent its wine server stays up between programs (a
#                                 32-bit program then starts in a fraction of a second)
#   wine-lane.sh cleanup PREFIX   its wine server stopped and the prefix removed; fails when a
#                                 process of the prefix was left running
set -euo pipefail
action=$1
export QM_WINE_PREFIX=$2
if [ "$action" = setup ]; then
  rm -rf "$QM_WINE_PREFIX"
  source "$(dirname "$0")/wine-prefix.sh"
  # The update tests' server certificate: no openssl can be started from inside wine.
  mkdir -p "$WINEPREFIX/test-certificate"
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 \
    -addext subjectAltName=IP:127.0.0.1 -keyout "$WINEPREFIX/test-certificate/key.pem" \
    -out "$WINEPREFIX/test-certificate/cert.pem" 2>/dev/null
  if [ "${3:-}" = persistent ]; then
    "$wineserver" -w
    "$wineserver" -p >/dev/null 2>&1 </dev/null
  fi
  echo "wine prefix ready: $WINEPREFIX"
else
  status=0
  bash "$(dirname "$0")/wine-stop.sh" "$QM_WINE_PREFIX" || status=1
  rm -rf "$QM_WINE_PREFIX"
  exit $status
fi

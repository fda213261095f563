# shellcheck shell=bash
# Sourced by the tests that run Windows programs under wine: finds wine64, makes a private
# Windows 10 prefix ($WINEPREFIX, removed when the test ends; or $QM_WINE_PREFIX, kept for the
# caller) and sets $wine. Exits 77 (the test is skipped) only when wine is missing or cannot
# start at all.
wine=$(command -v wine64 || true)
[ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64
wineserver=$(command -v wineserver || true)
if [ -z "$wine" ] || [ -z "$wineserver" ]; then
  echo "SKIPPED: wine64 is not installed (Debian packages wine, wine64)"
  exit 77
fi

# Ends the prefix's processes: `bash "$wine_stop" "$WINEPREFIX"` (fails when one was left).
wine_stop=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine-stop.sh
# At exit (STATUS: the script's so far): the prefix's processes ended and the prefix removed; a
# process of the prefix left running fails the check.
wine_prefix_cleanup() {
  local status=${1:-$?}
  bash "$wine_stop" "$WINEPREFIX" || status=1
  rm -rf "$WINEPREFIX"
  exit "$status"
}
if [ -n "${QM_WINE_PREFIX:-}" ]; then
  WINEPREFIX=$QM_WINE_PREFIX
  mkdir -p "$WINEPREFIX"
else
  WINEPREFIX=$(mktemp -d)
  trap wine_prefix_cleanup EXIT
fi
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if ! "$wine" wineboot --init >"$WINEPREFIX/wineboot.log" 2>&1; then
  echo "SKIPPED: wine cannot start:"
  cat "$WINEPREFIX/wineboot.log"
  exit 77
fi
# A fresh prefix says Windows 7; the program runs on Windows 10 and 11.
"$wine" reg add 'HKCU\Software\Wine' /v Version /d win10 /f >/dev/null

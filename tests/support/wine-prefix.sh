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

wine_prefix_cleanup() {
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w 2>/dev/null || true
  rm -rf "$WINEPREFIX"
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

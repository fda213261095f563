#!/usr/bin/env bash
# Checks the real packages of a build: the Debian package (its files, its control fields, the
# validators and lintian, an installation into a scratch root, a run from there and a clean
# removal) and the portable archive (its files, a run from where it was unpacked, the settings
# beside the program).
#   check_packages.sh BUILD_DIR VERSION SOURCE_DIR
set -euo pipefail
build=$1
version=$2
source=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null
deb=$work/deb/Quillmark-linux-amd64.deb
[ -f "$deb" ] || fail "no $deb"

echo "== files"
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||' | tee "$work/files" | grep -v '/$'
expected=(
  usr/bin/quillmark usr/bin/quillmark-cli
  usr/lib/quillmark/quillmark usr/lib/quillmark/quillmark-cli
  usr/share/applications/org.quillmark.Quillmark.desktop
  usr/share/icons/hicolor/scalable/apps/org.quillmark.Quillmark.svg
  usr/share/metainfo/org.quillmark.Quillmark.metainfo.xml
  usr/share/man/man1/quillmark.1.gz usr/share/man/man1/quillmark-cli.1.gz
  usr/share/bash-completion/completions/quillmark-cli
  usr/share/doc/quillmark/copyright usr/share/doc/quillmark/changelog.gz
)
for size in 16 24 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/org.quillmark.Quillmark.png")
done
for language in "$source"/share/Language/*.ini; do
  expected+=("usr/lib/quillmark/Language/$(basename "$language")")
done
for f in "${expected[@]}"; do
  grep -qx "$f" "$work/files" || fail "the package lacks $f"
done

echo "== control"
dpkg-deb -f "$deb"
[ "$(dpkg-deb -f "$deb" Package)" = quillmark ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version"
[ "$(dpkg-deb -f "$deb" Architecture)" = amd64 ] || fail "architecture"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6core6 libqt6widgets6 libqt6network6; do
  [[ $depends == *"$library "* ]] || fail "Depends lacks $library (dpkg-shlibdeps)"
done

echo "== validators"
dpkg-deb -x "$deb" "$work/x"
desktop-file-validate "$work/x/usr/share/applications/org.quillmark.Quillmark.desktop"
appstreamcli validate --no-net "$work/x/usr/share/metainfo/org.quillmark.Quillmark.metainfo.xml"
lintian --fail-on error,warning "$deb" 2>&1 | grep -v 'root privileges' || true
lintian --fail-on error,warning "$deb" >/dev/null 2>&1 || fail "lintian"
# The manual page and --help name the same options.
# (Read once: grep -q ending a pipe early would fail it under pipefail.)
zcat "$work/x/usr/share/man/man1/quillmark-cli.1.gz" | sed 's/\\-/-/g' >"$work/manual.txt"
for option in $("$work/x/usr/lib/quillmark/quillmark-cli" --help | grep -o -- '--[a-z-]*' | sort -u); do
  grep -q -- "$option" "$work/manual.txt" ||
    fail "the manual page does not name $option"
done

echo "== install into a scratch root, run, remove"
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
dpkg_root=(dpkg --root="$root" --force-not-root --force-depends --log=/dev/null)
# The scratch root has none of the dependencies: dpkg names them and installs all the same.
"${dpkg_root[@]}" -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i"; }
"$root/usr/bin/quillmark-cli" --version | tee "$work/version"
grep -qx "quillmark-cli $version.0" "$work/version" || fail "quillmark-cli --version"
"$root/usr/bin/quillmark-cli" registry "$source/examples/example.reg" | grep -q '^Root: ' ||
  fail "the installed quillmark-cli does not convert"
"${dpkg_root[@]}" -P quillmark >/dev/null
left=$(find "$root" -path "$root/var" -prune -o ! -type d -print)
[ -z "$left" ] || fail "left after removal: $left"

echo "== portable archive"
cmake --build "$build" --target portable_zip >/dev/null
zip=$build/Quillmark-linux-x86_64.zip
unzip -Z1 "$zip" | sort | tee "$work/zipfiles"
for f in quillmark quillmark-cli portable.ini Language/English.ini Language/Russian.ini; do
  grep -qx "$f" "$work/zipfiles" || fail "the archive lacks $f"
done
unzip -q "$zip" -d "$work/portable"
"$work/portable/quillmark-cli" --version | grep -q "$version" || fail "portable quillmark-cli"
# The program keeps its settings beside itself; it runs until it is stopped.
QT_QPA_PLATFORM=offscreen HOME=$work/home XDG_CONFIG_HOME=$work/home/config \
  XDG_RUNTIME_DIR=$work/portable QUILLMARK_REGISTRY_FILE=$work/hkcu.txt LANGUAGE=en \
  timeout 5 "$work/portable/quillmark" >/dev/null 2>&1 || true
[ -f "$work/portable/Config/Option.ini" ] || fail "the portable program kept no settings beside it"
[ ! -e "$work/home/config" ] || fail "the portable program wrote into the user's settings"
echo "packages checked"

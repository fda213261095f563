#!/usr/bin/env bash
# Sets up a Debian 12 machine for Quillmark, builds it, and runs it or its tests.
#   scripts/setup.sh install  install what is missing, nothing more
#   scripts/setup.sh run    install what is missing, build, start the program (with arguments:
#                           quillmark-cli with those arguments)
#   scripts/setup.sh test   install what is missing, build twice (plain and with sanitizers)
#                           and run every test in both, then build the fuzz targets with
#                           libFuzzer and fuzz each for a fixed number of runs, then build the
#                           whole program for Windows and run its tests under wine (where the
#                           Qt for Windows of our machines is found), and run the real Inno
#                           Setup compiler and installer under 32-bit wine on what we write
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools
  clang-format clang-tidy shellcheck
  g++-mingw-w64-x86-64-posix
  fonts-dejavu-core
  # TLS for the update client (libssl) and the update tests' certificates; the portable
  # update extracts with unzip; the tests pack archives and run a session bus of their own.
  openssl unzip zip dbus-daemon
  # The tests check the desktop entries the program writes, and run the program on an X11
  # desktop with a window manager.
  desktop-file-utils xvfb xauth openbox xdotool x11-utils
  # What a screen reader reads of the window: the accessibility bus and its Python client.
  at-spi2-core python3-pyatspi
  # The Windows backends' tests run under wine; the fuzz targets build with clang's libFuzzer.
  wine wine64 doctest-dev clang libclang-rt-14-dev
  # The packages: icons and manual pages made at build time, the Debian package's dependencies,
  # and the validators the tests run on it.
  librsvg2-bin scdoc dpkg-dev lintian appstream
  # The icon of the Windows build (cmake --preset windows).
  icoutils
  # Inno Setup's compiler and installer are 32-bit Windows programs (the iscc lane).
  wine32:i386
  # The Windows suite runs a script under wine in a Russian locale (OEM code page 866).
  locales
)

# Inno Setup 6.4.1 (ISCC, its preprocessor, Setup) as the npm registry serves it, checked
# against the package's published integrity hash, unpacked into build/tools (never into the
# repository).
innosetup_version=6.4.1
innosetup_integrity=sha512-Bh/dNlyyFsFKBGoTf19n1msPnm4Njfb0CWVirw2CV1MSJXYy0ajRI+xjo/Yr9DtZFLLafhnwm1ZsxTu309F8lQ==
innosetup_dir=build/tools/innosetup-$innosetup_version

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

# A failing index (seen: the security suite's i386 index "Mirror sync in progress") is tried
# again, then tolerated: the install that follows says whether what we need was found.
apt_update() {
  local _
  for _ in 1 2 3; do
    "${sudo[@]}" apt-get update -q && return 0
    sleep 5
  done
  echo "apt-get update reported errors; going on with the indexes it has" >&2
}

apt_install() {
  local apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q
    --no-install-recommends)
  "${apt[@]}" "$@" && return 0
  # An i386 library must have the version of its amd64 twin. Without the security suite's
  # i386 index that version cannot be found, so both come from the main suite instead.
  echo "Installing again with the security suite set below the main suite" >&2
  local pin
  pin=$(mktemp)
  printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 90\n' >"$pin"
  local rc=0
  "${apt[@]}" -o Dir::Etc::Preferences="$pin" "$@" || rc=$?
  rm -f "$pin"
  return $rc
}

install_missing() {
  dpkg --print-foreign-architectures | grep -qx i386 || "${sudo[@]}" dpkg --add-architecture i386
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    apt_update
    apt_install "${missing[@]}"
  fi
  i386_emulation
  innosetup
  locale -a 2>/dev/null | grep -qix 'ru_RU.utf8' || "${sudo[@]}" localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
}

# Some virtual machines' kernels run no 32-bit code ("Exec format error"). There 32-bit wine
# runs under qemu's user-mode emulation, registered for i386 programs. Bookworm's qemu (7.2)
# ignores MAP_FIXED_NOREPLACE, which costs wine a minute at every start; the backports' qemu
# (10) starts it in a second.
i386_emulation() {
  /usr/lib/wine/wine --version >/dev/null 2>&1 && return 0
  if [ ! -x /usr/bin/qemu-i386 ] || ! /usr/bin/qemu-i386 --version | grep -q 'version \(9\|1[0-9]\)'; then
    local list=/etc/apt/sources.list.d/quillmark-backports.sources
    if [ ! -f "$list" ]; then
      local uri
      uri=$(awk '/^URIs:/ {u=$2} /^Suites:.*bookworm( |$)/ {print u; exit}' \
        /etc/apt/sources.list.d/debian.sources 2>/dev/null)
      [ -n "$uri" ] || uri=$(awk '$1=="deb" && $3=="bookworm" {print $2; exit}' /etc/apt/sources.list)
      printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        "$uri" | "${sudo[@]}" tee "$list" >/dev/null
    fi
    apt_update
    apt_install -t bookworm-backports qemu-user
  fi
  [ -e /proc/sys/fs/binfmt_misc/register ] ||
    "${sudo[@]}" mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  if [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
    # The kernel hands every 32-bit x86 program to qemu (F: opened once, here).
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:F' |
      "${sudo[@]}" tee /proc/sys/fs/binfmt_misc/register >/dev/null
  fi
  /usr/lib/wine/wine --version >/dev/null 2>&1 ||
    echo "32-bit wine cannot run here: the iscc lane will be skipped" >&2
}

innosetup() {
  [ -f "$innosetup_dir/bin/ISCC.exe" ] && return 0
  command -v npm >/dev/null || apt_install npm
  local tmp
  tmp=$(mktemp -d)
  if (cd "$tmp" && npm pack --silent "innosetup@$innosetup_version" >/dev/null); then
    local got
    got=sha512-$(openssl dgst -sha512 -binary "$tmp"/innosetup-*.tgz | base64 -w0)
    if [ "$got" = "$innosetup_integrity" ]; then
      mkdir -p "$innosetup_dir"
      tar -xzf "$tmp"/innosetup-*.tgz -C "$innosetup_dir" --strip-components=1
    else
      echo "innosetup@$innosetup_version does not match its integrity hash ($got)" >&2
    fi
  else
    echo "innosetup@$innosetup_version could not be fetched: the iscc lane will be skipped" >&2
  fi
  rm -rf "$tmp"
}

build() {
  cmake --preset "$1"
  cmake --build --preset "$1"
}

# The Windows build uses the Qt for Windows (mingw-w64) our machines keep beside the repository,
# unpacked into build/qt6-mingw; without it the lane is skipped.
windows_lane() {
  local archive=""
  for a in "${QM_QT_MINGW_ARCHIVE:-}" ../shared/qt6-mingw/qt6-mingw.tar.xz; do
    [ -n "$a" ] && [ -f "$a" ] && archive=$a && break
  done
  if [ -z "$archive" ]; then
    echo "SKIPPED: the Windows lane (no qt6-mingw.tar.xz; CONTRIBUTING.md: Building for Windows)"
    return
  fi
  if [ ! -f build/qt6-mingw/mingw-w64-x86_64.cmake ] ||
    [ "$archive" -nt build/qt6-mingw/mingw-w64-x86_64.cmake ]; then
    rm -rf build/qt6-mingw
    mkdir -p build
    tar -xf "$archive" -C build
    touch build/qt6-mingw/mingw-w64-x86_64.cmake
  fi
  build windows
  ctest --preset windows
}

case "${1:-}" in
  install)
    install_missing
    ;;
  run)
    install_missing
    build release
    shift
    if [ $# -gt 0 ]; then
      exec build/release/src/cli/quillmark-cli "$@"
    fi
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
      echo "No display to show the window on; the command-line version converts the example:" >&2
      exec build/release/src/cli/quillmark-cli registry examples/example.reg
    fi
    exec build/release/src/app/quillmark
    ;;
  test)
    install_missing
    build ci
    ctest --preset ci
    build ci-asan
    ctest --preset ci-asan
    build fuzz
    ctest --preset fuzz
    windows_lane
    ;;
  *)
    echo "usage: scripts/setup.sh install | run [quillmark-cli arguments] | test" >&2
    exit 2
    ;;
esac

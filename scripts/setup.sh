#!/usr/bin/env bash
# Sets up a Debian 12 machine for Quillmark, builds it, and runs it or its tests.
#   scripts/setup.sh run    install what is missing, build, start the program (with arguments:
#                           quillmark-cli with those arguments)
#   scripts/setup.sh test   install what is missing, build twice (plain and with sanitizers)
#                           and run every test in both, then build the fuzz targets with
#                           libFuzzer and fuzz each for a fixed number of runs, then build the
#                           whole program for Windows and run its tests under wine (where the
#                           Qt for Windows of our machines is found)
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools
  clang-format
  g++-mingw-w64-x86-64-posix
  fonts-dejavu-core
  # TLS for the update client (libssl) and the update tests' certificates; the portable
  # update extracts with unzip; the tests pack archives and run a session bus of their own.
  openssl unzip zip dbus-daemon
  # The tests check the desktop entries the program writes, and run the program on an X11
  # desktop with a window manager.
  desktop-file-utils xvfb xauth openbox xdotool x11-utils
  # The Windows backends' tests run under wine; the fuzz targets build with clang's libFuzzer.
  wine wine64 doctest-dev clang libclang-rt-14-dev
  # The packages: icons and manual pages made at build time, the Debian package's dependencies,
  # and the validators the tests run on it.
  librsvg2-bin scdoc dpkg-dev lintian appstream
  # The icon of the Windows build (cmake --preset windows).
  icoutils
)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build() {
  cmake --preset "$1"
  cmake --build --preset "$1"
}

# The Windows build uses the Qt for Windows (mingw-w64) our machines keep beside the repository,
# unpacked into build/qt6-mingw; without it the lane is skipped.
windows_lane() {
  local archive=""
  for a in "${QM_QT_MINGW_ARCHIVE:-}" ../shared/qt6-mingw/qt6-mingw.tar.xz \
    /work/shared/qt6-mingw/qt6-mingw.tar.xz; do
    [ -n "$a" ] && [ -f "$a" ] && archive=$a && break
  done
  if [ -z "$archive" ]; then
    echo "SKIPPED: the Windows lane (no qt6-mingw.tar.xz; README: Building for Windows)"
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
    echo "usage: scripts/setup.sh run [quillmark-cli arguments] | test" >&2
    exit 2
    ;;
esac

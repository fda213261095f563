#!/usr/bin/env bash
# Renders docs/screenshots/*.png under Xvfb (installs xvfb when it is missing).
#   screenshots.sh            the Linux build's windows
#   screenshots.sh --windows  the Windows build's main window under wine (build/windows made)
set -euo pipefail
cd "$(dirname "$0")/.."
windows=false
[ "${1:-}" = --windows ] && windows=true
if ! command -v xvfb-run >/dev/null; then
  sudo=(); [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get install -y -q --no-install-recommends xvfb xauth fonts-dejavu-core
fi
preset=release
$windows && preset=windows
cmake --preset $preset >/dev/null
cmake --build --preset $preset --target qm_take_screenshots >/dev/null
mkdir -p docs/screenshots build/$preset/tests/gui/Language
cp share/Language/*.ini build/$preset/tests/gui/Language/
sample=/tmp/quillmark-sample
rm -rf "$sample"
trap 'rm -rf "$sample"' EXIT
mkdir -p "$sample/App/lang" "$sample/App/plugins/x"
touch "$sample/App/App.exe" "$sample/App/readme.txt" "$sample/App/lang/de.ini" \
      "$sample/App/lang/fr.ini" "$sample/App/plugins/x/x.dll"
if $windows; then
  # The platform's own plugin and style, in a prefix of its own; Qt and the compiler's DLLs
  # from where the build found them.
  source tests/support/wine-prefix.sh
  trap 'status=$?; rm -rf "$sample"; wine_prefix_cleanup "$status"' EXIT
  gcc_dlls=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
  export WINEPATH="Z:$PWD/build/qt6-mingw/bin;Z:$gcc_dlls;Z:/usr/x86_64-w64-mingw32/lib"
  xvfb-run -a -s "-screen 0 1280x800x24" "$wine" build/windows/tests/gui/qm_take_screenshots.exe \
    -platform windows --windows "Z:$PWD/docs/screenshots" 'Z:\tmp\quillmark-sample\App\' \
    "Z:$PWD/examples/example.reg" 2>&1 | grep -v EnableNonClientDpiScaling || true
  ls -l docs/screenshots/windows-*.png
  exit
fi
export XDG_CONFIG_HOME="$sample/config" XDG_RUNTIME_DIR="$sample/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" \
  build/release/tests/gui/qm_take_screenshots docs/screenshots "$sample/App/" examples/example.reg
ls -l docs/screenshots

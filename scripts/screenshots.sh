#!/usr/bin/env bash
# Renders docs/screenshots/*.png under Xvfb (installs xvfb when it is missing).
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v xvfb-run >/dev/null; then
  sudo=(); [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get install -y -q --no-install-recommends xvfb xauth fonts-dejavu-core
fi
cmake --preset release >/dev/null
cmake --build --preset release --target qm_take_screenshots >/dev/null
mkdir -p docs/screenshots build/release/tests/gui/Language
cp share/Language/*.ini build/release/tests/gui/Language/
sample=/tmp/quillmark-sample
rm -rf "$sample"
trap 'rm -rf "$sample"' EXIT
mkdir -p "$sample/App/lang" "$sample/App/plugins/x"
touch "$sample/App/App.exe" "$sample/App/readme.txt" "$sample/App/lang/de.ini" \
      "$sample/App/lang/fr.ini" "$sample/App/plugins/x/x.dll"
export XDG_CONFIG_HOME="$sample/config" XDG_RUNTIME_DIR="$sample/run"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" \
  build/release/tests/gui/qm_take_screenshots docs/screenshots "$sample/App/" examples/example.reg
ls -l docs/screenshots

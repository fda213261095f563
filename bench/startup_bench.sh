#!/usr/bin/env bash
# How long the program takes from its start until its main window is shown, under Xvfb: the
# median of RUNS starts (the program reports the moment its window is exposed and quits, when
# QUILLMARK_STARTUP_TIMING is set). Installs xvfb when it is missing.
#   bench/startup_bench.sh [RUNS=10] [PRESET=release]   (ci: the optimised build with debug data)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
preset=${2:-release}
if ! command -v xvfb-run >/dev/null; then
  sudo=(); [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get install -y -q --no-install-recommends xvfb xauth
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target quillmark >/dev/null
app=$PWD/build/$preset/src/app/quillmark
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -m 700 "$scratch/run"
cat >"$scratch/measure.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
for _ in $(seq "$1"); do
  start=$(date +%s%3N)
  shown=$(QUILLMARK_STARTUP_TIMING=1 "$2" 2>&1 >/dev/null | sed -n 's/.*window exposed at \([0-9]*\) ms.*/\1/p')
  echo $(( shown - start ))
done
INNER
# Its own settings, registry stand-in and lock; the update check asks a port where nothing
# listens, so no start waits for the network.
times=$(XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" \
  XDG_RUNTIME_DIR="$scratch/run" QUILLMARK_UPDATE_URLS="https://127.0.0.1:9/" \
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" \
  bash "$scratch/measure.sh" "$runs" "$app" | sort -n)
echo "start to window shown, ms:" $times
echo "$times" | awk '{ t[NR] = $1 } END {
  m = (NR % 2) ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
  printf "median %d ms over %d starts (goal: within 250 ms)\n", m, NR }'

#!/usr/bin/env bash
# Throughput and peak memory of `quillmark-cli registry` on a generated UTF-16LE export.
#   bench/registry_bench.sh [MEGABYTES=100] [RUNS=5]
set -euo pipefail
cd "$(dirname "$0")/.."
mb=${1:-100}
runs=${2:-5}

cmake --preset release >/dev/null
cmake --build --preset release --target quillmark-cli qm_gen_reg_export qm_run_measured >/dev/null
bin=build/release
data=bench/data/export-${mb}mb.reg
mkdir -p bench/data
[ -f "$data" ] || "$bin/bench/qm_gen_reg_export" "$data" "$mb"
bytes=$(stat -c %s "$data")
echo "input: $data, $bytes bytes"

results=$(for _ in $(seq "$runs"); do
  "$bin/bench/qm_run_measured" "$bin/src/cli/quillmark-cli" registry "$data"
done)
echo "$results"
times=$(echo "$results" | sed 's/.*wall_seconds=\([0-9.]*\).*/\1/' | sort -n)
best=$(echo "$times" | head -n 1)
median=$(echo "$times" | sed -n "$(( (runs + 1) / 2 ))p")
rss=$(echo "$results" | sed 's/.*max_rss_mb=\([0-9.]*\).*/\1/' | sort -n | tail -n 1)
awk -v bytes="$bytes" -v best="$best" -v median="$median" -v rss="$rss" 'BEGIN {
  printf "best %.3f s (%.0f MB/s), median %.3f s (%.0f MB/s), peak memory %.0f MB = %.2fx the file\n",
    best, bytes / 1e6 / best, median, bytes / 1e6 / median, rss, rss * 1048576 / bytes }'

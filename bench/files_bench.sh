#!/usr/bin/env bash
# `quillmark-cli files` on a generated tree beside `find DIR -type f | wc -l`, and the Files page
# itself (real widgets, offscreen) on the same tree, all with a warm cache. For the page it also
# reports the longest wait of the event loop during the scan: how late a Stop click can be
# answered.
#   bench/files_bench.sh [FILES=200000] [FOLDERS=20000] [RUNS=5]
set -euo pipefail
cd "$(dirname "$0")/.."
files=${1:-200000}
folders=${2:-20000}
runs=${3:-5}

cmake --preset release >/dev/null
cmake --build --preset release --target quillmark-cli qm_gen_file_tree qm_run_measured \
  qm_files_page_bench >/dev/null
bin=build/release
tree=bench/data/tree-${files}-${folders}
if [ ! -d "$tree" ]; then
  "$bin/bench/qm_gen_file_tree" "$tree.tmp" "$files" "$folders"
  mv "$tree.tmp" "$tree"
fi
find "$tree" -type f | wc -l >/dev/null # warm the cache

best() { sed 's/.*wall_seconds=\([0-9.]*\).*/\1/' | sort -n | head -n 1; }
find_best=$(for _ in $(seq "$runs"); do
  "$bin/bench/qm_run_measured" sh -c "find '$tree' -type f | wc -l"
done | best)
cli_runs=$(for _ in $(seq "$runs"); do
  "$bin/bench/qm_run_measured" "$bin/src/cli/quillmark-cli" files "$tree/" --dest '{app}' --flags ignoreversion
done)
cli_best=$(echo "$cli_runs" | best)
cli_rss=$(echo "$cli_runs" | sed 's/.*max_rss_mb=\([0-9.]*\).*/\1/' | sort -n | tail -n 1)
page_runs=$(for _ in $(seq "$runs"); do
  "$bin/bench/qm_files_page_bench" "$tree/" 2>/dev/null
done)
page_best=$(echo "$page_runs" | sed 's/.*page_seconds=\([0-9.]*\).*/\1/' | sort -n | head -n 1)
page_gap=$(echo "$page_runs" | sed 's/.*longest_event_gap_ms=\([0-9.]*\).*/\1/' | sort -n | tail -n 1)
page_rss=$(echo "$page_runs" | sed 's/.*max_rss_mb=\([0-9.]*\).*/\1/' | sort -n | tail -n 1)
page_section=$(echo "$page_runs" | sed 's/.*section_mb=\([0-9.]*\).*/\1/' | sort -n | tail -n 1)
"$bin/src/cli/quillmark-cli" files "$tree/" --dest '{app}' --flags ignoreversion >"$tree.iss"
lines=$(wc -l <"$tree.iss")
output_mb=$(stat -c %s "$tree.iss" | awk '{ print $1 / 1048576 }')
rm -f "$tree.iss"
awk -v f="$find_best" -v c="$cli_best" -v cm="$cli_rss" -v o="$output_mb" -v p="$page_best" \
    -v g="$page_gap" -v pm="$page_rss" -v ps="$page_section" -v n="$lines" 'BEGIN {
  printf "%d entry lines (%.0f MB); find: %.3f s, quillmark-cli files: %.3f s (%.2fx find; goal within 1.5x)\n", n - 1, o, f, c, c / f
  printf "quillmark-cli peak memory %.0f MB = %.0f bytes a file (goal: under 200; no line is kept)\n", cm, cm * 1048576 / (n - 1)
  printf "Files page: %.3f s (%.2fx the command line; goal within 2x), longest event-loop wait %.1f ms (goal: under 100)\n", p, p / c, g
  printf "Files page peak memory %.0f MB for a section of %.0f MB (%.2fx; goal: under 2x)\n", pm, ps, pm / ps }'

#!/usr/bin/env bash
# `quillmark-cli files` on a generated tree, beside `find DIR -type f | wc -l` on the same tree,
# both with a warm cache.
#   bench/files_bench.sh [FILES=200000] [FOLDERS=20000] [RUNS=5]
set -euo pipefail
cd "$(dirname "$0")/.."
files=${1:-200000}
folders=${2:-20000}
runs=${3:-5}

cmake --preset release >/dev/null
cmake --build --preset release --target quillmark-cli qm_gen_file_tree qm_run_measured >/dev/null
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
cli_best=$(for _ in $(seq "$runs"); do
  "$bin/bench/qm_run_measured" "$bin/src/cli/quillmark-cli" files "$tree/" --dest '{app}' --flags ignoreversion
done | best)
lines=$("$bin/src/cli/quillmark-cli" files "$tree/" | wc -l)
awk -v f="$find_best" -v c="$cli_best" -v n="$lines" 'BEGIN {
  printf "%d entry lines; find: %.3f s, quillmark-cli files: %.3f s, ratio %.2f\n", n - 1, f, c, c / f }'

#!/usr/bin/env bash
# Fuzzes one target for as long as asked:  scripts/fuzz.sh TARGET SECONDS
#   TARGET   regconv | ini | versioninfo | update_version | update_script
# Builds the fuzz preset (clang, libFuzzer) when needed. The growing corpus and any crash
# inputs stay outside the repository, in $QM_FUZZ_HOME (default ~/.cache/quillmark-fuzz)/TARGET;
# a crash found belongs in tests/fuzz/regressions/TARGET/ once it is fixed, so the suite replays it.
set -euo pipefail
cd "$(dirname "$0")/.."

targets="regconv ini versioninfo update_version update_script"
if [ $# -ne 2 ] || ! [[ " $targets " == *" $1 "* ]] || ! [[ "$2" =~ ^[0-9]+$ ]]; then
  echo "usage: scripts/fuzz.sh TARGET SECONDS   (TARGET: ${targets// / | })" >&2
  exit 2
fi
target=$1
seconds=$2

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "fuzz_$target"

home=${QM_FUZZ_HOME:-$HOME/.cache/quillmark-fuzz}/$target
mkdir -p "$home/corpus" "$home/crashes"
seeds=(build/fuzz/tests/fuzz/seeds/"$target")
case $target in
  regconv) seeds+=(../shared/corpus/reg examples) ;;
  ini) seeds=(share/Language) ;;
esac
inputs=()
for dir in "${seeds[@]}" "tests/fuzz/regressions/$target"; do
  [ -d "$dir" ] && inputs+=("$dir")
done

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
"build/fuzz/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=16384 -rss_limit_mb=4096 \
  -print_final_stats=1 -dict="tests/fuzz/dictionaries/$target.dict" \
  -artifact_prefix="$home/crashes/" "$home/corpus" "${inputs[@]}" 2>&1 | tee "$home/last-run.log" ||
  status=${PIPESTATUS[0]}
echo "corpus: $home/corpus ($(find "$home/corpus" -type f | wc -l) inputs)"
echo "crashes: $(find "$home/crashes" -type f | wc -l) in $home/crashes"
exit $status

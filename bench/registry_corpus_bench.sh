#!/usr/bin/env bash
# `quillmark-cli registry` on real exports: the files of the shared corpus, decoded, concatenated
# into one UTF-16LE export and repeated to about 100 MB, beside `iconv` reading the same file;
# then the Registry page itself (real widgets, offscreen) converting the same file, with the
# longest wait of its event loop: how late a click can be answered; and what a screen reader's
# request for all of the section's text costs there.
#   bench/registry_corpus_bench.sh [MEGABYTES=100] [RUNS=3]
# The corpus is ../shared/corpus/reg beside the project, or $QM_REG_CORPUS.
set -euo pipefail
cd "$(dirname "$0")/.."
mb=${1:-100}
runs=${2:-3}
corpus=${QM_REG_CORPUS:-../shared/corpus/reg}
if [ ! -f "$corpus/MANIFEST.tsv" ]; then
  echo "No export corpus at $corpus (set QM_REG_CORPUS): nothing measured."
  exit 0
fi
if [ ! -x /usr/bin/time ]; then
  sudo=(); [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get install -y -q --no-install-recommends time
fi

cmake --preset release >/dev/null
cmake --build --preset release --target quillmark-cli qm_registry_page_bench >/dev/null
cli=build/release/src/cli/quillmark-cli
data=bench/data/corpus-${mb}mb.reg
mkdir -p bench/data
if [ ! -f "$data" ]; then
  body=$(mktemp)
  trap 'rm -f "$body"' EXIT
  # Every export as UTF-8 text without its header line, lines ending in CR LF.
  tail -n +2 "$corpus/MANIFEST.tsv" | while IFS=$'\t' read -r file _ _ _ _ _ encoding _; do
    case "$encoding" in
      u16) iconv -f UTF-16 -t UTF-8 "$corpus/$file" ;;
      8bit) iconv -c -f CP1251 -t UTF-8 "$corpus/$file" ;; # the Cyrillic ones; others lose a byte
      u8bom) tail -c +4 "$corpus/$file" ;;
      *) cat "$corpus/$file" ;;
    esac | sed -e 's/\r$//' -e '/^Windows Registry Editor/d' -e '/^REGEDIT4/d' -e 's/$/\r/'
  done >"$body"
  chars=$(LC_ALL=C.UTF-8 wc -m <"$body")
  repeats=$(( (mb * 1000000 / 2 + chars - 1) / chars ))
  {
    printf '\xff\xfe'
    { printf 'Windows Registry Editor Version 5.00\r\n\r\n'
      for _ in $(seq "$repeats"); do cat "$body"; done
    } | iconv -f UTF-8 -t UTF-16LE
  } >"$data.tmp"
  mv "$data.tmp" "$data"
fi
bytes=$(stat -c %s "$data")

# Best wall time and largest peak memory over the runs: "seconds kilobytes".
measure() {
  for _ in $(seq "$runs"); do
    /usr/bin/time -f '%e %M' -o /dev/stderr "$@" 2>&1 >/dev/null | tail -n 1
  done | sort -n | awk 'NR == 1 { t = $1 } $2 > m { m = $2 } END { print t, m }'
}
read -r conv_s conv_kb < <(measure "$cli" registry "$data")
read -r iconv_s iconv_kb < <(measure iconv -f UTF-16 -t UTF-8 "$data")
page_runs=$(for _ in $(seq "$runs"); do
  build/release/bench/qm_registry_page_bench "$data" 2>/dev/null
done)
field() { echo "$page_runs" | sed "s/.*$1=\([0-9.]*\).*/\1/" | sort -n; }
page_s=$(field page_seconds | head -n 1)
page_gap=$(field longest_event_gap_ms | tail -n 1)
page_mb=$(field max_rss_mb | tail -n 1)
section_mb=$(field section_mb | tail -n 1)
awk -v bytes="$bytes" -v cs="$conv_s" -v ck="$conv_kb" -v is="$iconv_s" -v ik="$iconv_kb" \
    -v ps="$page_s" -v pg="$page_gap" -v pm="$page_mb" -v sm="$section_mb" 'BEGIN {
  mb = bytes / 1e6
  printf "input: %.1f MB of real exports (UTF-16LE)\n", mb
  printf "quillmark-cli registry: %.2f s, %.0f MB/s, peak memory %.0f MB\n", cs, mb / cs, ck / 1024
  printf "iconv -f UTF-16 -t UTF-8: %.2f s, peak memory %.0f MB\n", is, ik / 1024
  printf "ratio %.1fx iconv (goal: within 2x); memory %.0f MB against input + 64 MB = %.0f MB (goal: under)\n",
    cs / (is > 0 ? is : 0.01), ck / 1024, bytes / 1048576 + 64
  printf "Registry page: %.2f s (%.2fx the command line; goal within 2x), longest event-loop wait %.1f ms (goal: under 100)\n", ps, ps / cs, pg
  printf "Registry page peak memory %.0f MB for a section of %.0f MB (%.2fx; goal: under 2x)\n", pm, sm, pm / sm }'
build/release/bench/qm_registry_page_bench "$data" --accessible 2>/dev/null | tail -n 1 |
  awk '{ for (i = 1; i <= NF; ++i) { split($i, f, "="); v[f[1]] = f[2] }
    printf "screen reader, all of the text: %.2f s for %d characters; memory %.0f MB before, %.0f MB at the peak, %.0f MB after; the last line: %.2f ms\n",
      v["all_text_seconds"], v["characters"], v["rss_before_mb"], v["rss_peak_mb"], v["rss_after_mb"], v["last_line_ms"] }'

#!/usr/bin/env bash
# Export benchmark: prints how long DOCVANE takes to export a library compared
# with copying the same bytes by other means, and its peak memory.
#   1. a 1 GB library of 200 KB documents  vs  cat LIBRARY.DAT > one-file, and vs
#      split -b 204800 LIBRARY.DAT (the same bytes into as many files, by read and write)
#   2. 100 000 documents of 2 KB           vs  tar -xf of an archive of the same files
# Usage: bench/export_bench.sh [BUILD_DIR] [WORK_DIR]   (defaults: build, BUILD_DIR/bench-data)
set -euo pipefail
build=$(realpath "${1:-build}")
work=${2:-$build/bench-data}
mkdir -p "$work"
work=$(realpath "$work")
docvane=$build/docvane
mkvrax=$build/mkvrax
runs=${RUNS:-3}

seconds() {  # seconds COMMAND... : wall time of one run, on stdout
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f", b - a }'
}

best_of() {  # best_of PREPARE COMMAND... : the shortest of $runs runs, PREPARE untimed
  local prepare=$1 best="" t
  shift
  for _ in $(seq "$runs"); do
    "$prepare"
    t=$(seconds "$@")
    if [ -z "$best" ] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$t; fi
  done
  echo "$best"
}

fresh_dir() { rm -rf "$1"; mkdir -p "$1"; }

export_into() {  # export_into DIR LIBRARY
  (cd "$1" && "$docvane" "$2")
}

peak_kb() {  # peak_kb DIR LIBRARY : peak resident memory of one export, in KB
  fresh_dir "$1"
  (cd "$1" && /usr/bin/time -f "%M" "$docvane" "$2" 2>&1 >/dev/null | tail -n 1)
}

report() {  # report NAME DOCVANE_SECONDS BASELINE_NAME BASELINE_SECONDS PEAK_KB TARGET
  awk -v name="$1" -v t="$2" -v base="$3" -v tb="$4" -v kb="$5" -v target="$6" 'BEGIN {
    printf "%s\n  docvane: %.3f s   %s: %.3f s   ratio: %.3f (target <= %s)   peak memory: %.1f MB (target < 8 MB)\n",
      name, t, base, tb, t / tb, target, kb / 1024 }'
}

# 1. One large library of 200 KB documents.
big=$work/big.DAT
[ -f "$big" ] || "$mkvrax" --documents 5000 --size 204800 "$big" >/dev/null
cat "$big" >/dev/null  # same page cache for both
prepare_big() { rm -f "$work/one-file"; fresh_dir "$work/out-big"; sync; }
cat_copy() { cat "$big" > "$work/one-file"; sync "$work/one-file"; }
split_copy() { split -b 204800 "$big" "$work/out-big/part"; sync -f "$work/out-big"; }
docvane_big() { export_into "$work/out-big" "$big"; sync -f "$work/out-big"; }
t_cat=$(best_of prepare_big cat_copy)
t_split=$(best_of prepare_big split_copy)
t_big=$(best_of prepare_big docvane_big)
m_big=$(peak_kb "$work/out-big" "$big")
rm -f "$work/one-file"
report "1 GB library, 200 KB documents ($(du -h "$big" | cut -f1))" "$t_big" "cat > one-file" "$t_cat" "$m_big" 1.15
report "  the same, against the same bytes split into files of 200 KB" "$t_big" "split" "$t_split" "$m_big" 1.15

# 2. Many small documents.
small=$work/small.DAT
[ -f "$small" ] || "$mkvrax" --documents 100000 --size 2048 "$small" >/dev/null
prepare_small() { fresh_dir "$work/out-small"; sync; }
prepare_small
export_into "$work/out-small" "$small" >/dev/null
tar -cf "$work/small.tar" -C "$work/out-small" .
cat "$small" "$work/small.tar" >/dev/null  # same page cache for both
tar_extract() { tar -xf "$work/small.tar" -C "$work/out-small"; sync -f "$work/out-small"; }
docvane_small() { export_into "$work/out-small" "$small"; sync -f "$work/out-small"; }
t_tar=$(best_of prepare_small tar_extract)
t_small=$(best_of prepare_small docvane_small)
m_small=$(peak_kb "$work/out-small" "$small")
report "100 000 documents of 2 KB" "$t_small" "tar -xf" "$t_tar" "$m_small" 1.2
rm -rf "$work/out-big" "$work/out-small" "$work/small.tar"

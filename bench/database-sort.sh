#!/bin/bash
# The card-file database at full size (16384 records x 32 fields of 20-40 bytes): the
# in-process benchmarks (load + save, sort, search, window load, against reading and
# writing the bytes), then sort(1) on the same records as CSV, keyed on field 3 as the
# program's sort is, and the headless re-save against cp.
# Usage: bench/database-sort.sh BUILD_DIR [VELMORA]   (BUILD_DIR configured with
# -DVELMORA_BUILD_BENCH=ON; VELMORA defaults to BUILD_DIR/shell/velmora)
set -euo pipefail
build=${1:?build directory}
exe="$build/bench/bench_database"
velmora=$(realpath -m "${2:-$build/shell/velmora}")
[ -x "$exe" ] || cmake --build "$build" -j2 --target bench_database
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
echo "machine: $(nproc) cores, $(date -u +%Y-%m-%d), load average $(cut -d' ' -f1-3 /proc/loadavg)"
"$exe" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
"$exe" --generate "$work"
ls -l "$work/plein.qvb" "$work/plein.csv"
cmds=(-n "sort -t';' -k3,3 (C)" "LC_ALL=C sort -t';' -k3,3 $work/plein.csv -o $work/trie-c.csv"
      -n "sort -t';' -k3,3 (C.UTF-8)" "LC_ALL=C.UTF-8 sort -t';' -k3,3 $work/plein.csv -o $work/trie-u.csv"
      -n cp "cp $work/plein.qvb $work/copie.qvb")
if [ -x "$velmora" ]; then
  cmds+=(-n velmora-qvb "$velmora --headless --convert-to qvb --outdir $work/out $work/plein.qvb")
fi
hyperfine --warmup 1 --runs 10 "${cmds[@]}"

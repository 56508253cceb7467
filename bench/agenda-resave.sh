#!/bin/bash
# The day planner on a ten-year agenda (about 100 000 lines): the in-process benchmarks
# (load, save, day changes in the model and in the window, against reading the bytes),
# then the headless re-save and exports of the whole file against `cp` of the same file.
# Usage: bench/agenda-resave.sh BUILD_DIR   (configured with -DVELMORA_BUILD_BENCH=ON)
set -euo pipefail
build=${1:?build directory}
exe="$build/bench/bench_agenda"
[ -x "$exe" ] || cmake --build "$build" -j2 --target bench_agenda
[ -x "$build/shell/velmora" ] || cmake --build "$build" -j2 --target velmora
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
echo "machine: $(nproc) cores, $(date -u +%Y-%m-%d)"
"$exe" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
"$exe" --generate "$work/dix-ans.qva"
wc -l "$work/dix-ans.qva"; ls -l "$work/dix-ans.qva"
hyperfine --warmup 1 --runs 5 \
  -n cp "cp $work/dix-ans.qva $work/copie.qva" \
  -n velmora-qva "$build/shell/velmora --headless --convert-to qva --outdir $work/out $work/dix-ans.qva" \
  -n velmora-csv "$build/shell/velmora --headless --convert-to csv --outdir $work/out $work/dix-ans.qva" \
  -n velmora-ics "$build/shell/velmora --headless --convert-to ics --outdir $work/out $work/dix-ans.qva"

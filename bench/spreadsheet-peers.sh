#!/bin/bash
# Side-by-side timing of the 100 000-formula workbook: Velmora's engine (open, full
# recalculation, CSV) against its XML copy floor, and against the peer programs
# (ssconvert --recalc, soffice --convert-to csv) when they are installed.
# Usage: bench/spreadsheet-peers.sh BUILD_DIR   (configured with -DVELMORA_BUILD_BENCH=ON)
set -euo pipefail
build=${1:?build directory}
exe="$build/bench/bench_spreadsheet_engine"
[ -x "$exe" ] || cmake --build "$build" -j2 --target bench_spreadsheet_engine
echo "machine: $(nproc) cores, $(date -u +%Y-%m-%d)"
"$exe" --benchmark_filter='BM_(OpenRecalcCsv|XmlCopyFloor|FullRecalc|Change.*)' \
       --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
for peer in ssconvert soffice; do
  if command -v "$peer" >/dev/null; then
    echo "$peer is installed: run it by hand on the workbook the benchmark writes (see bench/results/spreadsheet.md)"
  else
    echo "$peer: not installed, no peer measurement"
  fi
done

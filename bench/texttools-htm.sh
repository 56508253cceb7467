#!/bin/bash
# HTML export throughput on a 10 MB document: the converter in memory against two floors
# measured in the same run (a plain copy of the bytes; splitting into lines and joining
# them back), then the whole command line (read, convert, write atomically) against a file
# copy with hyperfine. The peers unrtf --html and soffice --convert-to html are timed when
# installed. Usage: bench/texttools-htm.sh BUILD_DIR   (configured with -DVELMORA_BUILD_BENCH=ON)
set -euo pipefail
build=${1:?build directory}
exe="$build/bench/bench_texttools_htmlexport"
[ -x "$exe" ] || cmake --build "$build" -j2 --target bench_texttools_htmlexport
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg), $(date -u +%Y-%m-%d)"
"$exe" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
"$exe" --write "$work/doc.qvt"
velmora="$build/shell/velmora"
if [ -x "$velmora" ] && command -v hyperfine >/dev/null; then
  export QT_QPA_PLATFORM=offscreen
  hyperfine --warmup 1 --runs 5 \
    -n velmora-htm "$velmora --headless --convert-to htm --outdir $work/out $work/doc.qvt" \
    -n copy-floor "cp $work/doc.qvt $work/copy.qvt"
else
  echo "velmora or hyperfine missing: command-line timing skipped"
fi
for peer in unrtf soffice; do
  if command -v "$peer" >/dev/null; then
    echo "$peer is installed: compare by hand on $work/doc.qvt"
  else
    echo "$peer: not installed, no peer measurement"
  fi
done

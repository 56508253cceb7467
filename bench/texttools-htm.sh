#!/bin/bash
# HTML export throughput on a 10 MB document: the converter in memory against two floors
# measured in the same run (a plain copy of the bytes; splitting into lines and joining
# them back), then the whole command line (read, convert, write atomically) against a file
# copy with hyperfine. The peers unrtf --html and soffice --convert-to html are timed when
# installed. Usage: [BASELINE=OLD_BENCH_BINARY] bench/texttools-htm.sh BUILD_DIR
# (BUILD_DIR configured with -DVELMORA_BUILD_BENCH=ON)
set -euo pipefail
build=${1:?build directory}
exe="$build/bench/bench_texttools_htmlexport"
[ -x "$exe" ] || cmake --build "$build" -j2 --target bench_texttools_htmlexport
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg), $(date -u +%Y-%m-%d)"
"$exe" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
# Side by side with an earlier build of the benchmark (BASELINE=path/to/old/binary): the two
# take turns, so that both see the same load.
if [ -n "${BASELINE:-}" ]; then
  for round in 1 2 3; do
    for b in "$BASELINE" "$exe"; do
      echo "round $round: $b"
      "$b" --benchmark_filter='BM_HtmlExport|BM_SplitJoinFloor|BM_RtfReaderPeer' --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true 2>/dev/null | grep median
    done
  done
fi
"$exe" --write "$work/doc.qvt"
velmora="$build/shell/velmora"
[ -x "$velmora" ] || cmake --build "$build" -j2 --target velmora
export QT_QPA_PLATFORM=offscreen
# The peers read the same 10 MB file; LibreOffice needs minutes on it (every bullet item
# opens a list of its own), so it converts the first megabyte, against our export of
# that same megabyte.
head -c 1048576 "$work/doc.qvt" > "$work/small.rtf"; printf '\\par }\r\n' >> "$work/small.rtf"
ls -l "$work/doc.qvt" "$work/small.rtf"
cmds=(-n velmora-htm "$velmora --headless --convert-to htm --outdir $work/out $work/doc.qvt"
      -n copy-floor "cp $work/doc.qvt $work/copy.qvt")
command -v unrtf >/dev/null && cmds+=(-n unrtf-html "unrtf --html $work/doc.qvt > $work/unrtf.htm") \
  || echo "unrtf: not installed, no peer measurement"
hyperfine --warmup 1 --runs 5 "${cmds[@]}"
if command -v soffice >/dev/null; then
  profile="file://$work/profile"
  soffice -env:UserInstallation="$profile" --headless --terminate_after_init >/dev/null 2>&1 || true
  hyperfine --runs 3 \
    -n velmora-htm-1MB "$velmora --headless --convert-to htm --outdir $work/out $work/small.rtf" \
    -n soffice-html-1MB "soffice -env:UserInstallation=$profile --headless --convert-to html --outdir $work/so $work/small.rtf"
else
  echo "soffice: not installed, no peer measurement"
fi

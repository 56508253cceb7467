#!/bin/bash
# Side-by-side timing of the 100 000-formula workbook: open, full recalculation and CSV of the
# first sheet by Velmora's command line, by Gnumeric (ssconvert --recalc, given the same
# workbook as a zipped .ods since it reads no flat file) and by LibreOffice (soffice
# --convert-to csv on the very file Velmora reads), in the same run; then the engine's own
# benchmarks (in-process open/recalc/CSV against the XML copy floor, one input changed).
# Usage: bench/spreadsheet-peers.sh BENCH_BUILD_DIR [VELMORA_BUILD_DIR]
#   BENCH_BUILD_DIR configured with -DVELMORA_BUILD_BENCH=ON (e.g. build-sheetcore),
#   VELMORA_BUILD_DIR holds shell/velmora (default: build-sheetui).
set -euo pipefail
build=${1:?bench build directory}
appbuild=${2:-build-sheetui}
exe="$build/bench/bench_spreadsheet_engine"
velmora="$(realpath "$appbuild")/shell/velmora"
cmake --build "$build" -j2 --target bench_spreadsheet_engine
cmake --build "$appbuild" -j2 --target velmora
work=$(mktemp -d /tmp/velmora-sheet-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
echo "machine: $(nproc) cores, $(date -u '+%Y-%m-%d %H:%M UTC'), load average: $(cut -d' ' -f1-3 /proc/loadavg)"

"$exe" --write-workbook "$work/bench.qvc"
cp "$work/bench.qvc" "$work/bench.fods"
lo=(soffice "-env:UserInstallation=file://$work/lo-profile" --headless --norestore)
have_lo=0; have_gnumeric=0
command -v soffice >/dev/null && have_lo=1
command -v ssconvert >/dev/null && have_gnumeric=1
# Not timed: the zipped form for Gnumeric, made by LibreOffice from the same file.
if [ $have_lo = 1 ] && [ $have_gnumeric = 1 ]; then
  "${lo[@]}" --convert-to ods --outdir "$work" "$work/bench.fods" >/dev/null 2>&1
fi

commands=(-n velmora "$velmora --headless --convert-to csv --outdir $work/v $work/bench.qvc")
[ $have_gnumeric = 1 ] && [ -f "$work/bench.ods" ] &&
  commands+=(-n ssconvert "ssconvert --recalc $work/bench.ods $work/g.csv")
[ $have_lo = 1 ] &&
  commands+=(-n soffice "${lo[*]} --convert-to csv --outdir $work/lo $work/bench.fods")
[ $have_lo = 0 ] && echo "soffice: not installed, no measurement"
[ $have_gnumeric = 0 ] && echo "ssconvert: not installed, no measurement"
hyperfine --warmup 1 --runs "${RUNS:-5}" --export-markdown "$work/peers.md" "${commands[@]}"
cat "$work/peers.md"

# The three programs must have computed the same thing for the timing to mean anything.
python3 - "$work/v/bench.csv" "$work/lo/bench.csv" "$work/g.csv" <<'EOF'
import csv, os, sys
def load(path, delim):
    with open(path, newline='', encoding='utf-8') as f:
        return list(csv.reader(f, delimiter=delim))
ours = load(sys.argv[1], ';')
for path, delim, name in ((sys.argv[2], ',', 'soffice'), (sys.argv[3], ',', 'ssconvert')):
    if not os.path.exists(path):
        continue
    theirs = load(path, delim)
    differ = compared = 0
    for r, row in enumerate(ours):
        for c, a in enumerate(row):
            b = theirs[r][c] if r < len(theirs) and c < len(theirs[r]) else ''
            try:
                same = abs(float(a) - float(b)) <= 1e-9 * max(1.0, abs(float(b)))
            except ValueError:
                same = a == b
            compared += 1
            differ += not same
    print(f"{name}: {compared} fields compared with Velmora's CSV, {differ} differ")
EOF

"$exe" --benchmark_filter='BM_(OpenRecalcCsv|XmlCopyFloor|FullRecalc|Change.*)' \
       --benchmark_repetitions=3 --benchmark_report_aggregates_only=true

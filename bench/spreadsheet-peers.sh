#!/bin/bash
# Side-by-side timing of open + full recalculation + CSV of the first sheet, on the
# 100 000-formula workbook and on the 1 000 000-formula one (chains 250 000 deep): Velmora's
# engine (bench_spreadsheet_engine --convert, the headless conversion without the program's
# start-up), Velmora's command line when its build is given, Gnumeric (ssconvert --recalc on
# the same workbook zipped, since it reads no flat file) and LibreOffice (soffice
# --convert-to csv on the very file Velmora reads), in the same run; peak memory of each
# (/usr/bin/time -v); then the engine's own benchmarks (open, save, full recalculation,
# one input changed) and the time from the open command to the window's first screen.
# Usage: bench/spreadsheet-peers.sh BENCH_BUILD_DIR [VELMORA_BUILD_DIR]
#   BENCH_BUILD_DIR configured with -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_BENCH=ON
#   (e.g. build-rel); VELMORA_BUILD_DIR, when given, holds shell/velmora.
#   RUNS (default 5) runs of the 100 000-formula case, BIG_RUNS (default 2) of the other;
#   BIG=0 leaves the 1 000 000-formula case out.
set -euo pipefail
build=${1:?bench build directory}
appbuild=${2:-}
exe="$(realpath "$build")/bench/bench_spreadsheet_engine"
cmake --build "$build" -j2 --target bench_spreadsheet_engine bench_spreadsheet_open
velmora=""
if [ -n "$appbuild" ]; then
  cmake --build "$appbuild" -j2 --target velmora
  velmora="$(realpath "$appbuild")/shell/velmora"
fi
work=$(mktemp -d /tmp/velmora-sheet-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
echo "machine: $(nproc) cores, $(date -u '+%Y-%m-%d %H:%M UTC'), load average: $(cut -d' ' -f1-3 /proc/loadavg)"
lo=(soffice "-env:UserInstallation=file://$work/lo-profile" --headless --norestore)
have_lo=0; have_gnumeric=0
command -v soffice >/dev/null && have_lo=1
command -v ssconvert >/dev/null && have_gnumeric=1
[ $have_lo = 0 ] && echo "soffice: not installed, no measurement"
[ $have_gnumeric = 0 ] && echo "ssconvert: not installed, no measurement"

# compare.py OURS THEIRS NAME: the programs must have computed the same thing.
cat > "$work/compare.py" <<'PY'
import csv, os, sys
def load(path, delim):
    with open(path, newline='', encoding='utf-8') as f:
        return list(csv.reader(f, delimiter=delim))
ours = load(sys.argv[1], ';')
if os.path.exists(sys.argv[2]):
    theirs = load(sys.argv[2], ',')
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
    print(f"{sys.argv[3]}: {compared} fields compared with Velmora's CSV, {differ} differ")
PY

# peak NAME COMMAND...: one run under /usr/bin/time -v, its wall time and peak memory.
peak() {
  local name=$1; shift
  /usr/bin/time -v "$@" >/dev/null 2>"$work/time.txt" || true
  printf '%-10s wall %s, peak %s MB\n' "$name" \
    "$(grep 'Elapsed (wall' "$work/time.txt" | awk '{print $NF}')" \
    "$(awk '/Maximum resident/ {printf "%.0f", $NF/1024}' "$work/time.txt")"
}

# measure TAG ROWS RUNS GNUMERIC: writes the workbook of ROWS rows and times everyone on it.
measure() {
  local tag=$1 rows=$2 runs=$3 gnumeric=$4 dir="$work/$1"
  mkdir -p "$dir/v" "$dir/lo"
  "$exe" --write-workbook "$dir/bench.qvc" "$rows"
  cp "$dir/bench.qvc" "$dir/bench.fods"
  echo "== $tag: $(du -h "$dir/bench.qvc" | cut -f1) of flat XML"
  # Not timed: the zipped form for Gnumeric, made by LibreOffice from the same file.
  if [ $have_lo = 1 ] && [ $have_gnumeric = 1 ] && [ "$gnumeric" = 1 ]; then
    "${lo[@]}" --convert-to ods --outdir "$dir" "$dir/bench.fods" >/dev/null 2>&1
  fi
  local commands=(-n engine "$exe --convert $dir/bench.qvc $dir/v/bench.csv")
  [ -n "$velmora" ] && commands+=(-n velmora "$velmora --headless --convert-to csv --outdir $dir/v $dir/bench.qvc")
  [ -f "$dir/bench.ods" ] && commands+=(-n ssconvert "ssconvert --recalc $dir/bench.ods $dir/g.csv")
  [ $have_lo = 1 ] && commands+=(-n soffice "${lo[*]} --convert-to csv --outdir $dir/lo $dir/bench.fods")
  hyperfine --warmup 1 --runs "$runs" --export-markdown "$dir/peers.md" "${commands[@]}"
  cat "$dir/peers.md"
  peak engine "$exe" --convert "$dir/bench.qvc" "$dir/v/bench.csv"
  [ -n "$velmora" ] && peak velmora "$velmora" --headless --convert-to csv --outdir "$dir/v" "$dir/bench.qvc"
  [ -f "$dir/bench.ods" ] && peak ssconvert ssconvert --recalc "$dir/bench.ods" "$dir/g.csv"
  [ $have_lo = 1 ] && peak soffice "${lo[@]}" --convert-to csv --outdir "$dir/lo" "$dir/bench.fods"
  python3 "$work/compare.py" "$dir/v/bench.csv" "$dir/lo/bench.csv" soffice
  python3 "$work/compare.py" "$dir/v/bench.csv" "$dir/g.csv" ssconvert
  rm -f "$dir"/bench.* "$dir"/g.csv
}

measure 100k-formulas 25000 "${RUNS:-5}" 1
[ "${BIG:-1}" = 1 ] && measure 1M-formulas 250000 "${BIG_RUNS:-2}" 0

"$exe" --benchmark_filter='BM_(OpenRecalcCsv|OpenQvc|SaveQvc|FullRecalc|Change.*)' \
       --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
# The spreadsheet window: from the open command to the first screen painted.
"$exe" --write-workbook "$work/window.qvc"
"$(realpath "$build")/bench/bench_spreadsheet_open" --workbook "$work/window.qvc" \
       --benchmark_repetitions=3 --benchmark_report_aggregates_only=true

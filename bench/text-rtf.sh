#!/bin/bash
# RTF throughput of the word processor on a 10 MB document in the control's style: parse,
# write and open-to-first-page against the floor of reading the bytes; then the headless
# conversion to text against `cat` and, when installed, unrtf, abiword and soffice.
# Usage: bench/text-rtf.sh BUILD_DIR   (configured with -DVELMORA_BUILD_BENCH=ON)
set -euo pipefail
build=${1:?build directory}
exe="$build/bench/bench_text_rtf"
[ -x "$exe" ] || cmake --build "$build" -j2 --target bench_text_rtf
[ -x "$build/shell/velmora" ] || cmake --build "$build" -j2 --target velmora
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg), $(date -u +%Y-%m-%d)"
"$exe" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
"$exe" --generate "$work/big.qvt"
head -c 1048576 "$work/big.qvt" > "$work/small.rtf"; printf '\\par }\r\n' >> "$work/small.rtf"
ls -l "$work/big.qvt" "$work/small.rtf"
cmds=(-n cat "cat $work/big.qvt > /dev/null"
      -n velmora-txt "$build/shell/velmora --headless --convert-to txt --outdir $work/out $work/big.qvt")
command -v unrtf >/dev/null && cmds+=(-n unrtf "unrtf --text $work/big.qvt > /dev/null") || echo "unrtf: not installed"
command -v abiword >/dev/null && cmds+=(-n abiword "abiword --to=txt -o $work/abi.txt $work/big.qvt") || echo "abiword: not installed"
hyperfine --warmup 1 --runs 5 "${cmds[@]}"
if command -v soffice >/dev/null; then
  # A private profile, created before the timing so that only the conversion is measured.
  profile="file://$work/profile"
  soffice -env:UserInstallation="$profile" --headless --terminate_after_init >/dev/null 2>&1 || true
  hyperfine --runs 3 -n velmora-1MB "$build/shell/velmora --headless --convert-to txt --outdir $work/out $work/small.rtf" \
    -n soffice-1MB "soffice -env:UserInstallation=$profile --headless --convert-to txt --outdir $work/so $work/small.rtf"
else
  echo "soffice: not installed"
fi

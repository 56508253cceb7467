#!/bin/bash
# Start-up time: from process start to the frame shown, against a bare main window with a
# multiple-document area built the same way, in the same run.
# Usage: bench/startup.sh BUILD_DIR   (configured with -DVELMORA_BUILD_BENCH=ON)
set -euo pipefail
build=$(realpath "${1:-build-bench}")
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} VELMORA_QUIT_WHEN_SHOWN=1
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
cd "$work"
hyperfine --warmup 3 --runs 30 --export-markdown "$work/startup.md" \
  -n velmora "$build/shell/velmora" \
  -n bare-frame "$build/bench/bench_bare_frame"
cat "$work/startup.md"
# Peak memory once the frame is shown (maximum resident set, median of five runs).
for exe in "$build/shell/velmora" "$build/bench/bench_bare_frame"; do
  for i in 1 2 3 4 5; do /usr/bin/time -f %M "$exe" 2>&1 >/dev/null | tail -1; done |
    sort -n | sed -n 3p | xargs printf "peak memory %s KB: $(basename "$exe")\n"
done

#!/bin/bash
# Start-up time: from process start to the frame shown, against a bare main window with a
# multiple-document area built the same way, in the same run.
# Usage: bench/startup.sh BUILD_DIR   (configured with -DVELMORA_BUILD_BENCH=ON)
set -euo pipefail
build=${1:-build-bench}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} VELMORA_QUIT_WHEN_SHOWN=1
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
cd "$work"
hyperfine --warmup 3 --runs 30 --export-markdown "$work/startup.md" \
  -n velmora "$build/shell/velmora" \
  -n bare-frame "$build/bench/bench_bare_frame"
cat "$work/startup.md"

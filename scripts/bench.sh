#!/usr/bin/env bash
# Builds Nollex with its benchmark program into build-bench/ and prints the table of
# medians. The windows run on a virtual X server (xvfb-run), or on Qt's offscreen
# platform where there is none. Arguments go to the benchmark program, e.g.
#   bash scripts/bench.sh --only startup,close    or    bash scripts/bench.sh --quick
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNOLLEX_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target nollex_bench
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR
  XDG_RUNTIME_DIR=$(mktemp -d)
  trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi
echo "load before the run: $(cut -d' ' -f1-3 /proc/loadavg)" >&2
if command -v xvfb-run >/dev/null; then
  unset QT_QPA_PLATFORM
  xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/nollex_bench" "$@"
else
  QT_QPA_PLATFORM=offscreen "$build/bench/nollex_bench" "$@"
fi

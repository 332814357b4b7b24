#!/usr/bin/env bash
# Times every pathological input at N and 8N and prints the ratio as a
# Markdown table (target: at most 10 for 8 times the input).
#
# usage: bench/pathological.sh [--only TEXT] [--repeats N] [--timeout SECONDS] [--work DIR]
# The options are those of bench/pathological.py; --list shows the inputs.
set -euo pipefail
cd "$(dirname "$0")/.."

echo "building the Release binary in build/bench" >&2
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DMT_TESTS=OFF >/dev/null
ninja -C build/bench -j 2 maketarnwick >/dev/null

exec python3 bench/pathological.py --tool build/bench/maketarnwick "$@"

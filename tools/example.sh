#!/usr/bin/env bash
# Builds the tool and runs it on the example site.
# Usage: tools/example.sh [OUTPUT_FOLDER [URL_ROOT]]
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/deps.sh
need_packages "${BUILD_PACKAGES[@]}"

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMT_TESTS=OFF >/dev/null
cmake --build build/release --target maketarnwick

out=$(realpath -m "${1:-build/example-site}")
url_root=${2:-file://$out}
mkdir -p "$out"
examples/release-files.sh "$out"
(cd examples/site && ../../build/release/maketarnwick "$out" "$url_root")
echo
echo "The example site was written to $out"
echo "Open $out/index.html in a browser."

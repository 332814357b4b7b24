#!/usr/bin/env bash
# End-to-end tests of the example site in Chromium, PHP and the preview; installs what they need.
# usage: tests/e2e/run.sh [node --test arguments, e.g. a test file]
# MAKETARNWICK=path runs the suite against that binary instead of building build/e2e (Release);
# E2E_BUILD_DIR=path is the build folder that `cmake --install` is tested on.
set -euo pipefail
e2e=$(cd "$(dirname "$0")" && pwd)
cd "$e2e/../.."
. tools/deps.sh
need_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

# playwright-core never downloads a browser; the suite uses /usr/bin/chromium.
[ -d "$e2e/node_modules/playwright-core" ] ||
  (cd "$e2e" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 timeout 600 npm ci --no-audit --no-fund)

if [ -z "${MAKETARNWICK:-}" ]; then
  cmake -S . -B build/e2e -G Ninja -DCMAKE_BUILD_TYPE=Release -DMT_TESTS=OFF >/dev/null
  cmake --build build/e2e --target maketarnwick -j 2
  export MAKETARNWICK=$PWD/build/e2e/maketarnwick E2E_BUILD_DIR=$PWD/build/e2e
fi

# Every server the tests start leaves its pid here until it is stopped; what is left is killed.
E2E_PIDDIR=$(mktemp -d)
export E2E_PIDDIR
cleanup() {
  for f in "$E2E_PIDDIR"/*.pid; do [ -e "$f" ] && kill "$(cat "$f")" 2>/dev/null; done
  rm -rf "$E2E_PIDDIR"
}
trap cleanup EXIT INT TERM

cd "$e2e"
[ "$#" -gt 0 ] || set -- ./*.test.mjs
timeout 1200 node --test --test-concurrency=1 "$@"

#!/usr/bin/env bash
# Builds everything and runs every test.
# Usage: tools/test.sh [--sanitize]   (--sanitize: AddressSanitizer and
# UndefinedBehaviorSanitizer build in build/asan)
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/deps.sh
# Everything the tests need, before any of them runs: a test whose tool is
# missing skips (fails when CI=true).
need_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

dir=build/debug
flags=(-DCMAKE_BUILD_TYPE=Debug)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build/asan
  flags=(-DCMAKE_BUILD_TYPE=Debug -DMT_SANITIZE=ON)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
cmake -S . -B "$dir" -G Ninja "${flags[@]}" >/dev/null
cmake --build "$dir" -j 2
ctest --test-dir "$dir" --output-on-failure -j 2

# >>> end-to-end tests (owner: tests/e2e): the example site in Chromium, PHP
# and a crawler; skipped in the sanitizer run, which .ci/run covers itself.
if [ "${1:-}" != "--sanitize" ]; then
  tests/e2e/run.sh
fi
# <<< end-to-end tests

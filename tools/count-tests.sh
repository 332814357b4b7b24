#!/usr/bin/env bash
# Prints the size of the tests against the code, in non-blank lines:
#   src/                      every file
#   test code                 C++, JavaScript, shell and PHP under tests/ and fuzz/,
#                             but not the golden files
#   golden files, fixtures    tests/golden/, tests/**/cases/,
#                             tests/**/fixtures/, tests/**/*.table
# Targets: test code at most 33% of src/, golden files and fixtures at most
# 15% more. --check exits 1 when either is exceeded.
set -euo pipefail
cd "$(dirname "$0")/.."

nonblank() { xargs -0 -r cat -- | grep -cv '^[[:space:]]*$' || true; }

src=$(find src -type f -print0 | nonblank)
code=$(find tests fuzz \( -name node_modules -o -path tests/golden \) -prune -o -type f \
  \( -name '*.cpp' -o -name '*.h' -o -name '*.mjs' -o -name '*.js' -o -name '*.sh' -o -name '*.php' \) -print0 | nonblank)
data=$(find tests -name node_modules -prune -o -type f ! -name '.git*' \
  \( -path 'tests/golden/*' -o -path '*/cases/*' -o -path '*/fixtures/*' -o -name '*.table' \) -print0 | nonblank)

percent() { echo $(( ($1 * 1000 / src + 5) / 10 )); }
printf 'src/                      %6d lines\n' "$src"
printf 'test code                 %6d lines  %3d%% of src/ (target at most 33%%)\n' "$code" "$(percent "$code")"
printf 'golden files, fixtures    %6d lines  %3d%% of src/ (target at most 15%%)\n' "$data" "$(percent "$data")"

if [ "${1:-}" = --check ] && { [ $((code * 100)) -gt $((src * 33)) ] || [ $((data * 100)) -gt $((src * 15)) ]; }; then
  echo "count-tests: the tests are larger than the targets" >&2
  exit 1
fi

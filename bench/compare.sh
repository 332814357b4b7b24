#!/usr/bin/env bash
# Proves that a change leaves the output alone: builds N random sites
# (bench/random_site.py) with two binaries in exactly the same conditions and
# compares the exit status, standard output, standard error and the whole
# output tree byte for byte. Prints the first difference of each differing
# site and ends with "compared N sites: all identical" (exit 0) or how many
# differed (exit 1).
#
# usage: bench/compare.sh BIN_A BIN_B [-n 300] [-s FIRST_SEED] [-j 2]
#          [--flags "--pedantic ..."] [--flags-b "--incremental"] [--config] [--keep DIR] [--show 3]
#          [--stop] [--timeout 30]
# The options are those of bench/compare.py (--help lists them).
#
# The last commit's binary against the work tree's:
#   cmake --build build/release -j 2
#   bench/compare.sh $(bench/build-at.sh HEAD) build/release/maketarnwick
set -euo pipefail
exec python3 "$(dirname "$0")/compare.py" "$@"

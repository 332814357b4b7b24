#!/usr/bin/env bash
# Builds the tool and its tests as Release with every warning an error:
# some warnings (for example -Wrestrict) appear only with optimisation.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/werror -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-Werror >/dev/null
cmake --build build/werror -j"$(nproc)"

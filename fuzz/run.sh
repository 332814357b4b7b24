#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for SECONDS seconds, one after
# the other, then prints per target the executions, the final coverage and
# the crashes: the crash-, leak-, timeout- and oom- artifacts written by this
# run. Exits non-zero when any target crashed.
#
# usage: fuzz/run.sh SECONDS [TARGET...]   (default: every target)
#
# Everything lives under build/fuzz: corpus/TARGET (seeds copied in first,
# grows from run to run), artifacts/TARGET (the inputs that crashed), and
# logs/TARGET.log.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/deps.sh
need_packages "${BUILD_PACKAGES[@]}" clang libclang-rt-14-dev

seconds=${1:?usage: fuzz/run.sh SECONDS [TARGET...]}
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(language_file csv converter links slug)

# Absolute paths: each target changes into a private working folder.
dir=$PWD/build/fuzz
cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DMT_FUZZ=ON -DMT_TESTS=OFF >/dev/null
cmake --build "$dir" -j 2 --target "${targets[@]/#/fuzz_}" >/dev/null

# The targets write their inputs as files into private folders, here in
# memory where the machine allows (much faster than a disk). A target that
# crashes leaves its folder behind; this run's are removed at the end.
tmp_base=${TMPDIR:-/tmp}
[ -d /dev/shm ] && [ -w /dev/shm ] && tmp_base=/dev/shm
TMPDIR=$(mktemp -d "$tmp_base/mt-fuzz-run.XXXXXX")
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

crashed=0
report=()
for target in "${targets[@]}"; do
  corpus=$dir/corpus/$target
  artifacts=$dir/artifacts/$target
  log=$dir/logs/$target.log
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  fuzz/seeds.sh "$target" "$corpus"
  stamp=$(mktemp)
  echo "fuzzing $target for $seconds s" >&2
  "$dir/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=25 -dict="$PWD/fuzz/markup.dict" \
    -artifact_prefix="$artifacts/" -print_final_stats=1 "$corpus" >"$log" 2>&1 || true
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(sed -n 's/.*cov: \([0-9]*\).*/\1/p' "$log" | tail -1)
  crashes=$(find "$artifacts" -newer "$stamp" -type f \
    \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  rm -f "$stamp"
  # A target that died before its statistics is a crash too.
  if [ -z "$execs" ] && [ "$crashes" -eq 0 ]; then crashes=1; fi
  [ "$crashes" -eq 0 ] || crashed=1
  report+=("$(printf '%-14s %12s %8s %8s' "$target" "${execs:--}" "${cov:--}" "$crashes")")
done

printf '%-14s %12s %8s %8s\n' target executions coverage crashes
printf '%s\n' "${report[@]}"
if [ "$crashed" -ne 0 ]; then
  echo "crashes: see $dir/artifacts and $dir/logs" >&2
  exit 1
fi

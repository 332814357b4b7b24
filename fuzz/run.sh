#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for SECONDS seconds; exits
# non-zero when any target crashed. See fuzz/README.md.
# usage: fuzz/run.sh SECONDS [TARGET...]   (default: every target)
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/deps.sh
need_packages "${BUILD_PACKAGES[@]}" clang libclang-rt-14-dev

seconds=${1:?usage: fuzz/run.sh SECONDS [TARGET...]}
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(language_file csv converter links slug record)

# Absolute paths: each target changes into a private working folder.
dir=$PWD/build/fuzz
cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DMT_FUZZ=ON -DMT_TESTS=OFF >/dev/null
cmake --build "$dir" -j 2 --target "${targets[@]/#/fuzz_}" >/dev/null

# seed FLAGS TEXT... : one seed per TEXT, after the flag byte FLAGS (octal;
# none when empty). Texts are file contents unless they start with ':'.
seed() {
  local flags=$1 text
  for text in "${@:2}"; do
    n=$((n + 1))
    { [ -z "$flags" ] || printf "\\$flags"; [ "${text::1}" = : ] && printf '%s' "${text:1}" || cat "$text"; } \
      >"$corpus/seed-$n"
  done
}
site=examples/site
mapfile -d '' pages < <(find $site -mindepth 2 -name '*.txt' -print0)
mapfile -d '' support < <(find $site/*/support -name '*.txt' -print0)
mapfile -t links < <(grep -rhoa '\[\[[^]]*\]\]' $site tests/markup/cases | sort -u | sed 's/^/:/')
mapfile -t headings < <(grep -rha '^=' $site | sort -u | sed 's/^=/:/')
names=()
for f in "${support[@]}"; do names+=(":$(basename "$f" .txt)"$'\n'"=$(basename "$f" .txt)="$'\n'); done

# The targets write their inputs as files into private folders, in memory
# where the machine allows; this run's are removed at the end.
[ -d /dev/shm ] && [ -w /dev/shm ] && TMPDIR=/dev/shm
TMPDIR=$(mktemp -d "${TMPDIR:-/tmp}/mt-fuzz-run.XXXXXX")
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

# The dictionary, with every macro name and string id as the sources spell them.
dict=$dir/markup.dict
{ cat fuzz/markup.dict; grep -ho '{"[A-Z_0-9]*",' src/macros/expander.cpp src/site/strings.cpp | tr -d '{,'; } \
  >"$dict"

crashed=0
report=$(printf '%-14s %12s %8s %8s' target executions coverage status)
for target in "${targets[@]}"; do
  corpus=$dir/corpus/$target artifacts=$dir/artifacts/$target log=$dir/logs/$target.log
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  n=0
  case $target in
    # Plain template pages, pages with every flag on, and support pages.
    converter) seed 000 "${pages[@]}" tests/markup/cases/*.txt; seed 037 "${pages[@]}"; seed 001 "${support[@]}" ;;
    language_file) seed "" $site/[a-z]*.txt ;;
    csv) seed "" $site/*.csv ;;
    # Every link of the examples as a string, with files listed (002), and at the root build (003).
    links) seed 002 "${links[@]}"; seed 003 "${links[@]}" ;;
    # Heading lines, and support page names followed by a heading.
    slug) seed "" "${headings[@]}" "${names[@]}" ;;
    # A record of two bare language builds: no key, no shared facts, no
    # source; each unit empty, its registry too (the fuzzer finds the rest).
    record) n=$((n + 1)); printf '\002\0\0\0\002\0\0\0\0\0\003\0\0\0\0\0\0\0\0\003\0\0\0' >"$corpus/seed-$n" ;;
    *) echo "unknown fuzz target: $target" >&2; exit 2 ;;
  esac
  echo "fuzzing $target for $seconds s" >&2
  # libFuzzer exits non-zero on a crash, leak, timeout or running out of memory.
  status=0
  "$dir/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=25 -dict="$dict" \
    -artifact_prefix="$artifacts/" -print_final_stats=1 "$corpus" >"$log" 2>&1 || status=$? crashed=1
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(sed -n 's/.*cov: \([0-9]*\).*/\1/p' "$log" | tail -1)
  report+=$'\n'$(printf '%-14s %12s %8s %8s' "$target" "${execs:--}" "${cov:--}" "$status")
done
echo "$report"
[ "$crashed" -eq 0 ] || { echo "crashes: see $dir/artifacts and $dir/logs" >&2; exit 1; }

#!/usr/bin/env bash
# The Windows build, tested under wine: cross-builds maketarnwick.exe and the
# unit tests with mingw-w64, runs the tests under wine, then builds the
# example site with the .exe and with the Linux binary and compares the two
# output trees byte for byte (standard output too, with '\' read as '/').
# A second site adds source names in other letter case and support pages
# whose output paths pass 260 characters below the output root.
# Usage: tools/windows.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

packages=(cmake g++ ninja-build libicu-dev pkg-config mingw-w64 wine wine64 googletest)
missing=()
for pkg in "${packages[@]}"; do dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg"); done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq -o DPkg::Lock::Timeout=600 "${missing[@]}" >/dev/null
fi

# Builds: the cross build with its tests, and the Linux tool to compare with.
cmake -S . -B build/windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/windows -j 2
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMT_TESTS=OFF >/dev/null
cmake --build build/release -j 2 --target maketarnwick

# A wine prefix of our own, so nothing depends on the user's; wine's own
# chatter goes to stderr and is hidden.
export WINEPREFIX=$root/build/wineprefix WINEDEBUG=-all
[ -d "$WINEPREFIX" ] || wineboot -i >/dev/null 2>&1 || true

# Unit tests, one program per subsystem; the source folder is seen through
# wine's drive Z:.
logs=build/windows/test-logs
mkdir -p "$logs"
passed=0 failed=0 skipped=0
for exe in build/windows/tests/test_*.exe; do
  name=$(basename "$exe" .exe)
  status=0
  MT_SOURCE_DIR="Z:$root" wine "$exe" >"$logs/$name.log" 2>&1 || status=$?
  tr -d '\r' <"$logs/$name.log" >"$logs/$name.txt"
  p=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\.$/\1/p' "$logs/$name.txt")
  f=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\?, listed below:$/\1/p' "$logs/$name.txt")
  s=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\?, listed below:$/\1/p' "$logs/$name.txt")
  echo "$name: ${p:-0} passed, ${f:-0} failed, ${s:-0} skipped"
  if [ "$status" -ne 0 ] && [ -z "$f" ]; then
    echo "$name ended with status $status:"; tail -n 20 "$logs/$name.txt"; f=1
  fi
  grep '^\[  FAILED  \] [A-Za-z]' "$logs/$name.txt" | sort -u || true
  # Each skipped test with its reason, the line after "file:line: Skipped".
  awk '/^\[ RUN/ { test = $NF } reason { print "  skipped " test ": " $0; reason = 0 } / Skipped$/ { reason = 1 }' \
    "$logs/$name.txt"
  passed=$((passed + ${p:-0})) failed=$((failed + ${f:-0})) skipped=$((skipped + ${s:-0}))
done
echo "unit tests under wine: $passed passed, $failed failed, $skipped skipped"

# The first difference between two output trees: a file on one side only, or
# the first differing byte.
compare_trees() {
  local a=$1 b=$2
  if ! diff <(cd "$a" && find . -type f | LC_ALL=C sort) <(cd "$b" && find . -type f | LC_ALL=C sort) \
      >/tmp/mt-tree-diff.$$; then
    echo "the trees $a and $b hold different files:"; head -n 5 /tmp/mt-tree-diff.$$; rm -f /tmp/mt-tree-diff.$$
    return 1
  fi
  rm -f /tmp/mt-tree-diff.$$
  local count=0
  while IFS= read -r -d '' file; do
    if ! cmp "$a/$file" "$b/$file"; then return 1; fi
    count=$((count + 1))
  done < <(cd "$a" && find . -type f -print0 | LC_ALL=C sort -z)
  echo "$count files identical: $a and $b"
}

# Builds the site in $1 into $3 with the tool $2 (linux or wine); standard
# output goes to $3.out.
build_site() {
  local site=$1 tool=$2 out=$3
  rm -rf "$out" && mkdir -p "$out"
  examples/release-files.sh "$out" >/dev/null
  if [ "$tool" = linux ]; then
    (cd "$site" && "$root/build/release/maketarnwick" "$out" "$url_root") >"$out.out"
  else
    (cd "$site" && wine "$root/build/windows/maketarnwick.exe" "$(winepath -w "$out")" "$url_root") >"$out.out"
  fi
}

# Standard output of the two builds, with the Windows line ends and
# separators read as on Linux.
compare_output() {
  local linux=$1 windows=$2
  if ! diff <(cat "$linux") <(tr -d '\r' <"$windows" | tr '\\' '/'); then
    echo "standard output differs: $linux $windows"; return 1
  fi
  echo "standard output identical ($(wc -l <"$linux") lines)"
}

work=$root/build/windows-sites
rm -rf "$work" && mkdir -p "$work"
url_root=http://example.test
status=0

echo "== the example site: Linux binary and maketarnwick.exe under wine"
build_site examples/site linux "$work/linux"
build_site examples/site wine "$work/wine"
compare_trees "$work/linux" "$work/wine" || status=1
compare_output "$work/linux.out" "$work/wine.out" || status=1

echo "== letter case and long paths"
# The example site with sources named in other letter case than the names
# that refer to them, and a chain of support pages whose output paths pass
# 260 characters below the output root.
variant=$work/variant
cp -r examples/site "$variant"
mv "$variant/de-de" "$variant/DE-DE"
mv "$variant/en-us/faq.txt" "$variant/en-us/FAQ.TXT"
mv "$variant/ru-ru/License.txt" "$variant/ru-ru/LICENSE.txt"
folder="$variant/en-us/support/01 Wendrel"
for level in 1 2 3 4 5 6; do
  name="0$level A support page with a long name, one of a chain that goes deep"
  printf '=Level %s=\nA page %s levels down.\n' "$level" "$level" >"$folder/$name.txt"
  folder="$folder/$name"
  mkdir -p "$folder"
done
build_site "$variant" linux "$work/variant-linux"
build_site "$variant" wine "$work/variant-wine"
longest=$(cd "$work/variant-wine" && find . -type f | awk '{ if (length($0) > max) max = length($0) } END { print max - 2 }')
echo "longest output path below the output root: $longest characters"
[ "$longest" -gt 260 ] || { echo "no path passed 260 characters"; status=1; }
compare_trees "$work/variant-linux" "$work/variant-wine" || status=1
compare_output "$work/variant-linux.out" "$work/variant-wine.out" || status=1

[ "$failed" -eq 0 ] || status=1
[ "$status" -eq 0 ] && echo "windows: all checks passed" || echo "windows: FAILED"
exit "$status"

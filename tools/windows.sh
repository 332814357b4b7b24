#!/usr/bin/env bash
# The Windows build, tested under wine: cross-builds maketarnwick.exe and the
# unit tests with mingw-w64, runs the tests under wine, then builds the
# example site with the .exe and with the Linux binary and compares the two
# output trees byte for byte (standard output too, with '\' read as '/').
# A second site adds source names in other letter case and support pages
# whose output paths pass 260 characters below the output root, and a
# support page and a language file named as devices (AUX.txt, nul.txt); a
# third holds links leading out of the site and links where a page and a
# page's folder go; a
# --prune run must not remove through a linked folder; a rebuild onto a
# full disk (as root) must keep the previous pages whole. Messages that name
# paths must show them with '\' exactly as tests/golden/windows_messages.out
# holds (tools/windows-messages.sh), since the comparison with Linux above
# reads every '\' as '/'.
# The last line counts unit tests and checks together.
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

# Each check of the sites below counts as one test in the closing line.
checks_passed=0 checks_failed=0 checks_skipped=0
pass() { echo "ok: $*"; checks_passed=$((checks_passed + 1)); }
fail() { echo "FAILED: $*"; checks_failed=$((checks_failed + 1)); }
skip() { echo "skipped: $*"; checks_skipped=$((checks_skipped + 1)); }

# The first difference between two output trees: a file on one side only, or
# the first differing byte.
compare_trees() {
  local a=$1 b=$2
  if ! diff <(cd "$a" && find . -type f | LC_ALL=C sort) <(cd "$b" && find . -type f | LC_ALL=C sort) \
      >"$work/tree-diff"; then
    fail "the trees $a and $b hold different files:"; head -n 5 "$work/tree-diff"
    return
  fi
  local count=0
  while IFS= read -r -d '' file; do
    if ! cmp "$a/$file" "$b/$file"; then fail "trees differ"; return; fi
    count=$((count + 1))
  done < <(cd "$a" && find . -type f -print0 | LC_ALL=C sort -z)
  pass "$count files identical: $a and $b"
}

# Runs the tool $2 (linux or wine) in the site $1 onto the output folder $3,
# standard output to $3.out.
run_tool() {
  local site=$1 tool=$2 out=$3 url=${4:-$url_root}
  if [ "$tool" = linux ]; then
    (cd "$site" && "$root/build/release/maketarnwick" "$out" "$url") >"$out.out" || true
  else
    (cd "$site" && wine "$root/build/windows/maketarnwick.exe" "$(winepath -w "$out")" "$url") >"$out.out" || true
  fi
}

# Builds the site in $1 into a fresh $3 with the tool $2.
build_site() {
  rm -rf "$3" && mkdir -p "$3"
  examples/release-files.sh "$3" >/dev/null
  run_tool "$@"
}

# Standard output of the two builds, with the Windows line ends and
# separators read as on Linux.
compare_output() {
  local linux=$1 windows=$2
  if diff <(cat "$linux") <(tr -d '\r' <"$windows" | tr '\\' '/'); then
    pass "standard output identical ($(wc -l <"$linux") lines)"
  else
    fail "standard output differs: $linux $windows"
  fi
}

work=$root/build/windows-sites
rm -rf "$work" && mkdir -p "$work"
url_root=http://example.test

echo "== the example site: Linux binary and maketarnwick.exe under wine"
build_site examples/site linux "$work/linux"
build_site examples/site wine "$work/wine"
compare_trees "$work/linux" "$work/wine"
compare_output "$work/linux.out" "$work/wine.out"
# The Arabic, Russian and German support pages have names outside ASCII.
names=$(cd "$work/wine" && find . -type f | LC_ALL=C grep -c '[^ -~]' || true)
if [ "$names" -gt 0 ]; then pass "$names output files named outside ASCII"; else fail "no name outside ASCII"; fi

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
# Names Windows takes for devices outside the \\?\ form: a support page
# AUX.txt and a language file nul.txt are files like any other.
printf '=Aux=\nA page named as a device.\n' >"$variant/en-us/support/AUX.txt"
cp "$variant/en-us.txt" "$variant/nul.txt"
build_site "$variant" linux "$work/variant-linux"
build_site "$variant" wine "$work/variant-wine"
longest=$(cd "$work/variant-wine" && find . -type f | awk '{ if (length($0) > max) max = length($0) } END { print max - 2 }')
if [ "$longest" -gt 260 ]; then pass "longest output path below the output root: $longest characters"
else fail "no path passed 260 characters ($longest)"; fi
compare_trees "$work/variant-linux" "$work/variant-wine"
compare_output "$work/variant-linux.out" "$work/variant-wine.out"
if [ -f "$work/variant-wine/en-us/support/aux/index.html" ] && [ -f "$work/variant-wine/nul/sendemail.php" ]; then
  pass "AUX.txt and nul.txt built as pages and a language"
else fail "a device name was not built as a file"; fi

echo "== hostile sources under wine"
# Wine shows POSIX symbolic links as the files they lead to, as reparse
# points are on Windows: the final path of what was opened decides.
hostile=$work/hostile
mkdir -p "$hostile"
echo "secret-5f3a9c" >"$hostile/secret.key"
cp -r examples/site "$hostile/site"
ln -sf ../../secret.key "$hostile/site/en-us/faq.txt"
ln -s ../../../secret.key "$hostile/site/en-us/support/Secret.txt"
build_site "$hostile/site" linux "$hostile/linux"
build_site "$hostile/site" wine "$hostile/out"
compare_output "$hostile/linux.out" "$hostile/out.out"
refusals() { tr -d '\r' <"$hostile/out.out" | grep -c "refusing source outside the site en-us.$1" || true; }
if [ "$(refusals faq.txt)" -gt 0 ] && [ "$(refusals 'support.Secret.txt')" -gt 0 ] && ! grep -rq secret-5f3a9c "$hostile/out"; then
  pass "sources outside the site refused, nothing published"
else
  fail "sources outside the site not refused"; tr -d '\r' <"$hostile/out.out" | head -n 5
fi
# A rebuild replaces every file (the same messages as the first build), and
# a link standing where a page goes is replaced, never written through.
ln -sf ../../secret.key "$hostile/out/en-us/index.html"
run_tool "$hostile/site" wine "$hostile/out"
compare_output "$hostile/linux.out" "$hostile/out.out"
if [ "$(cat "$hostile/secret.key")" = secret-5f3a9c ] && [ ! -L "$hostile/out/en-us/index.html" ] &&
   grep -q '<html' "$hostile/out/en-us/index.html"; then pass "a link in the output replaced, not written through"
else fail "the link in the output was written through"; fi
# So is a link standing where a page's folder goes. Windows removes the
# link itself; wine shows a handle to its target only, so there the link is
# kept with an error and nothing written below it.
mkdir -p "$hostile/elsewhere"
rm -rf "$hostile/out/en-us/support" && ln -s "$hostile/elsewhere" "$hostile/out/en-us/support"
run_tool "$hostile/site" wine "$hostile/out"
if [ -d "$hostile/elsewhere" ] && [ -z "$(ls -A "$hostile/elsewhere")" ] &&
   { { [ ! -L "$hostile/out/en-us/support" ] && [ -f "$hostile/out/en-us/support/wendrel/index.html" ]; } ||
     tr -d '\r' <"$hostile/out.out" | grep -q 'error: cannot replace the link .*support by a folder'; }; then
  pass "a folder link in the output replaced or refused, never written through"
else fail "the folder link in the output was written through or its target removed"; fi

echo "== messages naming paths under wine"
. tools/windows-messages.sh
check_path_messages

echo "== --prune never removes through a link under wine"
# A copy the first run wrote is moved out of the output with its folder,
# and a link to that folder put where it stood; the next run no longer
# writes the copy. Wine marks a POSIX link's path as a reparse point, as
# Windows marks a junction (wine cannot make junctions).
prune=$work/prune
cp -r examples/site "$prune-site"
mkdir -p "$prune-site/en-us/docs" "$prune-outside"
echo keep >"$prune-site/en-us/docs/keep.txt"
cp "$prune-site/en-us/faq.txt" "$work/faq.txt"
echo '[[docs/keep.txt]]' >>"$prune-site/en-us/faq.txt"
# Copies go into folders that exist already.
rm -rf "$prune" && mkdir -p "$prune/docs" "$prune/en-us/docs"
examples/release-files.sh "$prune" >/dev/null
prune_run() {
  (cd "$prune-site" && wine "$root/build/windows/maketarnwick.exe" --prune "$(winepath -w "$prune")" "$url_root") \
    >"$prune.out" || true
}
prune_run
mv "$prune/en-us/docs" "$prune-outside/docs"
ln -s "$prune-outside/docs" "$prune/en-us/docs"
cp "$work/faq.txt" "$prune-site/en-us/faq.txt"
prune_run
if [ -f "$prune-outside/docs/keep.txt" ] && [ -L "$prune/en-us/docs" ] && [ ! -e "$prune/docs/keep.txt" ] &&
   tr -d '\r' <"$prune.out" | grep -q 'prune kept .*en-us.docs.keep.txt: it is a link or lies below one'; then
  pass "--prune kept the file below a link and removed the other copy"
else fail "--prune went through a link or removed nothing"; tr -d '\r' <"$prune.out" | grep -i prune || true; fi

echo "== --serve under wine"
# The cross build has no HTTP library: --serve says so and builds nothing.
serve_out=$(cd "$work" && wine "$root/build/windows/maketarnwick.exe" --serve preview | tr -d '\r') && serve_status=0 ||
  serve_status=$?
if [ "$serve_out" = "maketarnwick: --serve is not available in this build" ] && [ "$serve_status" -eq 1 ] &&
   [ ! -e "$work/preview" ]; then pass "--serve is refused with its message"
else fail "--serve: status $serve_status: $serve_out"; fi

echo "== a full disk under wine"
# A rebuild onto a full file system reports every page it cannot write and
# keeps the previous pages whole, with no temporary file left. Standard
# output goes to the ordinary disk.
full=$work/full
mkdir -p "$full"
if [ "$(id -u)" -ne 0 ] || ! mount -t tmpfs -o size=8m tmpfs "$full" 2>/dev/null; then
  skip "a full disk: mounting a tmpfs needs root"
else
  # Without the release files, which would not fit.
  mkdir "$full/site"
  (cd examples/site && wine "$root/build/windows/maketarnwick.exe" "$(winepath -w "$full/site")" "$url_root") \
    >"$work/full-first.out" || true
  cp -r "$full/site" "$work/before-full"
  dd if=/dev/zero of="$full/filler" bs=4k 2>/dev/null || true
  (cd examples/site && wine "$root/build/windows/maketarnwick.exe" "$(winepath -w "$full/site")" http://other.test) \
    >"$work/full.out" || true
  errors=$(tr -d '\r' <"$work/full.out" | grep -c 'error: cannot write\|error: failed to create' || true)
  if [ "$errors" -gt 0 ] && diff -r "$work/before-full" "$full/site" >/dev/null &&
     ! find "$full/site" -name '.*.tmp*' | grep -q .; then
    pass "full disk: $errors pages reported, the previous build kept whole"
  else
    fail "full disk: $errors errors; the previous build changed or temporary files were left"
    diff -r "$work/before-full" "$full/site" | head -n 3
  fi
  umount "$full"
fi

[ "$checks_failed" -eq 0 ] && [ "$failed" -eq 0 ] && echo "windows: all checks passed"
# The closing count: unit tests and site checks.
echo "windows: $((passed + checks_passed)) passed, $((failed + checks_failed)) failed, $((skipped + checks_skipped)) skipped"
[ "$checks_failed" -eq 0 ] && [ "$failed" -eq 0 ]

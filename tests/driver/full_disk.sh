#!/bin/sh
# The example site built onto a file system that fills up: every page that
# could not be written is reported, no page is left cut short, and a rebuild
# onto a full file system keeps every previous page whole.
# Usage: full_disk.sh <maketarnwick binary> <source tree>. Needs root to
# mount a small tmpfs; skipped (status 77) without it.
set -u
tool=$1
site=$2/examples/site
work=$(mktemp -d)
small=$work/small
full=$work/full
trap 'umount "$small" "$full" 2>/dev/null; rm -rf "$work"' EXIT
mkdir "$small" "$full"
if ! mount -t tmpfs -o size=64k tmpfs "$small" 2>/dev/null || ! mount -t tmpfs -o size=8m tmpfs "$full" 2>/dev/null; then
  echo "skipped: mounting a tmpfs needs root"
  exit 77
fi
fail=0
build() { (cd "$site" && "$tool" "$@"); }
bad() { echo "$1"; fail=1; }
no_temporaries() { ! find "$1" -name '.*.tmp*' | grep -q . || bad "temporary files left"; }

# 64 KB: most pages cannot be written. Each file of the reference build on
# the ordinary disk must be either written whole or named by an error.
build "$work/ref" http://x >/dev/null || { echo "reference build failed"; exit 1; }
build "$small/site" http://x >"$work/small.log"
(cd "$work/ref" && find . -type f) | sed 's|^\./||' >"$work/files"
missing=0
while IFS= read -r file; do
  cmp -s "$work/ref/$file" "$small/site/$file" && continue
  [ -e "$small/site/$file" ] && bad "cut short: $file"
  missing=$((missing + 1))
  grep -F "$small/site/$file" "$work/small.log" | grep -q "error: " || bad "not reported: $file"
done <"$work/files"
[ "$missing" -gt 0 ] || bad "the small file system took the whole site"
no_temporaries "$small"

# A full file system: the rebuild (another URL root changes every page)
# fails everywhere and keeps the first build whole.
build "$full/site" http://x >/dev/null
cp -r "$full/site" "$work/first"
dd if=/dev/zero of="$full/filler" bs=4k 2>/dev/null
build "$full/site" http://y >"$work/full.log"
grep -q "No space left on device" "$work/full.log" || bad "no write failure reported"
diff -r "$work/first" "$full/site" >/dev/null || bad "a page of the previous build changed"
no_temporaries "$full"

# Standard output that cannot be written fails the run.
build "$work/devfull" http://x >/dev/full && bad "a run whose output was lost ended with status 0"
exit $fail

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
cleanup() {
  umount "$small" 2>/dev/null
  umount "$full" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkdir "$small" "$full"
if ! mount -t tmpfs -o size=64k tmpfs "$small" 2>/dev/null || ! mount -t tmpfs -o size=8m tmpfs "$full" 2>/dev/null; then
  echo "skipped: mounting a tmpfs needs root"
  exit 77
fi
fail=0

# The reference: the same site on the ordinary disk.
(cd "$site" && "$tool" "$work/ref" http://x >"$work/ref.log") || { echo "reference build failed"; exit 1; }

# 64 KB: most pages cannot be written. Each file of the reference must be
# either written whole or named by an error.
(cd "$site" && "$tool" "$small/site" http://x >"$work/small.log")
(cd "$work/ref" && find . -type f) | sed 's|^\./||' | sort >"$work/files"
missing=0
while IFS= read -r file; do
  if cmp -s "$work/ref/$file" "$small/site/$file"; then continue; fi
  if [ -e "$small/site/$file" ]; then
    echo "cut short: $file"
    fail=1
  fi
  missing=$((missing + 1))
  if ! grep -qF "error: " "$work/small.log" || ! grep -F "$small/site/$file" "$work/small.log" | grep -q "error: "; then
    echo "not reported: $file"
    fail=1
  fi
done <"$work/files"
[ "$missing" -gt 0 ] || { echo "the small file system took the whole site"; fail=1; }
if find "$small" -name '.*.tmp*' | grep -q .; then echo "temporary files left"; fail=1; fi
echo "64k: $missing of $(wc -l <"$work/files") files not written, each reported"

# A full file system: the rebuild (another URL root changes every page)
# fails everywhere and keeps the first build whole.
(cd "$site" && "$tool" "$full/site" http://x >/dev/null)
cp -r "$full/site" "$work/first"
dd if=/dev/zero of="$full/filler" bs=4k 2>/dev/null
(cd "$site" && "$tool" "$full/site" http://y >"$work/full.log")
grep -q "No space left on device" "$work/full.log" || { echo "no write failure reported"; fail=1; }
if ! diff -r "$work/first" "$full/site" >/dev/null; then
  echo "a page of the previous build changed"
  fail=1
fi
if find "$full" -name '.*.tmp*' | grep -q .; then echo "temporary files left"; fail=1; fi

# Standard output that cannot be written fails the run.
if (cd "$site" && "$tool" "$work/devfull" http://x >/dev/full); then
  echo "a run whose output was lost ended with status 0"
  fail=1
fi
exit $fail

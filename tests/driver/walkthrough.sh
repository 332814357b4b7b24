#!/bin/bash
# Follows docs/reference/walkthrough.md as a new owner would: its sh blocks run in order in an
# empty folder with the tool on PATH (the builds use --strict, so a warning fails them), then the
# preview of the site serves a Hebrew support page and a release file with its size.
# Usage: walkthrough.sh <maketarnwick binary> <source tree>.
set -u
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && { kill -9 $pid && wait $pid; } 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "walkthrough: $1"; cat "$work/log"; exit 1; }
mkdir "$work/bin" && ln -s "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")" "$work/bin/maketarnwick"
awk '/^```sh$/ { on = 1; next } /^```$/ { on = 0 } on' "$2/docs/reference/walkthrough.md" >"$work/steps.sh"
cd "$work" && PATH="$work/bin:$PATH" bash -euo pipefail steps.sh >log 2>&1 || fail "a step failed"
[ "$(grep -c '^0 error(s), 0 warning(s)$' log)" = 2 ] || fail "the builds are not clean"
cd my-site || exit 1
. "$2/tests/helpers/preview.sh"
start_preview "$work/bin/maketarnwick" ../preview ../log
grep -q '^0 error(s), 0 warning(s)$' ../log || fail "the preview's build is not clean"
size=$(curl -sf "http://127.0.0.1:$port/Wendrel-SDK.zip" | wc -c)
[ "$size" = 1048576 ] || fail "the release file is not served ($size bytes)"
curl -sf "http://127.0.0.1:$port/he-il/support/wendrel/installing_wendrel/windows" | grep -q 'direction:rtl' ||
  fail "the Hebrew support page is not served right to left"
echo "walkthrough: followed"

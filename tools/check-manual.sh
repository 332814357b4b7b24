#!/usr/bin/env bash
# Usage: tools/check-manual.sh [PAGE]
# Fails when the manual page (default docs/maketarnwick.1) holds a control byte or when groff or man warn
# while rendering it (a stray byte renders as garbage and makes man warn).
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/deps.sh
need_packages groff-base man-db
page=${1:-docs/maketarnwick.1}
if LC_ALL=C grep -nP '[\x00-\x08\x0b-\x1f\x7f]' "$page" | head -5 | cat -v | grep .; then
  echo "check-manual: control bytes in $page" >&2
  exit 1
fi
warnings=$( { groff -ww -z -t -man "$page"; MANWIDTH=80 man --warnings -l "$page" >/dev/null; } 2>&1)
if [ -n "$warnings" ]; then
  printf '%s\n' "$warnings" >&2
  echo "check-manual: $page renders with warnings" >&2
  exit 1
fi
echo "check-manual: $page renders without warnings"

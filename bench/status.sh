#!/usr/bin/env bash
# Times the translators' --status on the large synthetic site (30 languages
# x 2,000 support pages): the median wall time of N runs, the CPU time
# (user + system) of that run and the largest peak memory. The goal is under
# 1 s and under 100 MB; on a shared machine the CPU time is the steadier
# figure, as the wall time includes waiting for a core.
#
# usage: bench/status.sh [BINARY] [-n 5] [--work DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-$here/../build/release/maketarnwick}
[[ $# -gt 0 ]] && shift
runs=5 work=/tmp/mt-status-bench
while [[ $# -gt 0 ]]; do
  case $1 in
    -n) runs=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 1 ;;
  esac
done
bin=$(realpath "$bin")
command -v /usr/bin/time >/dev/null || { echo "needs /usr/bin/time (package time)" >&2; exit 1; }
[[ -f $work/site/en-us.txt ]] || python3 "$here/gen_site.py" --size large "$work/site" >/dev/null
cd "$work/site"
"$bin" --status >/dev/null  # warms the file cache
for ((i = 0; i < runs; i++)); do
  /usr/bin/time -f "%e %U %S %M" -o "$work/time.$i" "$bin" --status >/dev/null
done
cat "$work"/time.* | sort -n | awk -v n="$runs" '
  { wall[NR] = $1; cpu[NR] = $2 + $3; if ($4 > mem) mem = $4 }
  END { m = int((n + 1) / 2); printf "status: %.2f s wall (median of %d), %.2f s CPU, %.1f MB peak\n", wall[m], n, cpu[m], mem / 1024 }'

#!/usr/bin/env bash
# Times full builds of generated sites and, in the same run, the cost of
# copying the tool's own output tree with `cp -r` (the floor: the same files
# created by the plainest means), then a rebuild into the same folder with no
# source change (which writes nothing; its change list must be empty and no
# file's inode or time may change), then the same with --incremental, which
# takes every language from the build record instead of rendering it.
# Prints a Markdown table of medians.
#
# usage: bench/run.sh [-s SIZES] [-r REPEATS] [-w WORKDIR] [-k]
#   -s SIZES    comma-separated list of small, medium, large (default: all)
#   -r REPEATS  builds per size; the table shows medians (default: 5)
#   -w WORKDIR  where sites and outputs go (default: /tmp/maketarnwick-bench)
#   -k          keep the output folders (they are deleted at the end otherwise)
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

sizes=small,medium,large
repeats=5
work=/tmp/maketarnwick-bench
keep=0
while getopts "s:r:w:kh" opt; do
  case $opt in
    s) sizes=$OPTARG ;;
    r) repeats=$OPTARG ;;
    w) work=$OPTARG ;;
    k) keep=1 ;;
    *) sed -n '2,11p' "$0" >&2; exit 2 ;;
  esac
done
for size in ${sizes//,/ }; do
  case $size in small|medium|large) ;; *) echo "unknown size: $size" >&2; exit 2 ;; esac
done
case $repeats in ''|*[!0-9]*|0) echo "repeats must be a positive number" >&2; exit 2 ;; esac

if [ ! -x /usr/bin/time ]; then
  . tools/deps.sh
  need_packages time
fi

echo "building the Release binary in build/bench" >&2
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DMT_TESTS=OFF >/dev/null
ninja -C build/bench -j 2 maketarnwick >/dev/null
tool=$repo/build/bench/maketarnwick

mkdir -p "$work"
work=$(cd "$work" && pwd)
runs=$work/runs
results=$work/results.tsv
: >"$results"

cleanup() {
  if [ "$keep" -eq 0 ] && [ -d "$runs" ]; then
    echo "deleting $runs" >&2
    rm -rf "$runs"
  fi
}
trap cleanup EXIT

# Nanoseconds since the epoch.
now() { date +%s%N; }
# User and system time together (ms) from `/usr/bin/time -v` output: steadier
# than the wall time on a shared machine.
cpu_ms() { awk -F': ' '/User time|System time/ { s += $2 } END { printf "%d", s * 1000 }' "$1"; }

generator_stamp=$(sha1sum bench/gen_site.py | cut -d' ' -f1)
for size in ${sizes//,/ }; do
  src=$work/src-$size
  # Generating the large site takes a while: reuse it while the generator
  # is unchanged.
  if [ "$(cat "$src.stamp" 2>/dev/null)" != "$generator_stamp" ]; then
    echo "generating the $size site in $src" >&2
    rm -rf "$src" "$src.stamp"
    python3 bench/gen_site.py --size "$size" "$src" >&2
    echo "$generator_stamp" >"$src.stamp"
  fi

  for ((r = 1; r <= repeats; r++)); do
    # Every repeat writes into folders of its own; nothing is deleted until
    # all timing is done, because deleting a large tree keeps the disk busy
    # for a while afterwards.
    out=$runs/$size-$r/out
    copy=$runs/$size-$r/copy
    rm -rf "$runs/$size-$r"
    mkdir -p "$runs/$size-$r"
    python3 bench/gen_site.py --release-files "$out" >/dev/null
    log=$runs/$size-$r/log.txt

    # Start each timing with no writeback of earlier steps pending.
    sync
    t0=$(now)
    (cd "$src" && /usr/bin/time -v -o "$runs/$size-$r/time.txt" \
      "$tool" "$out" "https://www.example.org/site" >"$log")
    t1=$(now)
    rss=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$runs/$size-$r/time.txt")
    cpu=$(cpu_ms "$runs/$size-$r/time.txt")
    pages=$(find "$out" -name index.html | wc -l)
    files=$(find "$out" -type f | wc -l)
    kbytes=$(du -sk "$out" | cut -f1)
    summary=$(tail -n 1 "$log")

    sync
    t2=$(now)
    cp -r "$out" "$copy"
    t3=$(now)

    find "$out" -type f -printf '%i %T@ %p\n' | sort >"$runs/$size-$r/before.txt"
    sync
    t4=$(now)
    (cd "$src" && /usr/bin/time -v -o "$runs/$size-$r/time2.txt" \
      "$tool" --changes "$runs/$size-$r/changes.txt" "$out" "https://www.example.org/site" >/dev/null)
    t5=$(now)
    again_cpu=$(cpu_ms "$runs/$size-$r/time2.txt")
    find "$out" -type f -printf '%i %T@ %p\n' | sort >"$runs/$size-$r/after.txt"
    if [ -s "$runs/$size-$r/changes.txt" ] || ! cmp -s "$runs/$size-$r/before.txt" "$runs/$size-$r/after.txt"; then
      echo "$size #$r: a rebuild with no change changed files (see $runs/$size-$r)" >&2
      keep=1
      exit 1
    fi

    # The first --incremental run renders everything and writes the record;
    # the second, timed, takes every language from it.
    (cd "$src" && "$tool" --incremental "$out" "https://www.example.org/site" >/dev/null)
    find "$out" -type f -printf '%i %T@ %p\n' | sort >"$runs/$size-$r/before.txt"
    sync
    t6=$(now)
    (cd "$src" && /usr/bin/time -v -o "$runs/$size-$r/time3.txt" "$tool" --incremental \
      --changes "$runs/$size-$r/changes.txt" "$out" "https://www.example.org/site" >"$runs/$size-$r/log3.txt")
    t7=$(now)
    record_cpu=$(cpu_ms "$runs/$size-$r/time3.txt")
    find "$out" -type f -printf '%i %T@ %p\n' | sort >"$runs/$size-$r/after.txt"
    if [ -s "$runs/$size-$r/changes.txt" ] || ! cmp -s "$runs/$size-$r/before.txt" "$runs/$size-$r/after.txt" ||
      ! cmp -s "$log" "$runs/$size-$r/log3.txt"; then
      echo "$size #$r: a rebuild from the record changed files or messages (see $runs/$size-$r)" >&2
      keep=1
      exit 1
    fi

    printf '%s\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%s\n' "$size" "$r" "$pages" "$files" \
      $((t1 - t0)) "$rss" $((t3 - t2)) "$kbytes" $((t5 - t4)) "$cpu" "$again_cpu" $((t7 - t6)) "$record_cpu" \
      "$summary" >>"$results"
    awk -v s="$size" -v r="$r" -v p="$pages" -v b=$((t1 - t0)) -v m="$rss" -v c=$((t3 - t2)) \
      -v n=$((t5 - t4)) -v i=$((t7 - t6)) -v d="$summary" \
      'BEGIN { printf "%s #%d: %d pages in %.3f s, peak %d KB; cp -r %.3f s; rebuild %.3f s; from the record %.3f s; %s\n",
        s, r, p, b / 1e9, m, c / 1e9, n / 1e9, i / 1e9, d }' >&2
  done
done

python3 - "$results" <<'EOF'
import statistics, sys

SHAPES = {"small": "5 × 200", "medium": "5 × 2,000", "large": "30 × 2,000"}
rows = {}
for line in open(sys.argv[1], encoding="utf-8"):
    size, _, pages, files, ns, rss, cp_ns, kbytes, again_ns, cpu, again_cpu, record_ns, record_cpu, summary = \
        line.rstrip("\n").split("\t")
    rows.setdefault(size, []).append((int(pages), int(files), int(ns), int(rss), int(cp_ns), int(kbytes), summary,
                                      int(again_ns), int(cpu), int(again_cpu), int(record_ns), int(record_cpu)))

print("| site | languages × support pages | pages | files | output MB | build s | pages/s "
      "| µs/page | CPU s | peak RSS MB | KB/page | cp -r s | µs/file (cp) | build / cp | rebuild s | rebuild CPU s "
      "| rebuild / cp | --incremental rebuild s | its CPU s | --incremental rebuild / cp | diagnostics |")
print("|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|")
for size, runs in rows.items():
    pages, files, kbytes, summary = runs[0][0], runs[0][1], runs[0][5], runs[0][6]
    build = statistics.median(r[2] for r in runs) / 1e9
    rss = statistics.median(r[3] for r in runs)
    copy = statistics.median(r[4] for r in runs) / 1e9
    again = statistics.median(r[7] for r in runs) / 1e9
    cpu = statistics.median(r[8] for r in runs) / 1e3
    again_cpu = statistics.median(r[9] for r in runs) / 1e3
    record = statistics.median(r[10] for r in runs) / 1e9
    record_cpu = statistics.median(r[11] for r in runs) / 1e3
    print("| %s | %s | %d | %d | %.0f | %.3f | %.0f | %.1f | %.2f | %.1f | %.1f | %.3f | %.1f | %.2f | %.3f | %.2f "
          "| %.2f | %.3f | %.2f | %.2f | %s |" % (
              size, SHAPES[size], pages, files, kbytes / 1024, build, pages / build,
              build * 1e6 / pages, cpu, rss / 1024, rss / pages, copy, copy * 1e6 / files,
              build / copy, again, again_cpu, again / copy, record, record_cpu, record / copy, summary))
print()
print("Medians of %d run(s) per size; build and copy were timed alternately in the same run."
      % max(len(r) for r in rows.values()))
EOF

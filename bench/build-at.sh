#!/usr/bin/env bash
# Builds a Release binary of any commit, once, and prints its path, so that
# "the last commit's binary" is one command:
#
#   bench/compare.sh $(bench/build-at.sh HEAD) build/release/maketarnwick -n 300
#
# usage: bench/build-at.sh COMMIT        (HEAD, main, HEAD~3, 3eb447e, ...)
#   MT_BIN_CACHE   where binaries are kept (default /tmp/maketarnwick-bins)
#
# The commit is checked out into one git worktree below the cache, shared by
# all commits, so that a new commit recompiles only the files it changed; the
# binary is kept as MT_BIN_CACHE/<full hash>/maketarnwick and printed at once
# by every later call. Calls wait for each other. Nothing is written inside
# the repository but git's record of that worktree.
set -euo pipefail

commit=${1:?usage: bench/build-at.sh COMMIT}
repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
if ! hash=$(git -C "$repo" rev-parse --verify --quiet "$commit^{commit}"); then
  echo "build-at.sh: no such commit: $commit" >&2
  exit 2
fi
cache=${MT_BIN_CACHE:-/tmp/maketarnwick-bins}
bin=$cache/$hash/maketarnwick
if [ -x "$bin" ]; then
  echo "$bin"
  exit 0
fi

mkdir -p "$cache"
exec 9>"$cache/lock"
flock 9
if [ ! -x "$bin" ]; then
  checkout=$cache/checkout
  log=$cache/build.log
  echo "build-at.sh: building $commit (${hash:0:12}) in $cache" >&2
  {
    if [ -e "$checkout/.git" ]; then
      git -C "$checkout" checkout --quiet --force --detach "$hash"
    else
      # --force: the cache may have been deleted while git still lists it.
      rm -rf "$checkout"
      git -C "$repo" worktree add --force --detach "$checkout" "$hash"
    fi
    cmake -S "$checkout" -B "$cache/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMT_TESTS=OFF
    cmake --build "$cache/build" -j 2 --target maketarnwick
  } >"$log" 2>&1 || {
    tail -n 30 "$log" >&2
    echo "build-at.sh: the build of $commit failed (log: $log)" >&2
    exit 1
  }
  mkdir -p "$cache/$hash"
  cp "$cache/build/maketarnwick" "$bin.tmp"
  mv "$bin.tmp" "$bin"
fi
echo "$bin"

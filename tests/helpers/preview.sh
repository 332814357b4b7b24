# Sourced by the tests that start a preview. start_preview BIN OUT LOG starts
# `BIN --serve` into OUT on a free port, its output in LOG; sets $port and
# $pid; fails when no port could be had after five tries.
start_preview() {
  local try i
  for try in 1 2 3 4 5; do # another port when this one is taken
    port=$((20000 + RANDOM % 40000))
    "$1" --serve --port $port "$2" >"$3" 2>&1 &
    pid=$!
    for i in $(seq 300); do grep -q 'serving\|cannot listen' "$3" && break; sleep 0.1; done
    grep -q serving "$3" && return 0
  done
  return 1
}

#!/bin/bash
# The preview without a browser, with the unit tests: once built, pages are served, the contact
# script gets the page asking for PHP, a FIFO gets 404, and Ctrl-C ends the run with a page open.
# Usage: preview.sh <maketarnwick binary> <source tree>.
set -u
work=$(mktemp -d)
trap 'kill -9 $pid 2>/dev/null; rm -rf "$work"' EXIT
cp -r "$2/examples/site" "$work/source" && cd "$work/source" || exit 1
for try in 1 2 3 4 5; do # another port when this one is taken
  port=$((20000 + RANDOM % 40000))
  "$1" --serve --port $port ../out >../log 2>&1 & pid=$!
  for i in $(seq 300); do grep -q 'serving\|cannot listen' ../log && break; sleep 0.1; done
  grep -q serving ../log && break
done
fail() { echo "preview: $1"; cat ../log; exit 1; }
get() { exec 3<>"/dev/tcp/127.0.0.1/$port" && printf 'GET %s HTTP/1.0\r\n\r\n' "$1" >&3 && timeout 5 cat <&3; }
get / | grep -q '^HTTP/1.[01] 200' || fail "the home page is not served"
get /sendemail.php | grep -q 'needs PHP' || fail "the contact script is not answered with the PHP page"
mkfifo ../out/pipe && { get /pipe | grep -q '^HTTP/1.[01] 404' || fail "a FIFO is opened"; }
# An open page waits on its event stream; Ctrl-C ends the run all the same, within 5 seconds.
exec 4<>"/dev/tcp/127.0.0.1/$port" && printf 'GET /__maketarnwick/events HTTP/1.0\r\n\r\n' >&4 && sleep 0.3
kill -INT $pid
timeout 5 tail --pid=$pid -f /dev/null || fail "Ctrl-C does not stop the preview"
wait $pid || fail "stopped with status $?"
grep -q '^stopped$' ../log || fail "no stop message"

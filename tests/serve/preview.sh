#!/bin/bash
# The preview without a browser, with the unit tests: once built, pages are served, the contact
# script gets the page asking for PHP, a FIFO gets 404, large files and posts take no memory of
# their size, other hosts get 403, a list of ranges gets the file once at most, open event streams
# leave threads for the pages, and Ctrl-C ends the run with a page open.
# Usage: preview.sh <maketarnwick binary> <source tree>.
set -u
work=$(mktemp -d)
trap 'kill -9 $pid 2>/dev/null; rm -rf "$work"' EXIT
cp -r "$2/examples/site" "$work/source" && cd "$work/source" || exit 1
. "$2/tests/helpers/preview.sh"
start_preview "$1" ../out ../log
fail() { echo "preview: $1"; cat ../log; exit 1; }
# send REQUEST [BODY BYTES]: the reply to a raw request, whose body is that many zero bytes; the
# reply ends within 5 seconds (or $limit).
send() {
  exec 3<>"/dev/tcp/127.0.0.1/$port" && printf "$1" >&3 && { [ -z "${2:-}" ] || head -c "$2" /dev/zero >&3; } &&
    timeout "${limit:-5}" cat <&3
}
get() { send "GET $1 HTTP/1.0\r\n\r\n"; }
get11() { send "GET $1 HTTP/1.1\r\nHost: $2\r\n${3:-}Connection: close\r\n\r\n"; }
get / | tr -d '\r\n' | grep -q '^HTTP/1.[01] 200.*</script></body></html>$' || fail "the home page is not served whole"
get /sendemail.php | grep -q 'needs PHP' || fail "the contact script is not answered with the PHP page"
mkfifo ../out/pipe && { get /pipe | grep -q '^HTTP/1.[01] 404' || fail "a FIFO is opened"; }

# A 256 MiB file is sent and a 256 MiB post answered without holding either in memory.
peak() { sed -n 's/^VmHWM:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$pid/status"; }
grown() { [ -n "$before" ] && [ $(($(peak) - before)) -lt 65536 ] || fail "$1 took $(($(peak) - before)) kB"; }
before=$(peak)
truncate -s 256M ../out/huge.zip
[ "$(limit=30 get /huge.zip | wc -c)" -gt 268435456 ] || fail "a large file is not sent whole"
grown "sending a large file"
limit=30 send "POST /sendemail.php HTTP/1.0\r\nContent-Length: 268435456\r\n\r\n" 268435456 | grep -q 'needs PHP' ||
  fail "a large post is not answered"
# A file cut short while it is sent (a release file copied over in place) ends the reply.
exec 3<>"/dev/tcp/127.0.0.1/$port" && printf 'GET /huge.zip HTTP/1.0\r\n\r\n' >&3 && head -c 1000 <&3 >/dev/null
truncate -s 0 ../out/huge.zip && timeout 5 cat <&3 >/dev/null || fail "a file cut short keeps its reply open"
form='--b\r\nContent-Disposition: form-data; name="x"\r\n\r\ny\r\n--b--\r\n'
send "POST /sendemail.php HTTP/1.0\r\nContent-Type: multipart/form-data; boundary=b\r\nContent-Length: 59\r\n\r\n$form" |
  grep -q 'needs PHP' || fail "a form posted in parts is not answered"
grown "a large post"

# A page elsewhere reaches the preview under another name through DNS rebinding: only this
# machine's names are answered, and another gets nothing of the site.
get11 / "localhost:$port" | grep -q '^HTTP/1.1 200' || fail "localhost is refused"
get11 / "attacker.example:$port" >../reply
grep -q '^HTTP/1.1 403' ../reply && ! grep -qi '<title' ../reply || fail "another host is answered"

# 1,000 overlapping ranges of a 1 MiB file get it once at most; one range gets that part.
truncate -s 1M ../out/release.zip
ranges=$(printf '0-,%.0s' $(seq 1000))
get11 /release.zip "127.0.0.1:$port" "Range: bytes=${ranges%,}\r\n" >../reply
grep -q '^HTTP/1.1 200' ../reply && [ "$(wc -c <../reply)" -lt 1049600 ] ||
  fail "a list of ranges is not answered with the file once"
get11 /release.zip "127.0.0.1:$port" "Range: bytes=-10\r\n" | grep -aq '^Content-Range: bytes 1048566-1048575/1048576' ||
  fail "one range is not answered"

# A save that changes no output file (a comment) rebuilds without a reload: the build count
# the streams below get stays 1.
echo '// nothing' >>en-us.txt
for i in $(seq 150); do grep -q 'no file changed' ../log && break; sleep 0.1; done
grep -q 'no file changed' ../log || fail "a save that changes no file is not told apart"

# Open pages hold event streams: beyond a few, each gets the latest build at once, so forty leave
# threads to answer the pages.
for i in $(seq 40); do
  exec {stream}<>"/dev/tcp/127.0.0.1/$port" && printf 'GET /__maketarnwick/events HTTP/1.0\r\n\r\n' >&$stream
done
sleep 0.3
get / | grep -q '^HTTP/1.[01] 200' || fail "open event streams stall the pages"
timeout 2 cat <&$stream | tr -d '\r' >../events
grep -q '^retry: ' ../events && grep -q '^data: 1$' ../events || fail "a stream beyond the first few gets no build"

# An open page waits on its event stream; Ctrl-C ends the run all the same, within 5 seconds.
exec 4<>"/dev/tcp/127.0.0.1/$port" && printf 'GET /__maketarnwick/events HTTP/1.0\r\n\r\n' >&4 && sleep 0.3
kill -INT $pid
timeout 5 tail --pid=$pid -f /dev/null || fail "Ctrl-C does not stop the preview"
wait $pid || fail "stopped with status $?"
grep -q '^stopped$' ../log || fail "no stop message"

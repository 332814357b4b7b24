#!/usr/bin/env python3
"""How long a one-line edit takes to reach an open page under --serve: from
the moment the edited file is saved to the reload event on the preview's
event stream. Generates a site with gen_site.py (kept in the work folder
for the next run), starts the preview on it, then for each kind of edit
saves ten one-line edits, one at a time, and prints the median and the
range.

    bench/preview_latency.py BIN [--size medium] [--repeats 10] [--work DIR]

Kinds: a template page and a support page of a language other than the
default, and a template page of the default language (built twice: under its
code and at the root). Ends with the preview's peak memory (Linux). Standard
library only.
"""

import argparse
import os
import random
import re
import shutil
import socket
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def make_site(size, work):
    site = os.path.join(work, "site-" + size)
    if not os.path.isdir(site):
        subprocess.run([sys.executable, os.path.join(HERE, "gen_site.py"), "--size", size, site + ".tmp"],
                       check=True, capture_output=True)
        os.rename(site + ".tmp", site)
    out = os.path.join(work, "out-" + size)
    shutil.rmtree(out, ignore_errors=True)
    subprocess.run([sys.executable, os.path.join(HERE, "gen_site.py"), "--release-files", out], check=True,
                   capture_output=True)
    return site, out


class Events:
    """The preview's event stream: the number of the latest build."""
    def __init__(self, port):
        self.sock = socket.create_connection(("127.0.0.1", port))
        self.sock.sendall(b"GET /__maketarnwick/events HTTP/1.0\r\nHost: 127.0.0.1:%d\r\n\r\n" % port)
        self.data = b""
        self.latest = self.next_build(None)

    def next_build(self, after):
        """Waits for a build other than `after`; returns its number."""
        while True:
            found = [int(n) for n in re.findall(rb"data: (\d+)", self.data)]
            if found and found[-1] != after:
                self.data = b""
                return found[-1]
            chunk = self.sock.recv(4096)
            if not chunk:
                raise RuntimeError("the event stream ended")
            self.data += chunk


def edit(path, n):
    """Adds a word to the last line of the file that holds a sentence."""
    with open(path, "rb") as f:
        lines = f.read().split(b"\n")
    i = max(i for i, l in enumerate(lines) if l.rstrip(b"\r").endswith(b".") and not l.startswith((b"=", b"{", b"|", b"<")))
    end = b"\r" if lines[i].endswith(b"\r") else b""
    lines[i] = lines[i].rstrip(b"\r")[:-1] + b" edit%d." % n + end
    with open(path, "wb") as f:
        f.write(b"\n".join(lines))


def measure(events, path, repeats, log):
    times = []
    for n in range(repeats):
        time.sleep(0.5)
        edit(path, n)
        saved = time.monotonic()
        events.latest = events.next_build(events.latest)
        times.append(time.monotonic() - saved)
    return times


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("binary")
    parser.add_argument("--size", default="medium")
    parser.add_argument("--repeats", type=int, default=10)
    parser.add_argument("--work", default="/tmp/mt-preview-latency")
    parser.add_argument("--port", type=int, default=8939)
    options = parser.parse_args()
    os.makedirs(options.work, exist_ok=True)
    site, out = make_site(options.size, options.work)
    log = open(os.path.join(options.work, "serve.log"), "wb")
    proc = subprocess.Popen([os.path.abspath(options.binary), "--serve", "--port", str(options.port), out], cwd=site,
                            stdout=log, stderr=subprocess.DEVNULL)
    try:
        while b"serving " not in open(log.name, "rb").read():
            if proc.poll() is not None:
                raise RuntimeError("the preview ended")
            time.sleep(0.1)
        events = Events(options.port)
        rng = random.Random(1)
        support = sorted(os.path.join(d, f) for d, _, fs in os.walk(os.path.join(site, "de-de", "support"))
                         for f in fs if f.endswith(".txt"))
        kinds = [("template page (de-de/faq.txt)", os.path.join(site, "de-de", "faq.txt")),
                 ("support page (de-de)", rng.choice(support)),
                 ("template page of the default language (en-us/faq.txt)", os.path.join(site, "en-us", "faq.txt"))]
        for name, path in kinds:
            times = measure(events, path, options.repeats, log)
            print("%s, %s: median %.0f ms (%.0f-%.0f ms, %d edits)" % (
                options.size, name, 1000 * statistics.median(times), 1000 * min(times), 1000 * max(times),
                len(times)), flush=True)
        peak = peak_memory(proc.pid)
        if peak:
            print("%s: peak memory of the preview %.1f MB" % (options.size, peak / 1024), flush=True)
    finally:
        proc.send_signal(2)
        proc.wait(timeout=120)
    return 0


def peak_memory(pid):
    """The process's peak resident size in KiB, or None where /proc lacks it."""
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        return None
    return None


if __name__ == "__main__":
    sys.exit(main())

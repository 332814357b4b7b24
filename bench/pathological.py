#!/usr/bin/env python3
"""Pathological inputs: the cases of tests/driver/pathological.table (the
test suite checks the shape of their output), each a small one-language
fixture site holding one hostile input whose size is a parameter. Timing
every input at N (an eighth of the table's size) and at 8N shows whether the
tool's cost grows with the input (a ratio near 8) or faster (a ratio far
above 8: something quadratic).

    pathological.py --tool build/bench/maketarnwick [--only TEXT] [--repeats 3]
    pathological.py --list
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gen_site  # noqa: E402

KB = 1024
MB = 1024 * KB

# Below this many seconds at 8N a ratio is mostly start-up cost and noise.
FAST_ENOUGH = 0.25


def base_site():
    """The fixture every case starts from: one language, a home page, a page
    for links to land on, a file to link, one support page."""
    return {
        "en-us.txt": gen_site.language_file("en-us", "English (US)"),
        "en-us/home.txt": b"== Home ==\nHello.\n",
        "en-us/faq.txt": b"== Questions ==\nAsk.\n",
        "en-us/License.txt": b"free\n",
        "en-us/support/Page.txt": b"=Page=\n== Top ==\nText.\n",
    }


def _with(files):
    site = base_site()
    site.update(files)
    return site


TABLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "driver", "pathological.table")


def _unescape(text):
    return text.replace("\\\\", "\0").replace("\\n", "\n").replace("\\r", "\r").replace("\0", "\\")


def page_text(kind, arg, n):
    """The page text of a page input of size n, as the table describes it."""
    if kind == "line":
        return arg.encode() * (n // len(arg.encode())) + b"\n"
    if kind == "lines":
        lines = arg.split(" ", 1)
        return b"".join((line + "\n").encode() * n for line in lines)
    if kind == "toc":
        return b"__TOC__\n" + (arg + "\n").encode() * n
    kinds = ["[[faq|FAQ]]", "[[support/Page#Top|top]]", "[[https://example.org/a#B C|ext]]", "[[License.txt]]"]
    links = [kinds[i % 5] if i % 5 < 4 else "[[faq#missing_%d|broken]]" % i for i in range(n)]
    return (" ".join(links) + "\n").encode()


def deep_support_tree(n):
    files = {}
    folder = "en-us/support"
    for i in range(1, n + 1):
        files["%s/L%d.txt" % (folder, i)] = ("=Level %d=\nText.\n" % i).encode()
        folder += "/L%d" % i
    return _with(files)


def wide_support_folder(n):
    files = {}
    links = []
    for i in range(n):
        name = "Page %d" % i
        files["en-us/support/%s.txt" % (("%05d %s" % (i, name)) if i % 2 else name)] = ("=%s=\nText.\n" % name).encode()
        if i % 10 == 0:
            links.append("* [[support/page_%d]]" % i)
    files["en-us/home.txt"] = ("<ul>\n" + "\n".join(links) + "\n</ul>\n").encode()
    return _with(files)


def language_file_keys(n):
    lines = ['_LANGUAGE_NAME = "English (US)"']
    ids = [sid for sid, _ in gen_site.STRINGS]
    for i in range(n):
        lines.append('UNKNOWN_%d = "x"' % i if i % 1000 == 999 else '%s = "value %d"' % (ids[i % len(ids)], i))
    return _with({"en-us.txt": ("\n".join(lines) + "\n").encode()})


def quoted_csv_line(n):
    field = b'word, \\"quoted\\" \\\\ ' * (n // 20)
    csv = b"date,name,comment,amount\n2016-01-01,Ann,\"" + field + b"\",10.00\n"
    return _with({"donations.csv": csv, "en-us/home.txt": b"{{DONATE_HISTORY}}\n"})


SITES = {"tree": deep_support_tree, "folder": wide_support_folder, "keys": language_file_keys,
         "csv": quoted_csv_line}


def read_table(path=TABLE):
    """(name, kind, argument, size) of every case of the table."""
    cases = []
    with open(path, encoding="utf-8") as f:
        for line in f.read().splitlines():
            key, _, value = line.partition(" ")
            if key == "case":
                cases.append([value, None, "", 0])
            elif key == "input":
                size, _, value = value.partition(" ")
                kind, _, arg = value.partition(" ")
                cases[-1][1:4] = [kind, _unescape(arg), int(size)]
    return cases


CASES = []
for _name, _kind, _arg, _size in read_table():
    if _kind in SITES:
        CASES.append((_name, SITES[_kind], _size // 8))
        continue
    # Each page input goes into the home page and into a support page, since
    # the two converters are separate code.
    CASES.append(("home page: " + _name,
                  lambda n, k=_kind, a=_arg: _with({"en-us/home.txt": page_text(k, a, n)}), _size // 8))
    CASES.append(("support page: " + _name,
                  lambda n, k=_kind, a=_arg: _with({"en-us/support/Page.txt": b"=Page=\n== Top ==\n" + page_text(k, a, n)}),
                  _size // 8))


# --- Timing

def run_once(tool, site_dir, out_dir, log_path, timeout):
    """Seconds the tool takes on the site, or None after the timeout; the
    exit status comes second."""
    start = time.perf_counter()
    with open(log_path, "wb") as log:
        try:
            proc = subprocess.run([tool, out_dir, "https://example.org"], cwd=site_dir,
                                  stdout=log, stderr=subprocess.STDOUT, timeout=timeout)
        except subprocess.TimeoutExpired:
            return None, None
    return time.perf_counter() - start, proc.returncode


def time_site(tool, files, work, label, repeats, timeout):
    """Fastest of `repeats` runs in seconds (None on a timeout) and the
    diagnostics' last line; the outputs are deleted only after timing. The
    fastest run is the one least disturbed by other work on the machine."""
    site_dir = os.path.join(work, label, "site")
    gen_site.write_files(site_dir, files.items())
    times = []
    status = ""
    for r in range(repeats):
        out_dir = os.path.join(work, label, "out%d" % r)
        log_path = os.path.join(work, label, "log%d.txt" % r)
        seconds, rc = run_once(tool, site_dir, out_dir, log_path, timeout)
        if seconds is None:
            return None, "timeout"
        if rc != 0:
            return seconds, "exit status %d" % rc
        times.append(seconds)
        with open(log_path, "rb") as f:
            lines = f.read().splitlines()
        status = lines[-1].decode("utf-8", "replace") if lines else "no output"
    shutil.rmtree(os.path.join(work, label))
    return min(times), status


def main(argv=None):
    parser = argparse.ArgumentParser(description="Times each pathological input at N and 8N.")
    parser.add_argument("--tool", help="the maketarnwick binary")
    parser.add_argument("--only", help="run only cases whose name contains this text")
    parser.add_argument("--repeats", type=int, default=3)
    parser.add_argument("--timeout", type=float, default=120, help="seconds per run")
    parser.add_argument("--work", help="folder for fixtures and outputs (default: a temporary one)")
    parser.add_argument("--list", action="store_true", help="list the cases and exit")
    args = parser.parse_args(argv)

    cases = [c for c in CASES if not args.only or args.only in c[0]]
    if args.list:
        for name, _, n in cases:
            print("%s (N = %d)" % (name, n))
        return 0
    if not args.tool:
        parser.error("--tool is required")
    tool = os.path.abspath(args.tool)
    work = args.work or tempfile.mkdtemp(prefix="maketarnwick-pathological-")
    os.makedirs(work, exist_ok=True)

    base, _ = time_site(tool, base_site(), work, "base", args.repeats, args.timeout)
    print("Fixture without any input: %.3f s. Times are the fastest of %d runs." % (
        base, args.repeats))
    print()
    print("| input | N | t(N) s | t(8N) s | t(8N) / t(N) | net of fixture | verdict | diagnostics at 8N |")
    print("|---|---:|---:|---:|---:|---:|---|---|")
    failures = 0
    for i, (name, make, n) in enumerate(cases):
        small, _ = time_site(tool, make(n), work, "c%d-n" % i, args.repeats, args.timeout)
        large, status = time_site(tool, make(8 * n), work, "c%d-8n" % i, args.repeats, args.timeout)
        if small is None or large is None:
            ratio, net, verdict = "–", "–", "TIMEOUT (> %g s)" % args.timeout
            failures += 1
        else:
            ratio_value = large / small
            ratio = "%.1f" % ratio_value
            # The fixed cost of a run hides growth at small N; show the
            # ratio without it where the input's own cost is measurable.
            net = "%.1f" % ((large - base) / (small - base)) if small - base > 0.005 else "–"
            if ratio_value <= 10:
                verdict = "ok"
            elif large < FAST_ENOUGH:
                verdict = "ok (8N under %g s)" % FAST_ENOUGH
            else:
                verdict = "SLOW"
            if status.startswith("exit status"):
                verdict = "CRASH"
            if verdict != "ok":
                failures += 1
        print("| %s | %d | %s | %s | %s | %s | %s | %s |" % (
            name.replace("|", "\\|"), n, "–" if small is None else "%.3f" % small,
            "–" if large is None else "%.3f" % large, ratio, net, verdict, status), flush=True)
    if not args.work:
        shutil.rmtree(work, ignore_errors=True)
    print()
    print("%d of %d inputs outside the target (t(8N) / t(N) <= 10)." % (failures, len(cases)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Pathological inputs: a table of small one-language fixture sites, each
holding one hostile input whose size is a parameter. Timing every input at
N and at 8N shows whether the tool's cost grows with the input (a ratio near
8) or faster (a ratio far above 8: something quadratic).

    pathological.py --tool build/bench/maketarnwick [--only TEXT] [--repeats 3]
    pathological.py --list

Each case is a function of the size that returns the fixture's files as a
dict {relative path with '/': bytes}; the test suite can import CASES and
build the same fixtures.
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


# --- Page texts: each goes into home.txt or into a support page, since the
# two converters are separate code.

def _page_case(text_of):
    def in_home(n):
        return _with({"en-us/home.txt": text_of(n)})

    def in_support(n):
        return _with({"en-us/support/Page.txt": b"=Page=\n== Top ==\n" + text_of(n)})
    return in_home, in_support


def marker_line(marker):
    """One line of about n bytes made of the marker repeated."""
    def text(n):
        m = marker.encode()
        return m * (n // len(m)) + b"\n"
    return text


def repeated_lines(line):
    def text(n):
        return (line + "\n").encode() * n
    return text


def headings_with_one_title(n):
    return b"__TOC__\n" + b"== Same title ==\n" * n


def links_on_one_line(n):
    kinds = ["[[faq|FAQ]]", "[[support/Page#Top|top]]", "[[https://www.example.com/a#B C|ext]]",
             "[[License.txt]]", "[[faq#missing_%d|broken]]"]
    parts = [kinds[i % len(kinds)].replace("%d", str(i)) for i in range(n)]
    return (" ".join(parts) + "\n").encode()


PAGE_INPUTS = [
    ("1 MB line of \"%s\"" % m, marker_line(m), 128 * KB)
    for m in ["'''", "''", "[[", "[[File:", "<", "{{", "=", "|", ";", "*"]
] + [
    ("nested <ul> lines", repeated_lines("<ul>"), 12500),
    ("nested <dl> lines", repeated_lines("<dl>"), 12500),
    ("unclosed <pre> lines", repeated_lines("<pre>"), 12500),
    ("unclosed tables", repeated_lines("{|"), 12500),
    ("headings with one title", headings_with_one_title, 6250),
    ("links on one line", links_on_one_line, 1250),
]


# --- Support trees, language file, CSV.

def deep_support_tree(n):
    """A chain of n pages, each in the folder of the one before."""
    files = {}
    folder = "en-us/support"
    for i in range(1, n + 1):
        name = "L%d" % i
        files["%s/%s.txt" % (folder, name)] = ("=Level %d=\nText of level %d.\n" % (i, i)).encode()
        folder += "/" + name
    return _with(files)


def wide_support_folder(n):
    """n pages in one folder, half ordered by number, half by title, and a
    home page that links every tenth of them."""
    files = {}
    links = []
    for i in range(n):
        name = "Page %d" % i
        raw = ("%05d %s" % (i, name)) if i % 2 else name
        files["en-us/support/%s.txt" % raw] = ("=%s=\nText %d.\n" % (name, i)).encode()
        if i % 10 == 0:
            links.append("* [[support/%s]]" % name.lower().replace(" ", "_"))
    files["en-us/home.txt"] = ("<ul>\n" + "\n".join(links) + "\n</ul>\n").encode()
    return _with(files)


def language_file_keys(n):
    """A language file of n key lines cycling through the string ids; every
    thousandth key is unknown (a warning each)."""
    lines = ['_LANGUAGE_NAME = "English (US)"']
    ids = [sid for sid, _ in gen_site.STRINGS]
    for i in range(n):
        if i % 1000 == 999:
            lines.append('UNKNOWN_%d = "x"' % i)
        else:
            lines.append('%s = "value %d"' % (ids[i % len(ids)], i))
    return _with({"en-us.txt": ("\n".join(lines) + "\n").encode()})


def quoted_csv_line(n):
    """A donation line whose comment is about n bytes inside quotes, with
    escapes, on a page that calls the table."""
    chunk = b'word, \\"quoted\\" \\\\ '
    field = chunk * (n // len(chunk))
    csv = b"date,name,comment,amount\n2016-01-01,Ann,\"" + field + b"\",10.00\n"
    return _with({"donations.csv": csv, "en-us/home.txt": b"{{DONATE_HISTORY}}\n"})


CASES = []
for _name, _text, _n in PAGE_INPUTS:
    _home, _support = _page_case(_text)
    CASES.append(("home page: " + _name, _home, _n))
    CASES.append(("support page: " + _name, _support, _n))
CASES += [
    ("support tree 200 folders deep", deep_support_tree, 25),
    ("support folder of 20,000 pages", wide_support_folder, 2500),
    ("language file of 1,000,000 keys", language_file_keys, 125000),
    ("CSV line of 1 MB inside quotes", quoted_csv_line, 128 * KB),
]


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

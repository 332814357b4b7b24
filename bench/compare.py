#!/usr/bin/env python3
"""Builds N random sites (random_site.py) with two binaries in exactly the
same conditions and compares, byte for byte, the exit status, standard
output, standard error and the whole output tree (file list, file types and
modes, contents; not times). Prints the first difference of each site that
differs and ends with one line: "compared N sites: all identical", or how
many differed (exit status 1).

    compare.py BIN_A BIN_B [-n 300] [-s FIRST_SEED] [-j 2] [--flags "..."]
               [--flags-b "..."] [--config] [--keep DIR] [--show 3] [--stop] [--timeout 30]

--flags-b gives B alone more options, for one that must not change what a
build writes and says (--incremental: its build record is left out of the
comparison of the trees).

compare.sh runs this; see bench/README.md. Standard library only.
"""

import argparse
import concurrent.futures
import os
import resource
import shlex
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import time

# No __pycache__ in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import random_site  # noqa: E402

# Exit statuses of a completed run, a refused one, and --strict's.
NORMAL_STATUSES = (0, 1, 2)

# A site's output is a few MB; a build that writes on without end is stopped
# here (SIGXFSZ) rather than filling the memory that /dev/shm stands on.
MAX_FILE_SIZE = 256 << 20

# What --incremental keeps for the next build; not part of the site.
RECORD = ".maketarnwick-record"


def limit_file_size():
    resource.setrlimit(resource.RLIMIT_FSIZE, (MAX_FILE_SIZE, MAX_FILE_SIZE))


def tree(root):
    """path -> (type, mode, link target) of everything below `root`, or
    None when `root` does not exist."""
    if not os.path.lexists(root):
        return None
    entries = {}
    for folder, dirs, files in os.walk(root):
        for name in dirs + files:
            full = os.path.join(folder, name)
            info = os.lstat(full)
            kind = stat.S_IFMT(info.st_mode)
            target = os.readlink(full) if stat.S_ISLNK(info.st_mode) else None
            if os.path.relpath(full, root) != RECORD:
                entries[os.path.relpath(full, root)] = (kind, stat.S_IMODE(info.st_mode), target)
    return entries


def snapshot(root):
    """What a build must not change in the site: names, types, sizes, times."""
    out = []
    for folder, dirs, files in os.walk(root):
        for name in sorted(dirs + files):
            info = os.lstat(os.path.join(folder, name))
            out.append((os.path.join(folder, name), info.st_mode, info.st_size, info.st_mtime_ns))
    return sorted(out)


def printable(data):
    text = data.decode("utf-8", "backslashreplace")
    return "".join(c if c.isprintable() or c == " " else repr(c)[1:-1] for c in text)


def first_difference(a, b):
    """Where two byte strings first differ: line, column and both sides'
    bytes around that point."""
    i = 0
    limit = min(len(a), len(b))
    while i < limit and a[i] == b[i]:
        i += 1
    line = a.count(b"\n", 0, i) + 1
    start = a.rfind(b"\n", 0, i) + 1

    def excerpt(data):
        if i >= len(data):
            return "(ends here)"
        end = data.find(b"\n", i)
        end = len(data) if end < 0 else end
        left, right = max(start, i - 60), min(end, i + 80)
        return ("..." if left > start else "") + printable(data[left:right]) + ("..." if right < end else "")

    return ["line %d, column %d:" % (line, i - start + 1), "  A: " + excerpt(a), "  B: " + excerpt(b)]


def describe_trees(d):
    """The differences of the two output trees: the first differing entry of
    the file list, or the first of the files whose bytes differ."""
    a, b = tree(os.path.join(d, "out-a")), tree(os.path.join(d, "out-b"))
    if a is None or b is None:
        return [] if a == b else ["output folder: %s" % ("only B has one" if a is None else "only A has one")]
    for path in sorted(set(a) | set(b)):
        if a.get(path) != b.get(path):
            def shown(entry):
                if entry is None:
                    return "missing"
                kind, mode, target = entry
                return "%s %o%s" % (stat.filemode(kind | mode)[0], mode, " -> " + target if target else "")
            return ["output file list differs at %s: A %s, B %s" % (printable(os.fsencode(path)),
                                                                    shown(a.get(path)), shown(b.get(path)))]
    differing = []
    for path in sorted(a):
        if a[path][0] != stat.S_IFREG:
            continue
        with open(os.path.join(d, "out-a", path), "rb") as fa, open(os.path.join(d, "out-b", path), "rb") as fb:
            data_a, data_b = fa.read(), fb.read()
        if data_a != data_b:
            if not differing:
                first = first_difference(data_a, data_b)
                first_path, first_lines = path, first
            differing.append(path)
    if not differing:
        return []
    return ["%d output file(s) differ, the first %s, %s" % (len(differing), printable(os.fsencode(first_path)),
                                                           first_lines[0])] + first_lines[1:]


def build(binary, flags, d, site, side, timeout):
    """Builds the site into ../out (as the site names it), twice when the
    site asks for a rebuild, and keeps the output as out-SIDE; returns the
    exit statuses (124: timed out, 128 + N: ended by signal N)."""
    out = os.path.join(d, "out")
    preload = os.path.join(d, "preload")
    # An empty preload means the output folder does not exist yet.
    if os.listdir(preload):
        shutil.copytree(preload, out, symlinks=True)
    statuses = []
    with open(os.path.join(d, side + ".stdout"), "wb") as stdout, \
            open(os.path.join(d, side + ".stderr"), "wb") as stderr:
        for run in range(2 if site.rebuild else 1):
            if run:
                for stream in (stdout, stderr):
                    stream.write(b"--- built again into the same folder ---\n")
                    stream.flush()
            try:
                status = subprocess.run([binary] + flags + [site.output_arg, site.url_root],
                                        cwd=os.path.join(d, "site"), stdin=subprocess.DEVNULL, stdout=stdout,
                                        stderr=stderr, timeout=timeout, preexec_fn=limit_file_size).returncode
            except subprocess.TimeoutExpired:
                status = 124
            except OSError as error:  # the binary could not be started
                stderr.write(("%s\n" % error).encode())
                status = 127
            statuses.append(128 - status if status < 0 else status)
    if os.path.lexists(out):
        os.rename(out, os.path.join(d, "out-" + side))
    return statuses


def run_seed(seed, options):
    """Generates, builds twice and compares one site; returns (seed,
    verdict, report lines). The verdict is same, differs, crashed or
    generator."""
    d = os.path.join(options.work, "seed-%d" % seed)
    shutil.rmtree(d, ignore_errors=True)
    os.makedirs(d)
    try:
        site = random_site.write_site(seed, os.path.join(d, "site"), options.config, os.path.join(d, "preload"))
    except Exception as error:  # a fault of the generator: name it, go on with the others
        return seed, "generator", ["random_site.py failed: %r" % error]
    command = "cd site && maketarnwick " + " ".join(shlex.quote(a) for a in options.flag_list +
                                                    [site.output_arg, site.url_root])
    if site.rebuild:
        command += " (twice)"
    with open(os.path.join(d, "command"), "w", encoding="utf-8", errors="surrogateescape") as f:
        f.write(command + "\n")

    before = snapshot(os.path.join(d, "site"))
    status = {}
    for side, binary, extra in (("a", options.bin_a, []), ("b", options.bin_b, options.flag_list_b)):
        status[side] = build(binary, options.flag_list + extra, d, site, side, options.timeout)
    report = []
    if status["a"] != status["b"]:
        report.append("exit status: A %s, B %s" % (" then ".join(map(str, status["a"])),
                                                   " then ".join(map(str, status["b"]))))
    for stream, name in (("stdout", "standard output"), ("stderr", "standard error")):
        with open(os.path.join(d, "a." + stream), "rb") as fa, open(os.path.join(d, "b." + stream), "rb") as fb:
            data_a, data_b = fa.read(), fb.read()
        if data_a != data_b:
            lines = first_difference(data_a, data_b)
            report += ["%s, %s" % (name, lines[0])] + lines[1:]
    report += describe_trees(d)
    if snapshot(os.path.join(d, "site")) != before:
        report.append("a build changed the site's own files")

    verdict = "differs" if report else "same"
    odd = [code for code in status["a"] if code not in NORMAL_STATUSES]
    if verdict == "same" and odd:
        # Alike, but a crash or a hang is a finding all the same.
        verdict = "crashed"
        how = ("timed out" if odd[0] == 124 else "ended by signal %d" % (odd[0] - 128) if odd[0] > 128
               else "ended with exit status %d" % odd[0])
        report.append("both builds %s alike (exit status %d)" % (how, odd[0]))
    with open(os.path.join(d, "report"), "w", encoding="utf-8", errors="surrogateescape") as f:
        f.write("\n".join(report + [command]) + "\n")
    if verdict == "same" and not options.keep:
        shutil.rmtree(d, ignore_errors=True)
    return seed, verdict, report


def ignore_interrupts():
    # Ctrl-C is the parent's to handle: it stops handing out sites.
    signal.signal(signal.SIGINT, signal.SIG_IGN)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("bin_a")
    parser.add_argument("bin_b")
    parser.add_argument("-n", type=int, default=300, dest="count", help="number of sites (default 300)")
    parser.add_argument("-s", type=int, default=1, dest="first", help="seed of the first site (default 1)")
    parser.add_argument("-j", type=int, default=2, dest="jobs", help="sites built at once (default 2)")
    parser.add_argument("--flags", default="", help="options given to both binaries before the two arguments")
    parser.add_argument("--flags-b", default="", help="options given to B alone, after --flags")
    parser.add_argument("--config", action="store_true", help="every site gets a random maketarnwick.conf")
    parser.add_argument("--keep", metavar="DIR", help="work in DIR and keep every site, tree and message")
    parser.add_argument("--show", type=int, default=3, help="sites whose differences are printed in full (default 3)")
    parser.add_argument("--stop", action="store_true", help="stop after the first site that differs")
    parser.add_argument("--timeout", type=float, default=30, help="seconds before a build counts as hung (default 30)")
    argv = list(sys.argv[1:] if argv is None else argv)
    # "--flags --pedantic" would read as two options: join the value on.
    i = 0
    while i < len(argv) - 1:
        if argv[i] in ("--flags", "--flags-b"):
            argv[i:i + 2] = [argv[i] + "=" + argv[i + 1]]
        i += 1
    options = parser.parse_args(argv)
    for name in ("bin_a", "bin_b"):
        path = getattr(options, name)
        if not (os.path.isfile(path) and os.access(path, os.X_OK)):
            parser.error("not an executable file: %s" % path)
        setattr(options, name, os.path.abspath(path))
    if options.count < 1 or options.jobs < 1:
        parser.error("-n and -j must be at least 1")
    options.flag_list = options.flags.split()
    options.flag_list_b = options.flags_b.split()
    if options.keep:
        os.makedirs(options.keep, exist_ok=True)
        options.work = os.path.abspath(options.keep)
    else:
        # In memory where the machine allows: nothing of a run needs the disk.
        shm = "/dev/shm" if os.path.isdir("/dev/shm") and os.access("/dev/shm", os.W_OK) else None
        options.work = tempfile.mkdtemp(prefix="mt-compare.", dir=shm)
    sys.stdout.reconfigure(errors="backslashreplace")

    started = time.time()
    results = {}
    seeds = range(options.first, options.first + options.count)
    progress = sys.stderr.isatty()
    executor = concurrent.futures.ProcessPoolExecutor(options.jobs, initializer=ignore_interrupts)
    try:
        pending = [executor.submit(run_seed, seed, options) for seed in seeds]
        for future in concurrent.futures.as_completed(pending):
            if future.cancelled():  # --stop
                continue
            seed, verdict, report = future.result()
            results[seed] = (verdict, report)
            bad = sum(1 for v, _ in results.values() if v != "same")
            if progress:
                sys.stderr.write("\r%d/%d sites, %d differ" % (len(results), options.count, bad))
            if bad and options.stop:
                for other in pending:
                    other.cancel()
    except KeyboardInterrupt:
        executor.shutdown(wait=True, cancel_futures=True)
        if not options.keep:
            shutil.rmtree(options.work, ignore_errors=True)
        sys.stderr.write("\ninterrupted\n")
        return 130
    executor.shutdown(wait=True)
    if progress:
        sys.stderr.write("\r\033[K")

    bad = [seed for seed in sorted(results) if results[seed][0] != "same"]
    for index, seed in enumerate(bad):
        verdict, report = results[seed]
        d = os.path.join(options.work, "seed-%d" % seed)
        if index < options.show:
            print("seed %d: %s (in %s: site/, preload/, out-a/, out-b/, a.stdout, b.stdout...)" % (seed, verdict, d))
            with open(os.path.join(d, "command"), encoding="utf-8", errors="surrogateescape") as f:
                print("  built as: " + f.read().strip())
            for line in report:
                print("  " + line)
        else:
            what = [line.split(",")[0].split(":")[0] for line in report if not line.startswith(" ")]
            print("seed %d: %s: %s" % (seed, verdict, "; ".join(what)))
            # Only the report stays: the trees of every differing site could fill the memory.
            if not options.keep:
                for name in os.listdir(d):
                    if name not in ("report", "command"):
                        path = os.path.join(d, name)
                        shutil.rmtree(path) if os.path.isdir(path) and not os.path.islink(path) else os.remove(path)
    if not bad and not options.keep:
        shutil.rmtree(options.work, ignore_errors=True)

    sys.stderr.write("%d sites in %.0f s with %d jobs\n" % (len(results), time.time() - started, options.jobs))
    sys.stderr.flush()
    counts = {v: sum(1 for seed in bad if results[seed][0] == v) for v in ("differs", "crashed", "generator")}
    summary = "compared %d sites:" % len(results)
    if not bad:
        print(summary + " all identical")
        return 0
    summary += " %d differed" % counts["differs"]
    if counts["crashed"]:
        summary += ", %d crashed or hung alike in both builds" % counts["crashed"]
    if counts["generator"]:
        summary += ", %d could not be generated" % counts["generator"]
    print(summary)
    return 2 if counts["generator"] else 1


if __name__ == "__main__":
    sys.exit(main())

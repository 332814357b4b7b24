#!/usr/bin/env python3
"""Proves that rebuilding into the same output folder after edits gives what
a clean build of the edited sources gives: the preview's case. Generates a
random site (random_site.py), then applies groups of random edits (a string,
a template line, a support page changed, renamed or deleted, a language
added, a CSV row, the previous-versions text) and after each group builds
into the kept folder with --prune and into a fresh one, comparing the two
trees byte for byte (the manifest aside) and the messages (the notes of
--prune aside). It also checks that the rebuild touched only files whose
bytes changed: every file the change list does not name keeps its inode
and modification time.

    bench/incremental.py BIN [--seeds 3] [--groups 10] [--edits 10] [--keep DIR] [--realistic]

--realistic edits sites of gen_site.py (3 languages, 40 support pages), which
build without errors, so that --prune removes what a clean build lacks.

--record builds the kept folder with --incremental too, after groups of 1 to
EDITS edits (so that many leave most languages unchanged, which the build
then takes from its record instead of building them), and compares every
message, in order, with the clean build's.

--preview edits such a site under a running `--serve --prune` instead, in
groups of 1 to EDITS edits (more of them touch one language each, which the
preview builds again alone), and after each group's rebuild compares the
preview's folder with a clean build of the same sources (same URL root) and
its link check (every "broken" message, in order) with the clean build's.

Prints one line per site and ends with "N edits in M groups: all identical"
(exit 0) or the first difference (exit 1). Standard library only.
"""

import argparse
import filecmp
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
MANIFEST = ".maketarnwick-manifest"
RECORD = ".maketarnwick-record"
IGNORED = {MANIFEST, RECORD}


def files_below(root):
    found = []
    for folder, _, names in os.walk(root):
        for name in names:
            found.append(os.path.relpath(os.path.join(folder, name), root))
    return sorted(found)


def tree(root):
    """Relative path -> (inode, mtime) of every file, the manifest aside."""
    result = {}
    for rel in files_below(root):
        if rel not in IGNORED:
            st = os.lstat(os.path.join(root, rel))
            result[rel] = (st.st_ino, st.st_mtime_ns)
    return result


class Editor:
    def __init__(self, site, rng):
        self.site, self.rng = site, rng

    def languages(self):
        return sorted(n for n in os.listdir(self.site) if n.endswith(".txt") and not n.startswith("{{")
                      and os.path.isfile(os.path.join(self.site, n)))

    def texts(self, support):
        """Page texts of the language folders: templates, or support pages."""
        found = []
        for lang in self.languages():
            folder = os.path.join(self.site, lang[:-4])
            for rel in files_below(folder) if os.path.isdir(folder) else []:
                path = os.path.join(folder, rel)
                # Links (some lead out of the site, some nowhere) are left alone.
                if rel.lower().endswith(".txt") and (os.sep in rel) == support and not os.path.islink(path):
                    found.append(path)
        return found

    def word(self):
        return self.rng.choice(["Wendrel", "edit", "x", "[[faq]]", "'''b'''", "== H ==", "<br>", "é", "[[nowhere]]"])

    def change_line(self, path):
        with open(path, "rb") as f:
            lines = f.read().split(b"\n")
        i = self.rng.randrange(len(lines))
        lines[i] = lines[i] + b" " + self.word().encode()
        with open(path, "wb") as f:
            f.write(b"\n".join(lines))
        return "line %d of %s" % (i + 1, path)

    def string(self):
        if not self.languages():  # a site made without a language file
            return self.previous_versions()
        lang = os.path.join(self.site, self.rng.choice(self.languages()))
        with open(lang, "rb") as f:
            lines = f.read().split(b"\n")
        keyed = [i for i, l in enumerate(lines) if b'= "' in l and l.rstrip().endswith(b'"')]
        if not keyed:
            return self.change_line(lang)
        i = self.rng.choice(keyed)
        lines[i] = lines[i].rstrip()[:-1] + b" " + self.word().encode().replace(b'"', b"") + b'"'
        with open(lang, "wb") as f:
            f.write(b"\n".join(lines))
        return "string on line %d of %s" % (i + 1, lang)

    def template(self):
        texts = self.texts(False)
        return self.change_line(self.rng.choice(texts)) if texts else self.string()

    def support(self):
        texts = self.texts(True)
        return self.change_line(self.rng.choice(texts)) if texts else self.template()

    def rename_support(self):
        texts = self.texts(True)
        if not texts:
            return self.template()
        path = self.rng.choice(texts)
        new = os.path.join(os.path.dirname(path), "%d_Renamed %d.txt" % (self.rng.randrange(9), self.rng.randrange(999)))
        os.rename(path, new)
        return "renamed %s" % path

    def delete_support(self):
        texts = self.texts(True)
        if not texts:
            return self.template()
        path = self.rng.choice(texts)
        os.remove(path)
        return "deleted %s" % path

    def add_language(self):
        source = self.rng.choice(self.languages())
        code = "x%d-yy" % self.rng.randrange(1000)
        shutil.copyfile(os.path.join(self.site, source), os.path.join(self.site, code + ".txt"))
        folder = os.path.join(self.site, source[:-4])
        if os.path.isdir(folder):
            shutil.copytree(folder, os.path.join(self.site, code), symlinks=True, dirs_exist_ok=True)
        return "language %s from %s" % (code, source)

    def csv_row(self):
        name = self.rng.choice(["donations.csv", "supported_languages.csv", "previous_stable_releases.csv"])
        with open(os.path.join(self.site, name), "ab") as f:
            f.write(("%s,%s,x,%d\n" % (self.word(), self.word(), self.rng.randrange(99))).encode())
        return "row of %s" % name

    def title(self):
        texts = self.texts(True)
        if not texts:
            return self.template()
        path = self.rng.choice(texts)
        with open(path, "rb") as f:
            lines = f.read().split(b"\n")
        lines[0] = b"=%s %d=" % (self.word().encode(), self.rng.randrange(99))
        with open(path, "wb") as f:
            f.write(b"\n".join(lines))
        return "title of %s" % path

    def language_name(self):
        """_LANGUAGE_NAME, which the languages macro shows in every language."""
        lang = os.path.join(self.site, self.rng.choice(self.languages()))
        with open(lang, "rb") as f:
            lines = [l for l in f.read().split(b"\n") if not l.startswith(b"_LANGUAGE_NAME")]
        lines.append(b'_LANGUAGE_NAME = "%s %d"' % (self.word().encode().replace(b'"', b""), self.rng.randrange(99)))
        with open(lang, "wb") as f:
            f.write(b"\n".join(lines))
        return "name of %s" % lang

    def configuration(self):
        with open(os.path.join(self.site, "maketarnwick.conf"), "wb") as f:
            f.write(b'SITE_NAME = "Bench %d"\n' % self.rng.randrange(99))
        return "configuration"

    def previous_versions(self):
        with open(os.path.join(self.site, "{{PREVIOUS_VERSIONS}}.txt"), "ab") as f:
            f.write(("* %s\n" % self.word()).encode())
        return "previous versions text"

    def edit(self):
        kinds = [(self.string, 5), (self.template, 4), (self.support, 4), (self.rename_support, 1),
                 (self.delete_support, 1), (self.add_language, 0.3), (self.csv_row, 1), (self.previous_versions, 1),
                 (self.title, 1), (self.configuration, 0.3), (self.language_name, 0.5)]
        pick = self.rng.uniform(0, sum(w for _, w in kinds))
        for action, weight in kinds:
            pick -= weight
            if pick <= 0:
                return action()
        return self.string()


def build(binary, site, output, url, changes=None, extra=()):
    args = [binary, "--prune"] + list(extra) + (["--changes", changes] if changes else []) + [output, url]
    run = subprocess.run(args, cwd=site, capture_output=True, timeout=300)
    # --prune's notes name what it kept; a clean build has nothing to keep.
    out = b"\n".join(l for l in run.stdout.split(b"\n") if not l.startswith(b"--prune"))
    out = out.replace(output.encode(), b"OUT")  # messages name the folder, which differs
    return run.returncode, out, b"--prune removed nothing" in run.stdout or b"--prune kept" in run.stdout


def manifest_paths(root):
    """The paths the --prune manifest in `root` lists."""
    try:
        with open(os.path.join(root, MANIFEST), "rb") as f:
            lines = f.read().decode("utf-8", "surrogateescape").split("\n")
    except OSError:
        return set()
    return {line.split(" ", 2)[2] for line in lines if line and not line.startswith("#") and line.count(" ") >= 2}


def differs(a, b, stale_allowed, recorded=None):
    """How the kept tree `a` differs from the clean tree `b`. Files the
    clean build lacks are stale only when --prune declined to remove them
    (after an error reading the sources, or a file it did not recognise),
    or when the manifest before the build (`recorded`) did not list them:
    a run with source errors records no new file, so none is removed later."""
    fa, fb = [f for f in files_below(a) if f not in IGNORED], [f for f in files_below(b) if f not in IGNORED]
    if stale_allowed:
        fa = [f for f in fa if f in set(fb)]
    if recorded is not None:
        fa = [f for f in fa if f in set(fb) or f in recorded]
    if fa != fb:
        return "file lists differ: only kept %s, only clean %s" % (sorted(set(fa) - set(fb))[:3],
                                                                   sorted(set(fb) - set(fa))[:3])
    for rel in fa:
        if not filecmp.cmp(os.path.join(a, rel), os.path.join(b, rel), shallow=False):
            return "%s differs" % rel
    return None


def check_untouched(before, after, changes_file):
    if not os.path.exists(changes_file):  # a run refused before writing anything (an unsafe URL root)
        return None if before == after else "a refused run wrote files"
    with open(changes_file, "rb") as f:
        named = {line[2:].decode("utf-8", "surrogateescape") for line in f.read().split(b"\n") if line}
    for rel, stamp in after.items():
        if rel in before and rel not in named and before[rel] != stamp:
            return "%s was rewritten but is not in the change list" % rel
        if rel in named and rel in before and before[rel] == stamp:
            return "%s is in the change list but was not written" % rel
    return None


def make_site(seed, site, pre, realistic):
    """Writes the site and the files its output folder holds first; returns the URL root."""
    if realistic:
        # A site that builds without errors, so that --prune removes what it should.
        gen = os.path.join(HERE, "gen_site.py")
        subprocess.run([sys.executable, gen, "--languages", "3", "--pages", "40", "--seed", str(seed), site],
                       capture_output=True, check=True)
        subprocess.run([sys.executable, gen, "--release-files", pre], capture_output=True, check=True)
        return "https://www.example.org/site"
    args = subprocess.run([sys.executable, os.path.join(HERE, "random_site.py"), "--seed", str(seed), "--preload",
                           pre, "--print-args", site], capture_output=True, text=True, check=True).stdout.split("\n")
    return args[1]


def one_site(binary, seed, work, groups, edits, realistic=False, record=False):
    site, pre = os.path.join(work, "site"), os.path.join(work, "pre")
    url = make_site(seed, site, pre, realistic)
    kept = os.path.join(work, "kept")
    shutil.copytree(pre, kept)
    extra = ["--incremental"] if record else []
    build(binary, site, kept, url, extra=extra)
    stale = 0
    rng = random.Random(seed)
    editor = Editor(site, rng)
    for group in range(groups):
        done = [editor.edit() for _ in range(rng.randint(1, edits) if record else edits)]
        before = tree(kept)
        recorded = manifest_paths(kept)
        changes = os.path.join(work, "changes")
        if os.path.exists(changes):
            os.remove(changes)
        status_kept, out_kept, pruning_declined = build(binary, site, kept, url, changes, extra)
        clean = os.path.join(work, "clean")
        shutil.rmtree(clean, ignore_errors=True)
        shutil.copytree(pre, clean)
        status_clean, out_clean, _ = build(binary, site, clean, url)
        stale += pruning_declined
        after = tree(kept)
        problem = differs(kept, clean, pruning_declined, recorded) or check_untouched(before, after, changes)
        clean_files = set(files_below(clean))
        new_stale = [f for f in after if f not in clean_files and f not in before]
        if new_stale:
            problem = problem or "the rebuild wrote %s, which a clean build does not" % new_stale[:3]
        if status_kept != status_clean or out_kept != out_clean:
            problem = problem or "messages differ"
        if problem:
            return "seed %d, group %d: %s\n  after: %s" % (seed, group + 1, problem, "; ".join(done)), stale
    return None, stale


class Preview:
    """A running --serve whose messages are read as they come."""
    END = (b"rebuilt in", b"no file changed in")
    BANNER = b"maketarnwick: builds"

    def __init__(self, binary, site, output, port):
        # A random port is tried again while it is taken.
        for _ in range(5):
            self.port = port or random.randrange(20000, 60000)
            self.proc = subprocess.Popen([binary, "--serve", "--prune", "--port", str(self.port), output], cwd=site,
                                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
            self.lines, self.lock = [], threading.Lock()
            threading.Thread(target=self._read, daemon=True).start()
            self._until(lambda: any(l.startswith((b"serving ", b"maketarnwick: cannot listen")) for l in self.lines)
                        or self.proc.poll() is not None, 600)
            if any(l.startswith(b"serving ") for l in self.lines) or port:
                break
        self._until(lambda: any(l.startswith(b"serving ") for l in self.lines), 1)

    def _read(self):
        for line in self.proc.stdout:
            with self.lock:
                self.lines.append(line.rstrip(b"\n"))

    def _until(self, done, timeout):
        end = time.time() + timeout
        while time.time() < end:
            with self.lock:
                if done():
                    return
            if self.proc.poll() is not None:
                raise RuntimeError("the preview ended: %s" % b"\n".join(self.lines[-5:]).decode(errors="replace"))
            time.sleep(0.02)
        raise RuntimeError("no rebuild within %d s" % timeout)

    def partial(self):
        return sum(1 for l in self.lines if l.startswith(b"building only "))

    def builds(self):
        return sum(1 for l in self.lines if l.startswith(self.END))

    def settled(self, since):
        """Waits for the builds after `since` builds to end with nothing started
        after them for a second; returns the last one's messages."""
        def quiet():
            ends = [i for i, l in enumerate(self.lines) if l.startswith(self.END)]
            banners = [i for i, l in enumerate(self.lines) if l.startswith(self.BANNER)]
            return len(ends) > since and banners[-1] < ends[-1]
        self._until(quiet, 600)
        while True:  # a burst of edits may make more than one build
            count = self.builds()
            time.sleep(1.0)
            self._until(quiet, 600)
            if self.builds() == count:
                break
        with self.lock:
            last = max(i for i, l in enumerate(self.lines) if l.startswith(self.BANNER))
            return self.lines[last + 1:-1]

    def stop(self):
        self.proc.send_signal(signal.SIGINT)
        self.proc.wait(timeout=60)


def link_check(lines):
    """The link check's messages, in order."""
    return [l for l in lines if b": warning: broken " in l or b": error: broken " in l]


def preview_site(binary, seed, work, groups, edits, port):
    """Edits a site under a running preview; after each group compares the
    preview's folder and link check with a clean build's."""
    site, pre = os.path.join(work, "site"), os.path.join(work, "pre")
    make_site(seed, site, pre, True)
    kept = os.path.join(work, "kept")
    shutil.copytree(pre, kept)
    preview = Preview(binary, site, kept, port)
    url = "http://127.0.0.1:%d" % preview.port
    rng = random.Random(seed)
    editor = Editor(site, rng)
    count = 0
    try:
        for group in range(groups):
            before = preview.builds()
            done = [editor.edit() for _ in range(rng.randint(1, edits))]
            messages = preview.settled(before)
            clean = os.path.join(work, "clean")
            shutil.rmtree(clean, ignore_errors=True)
            shutil.copytree(pre, clean)
            _, out_clean, _ = build(binary, site, clean, url)
            problem = differs(kept, clean, False)
            if not problem and link_check(messages) != link_check(out_clean.split(b"\n")):
                problem = "link checks differ"
            if problem:
                return "seed %d, group %d: %s\n  after: %s" % (seed, group + 1, problem, "; ".join(done)), count
            count += len(done)
        print("seed %d: %d of %d rebuilds built some languages only" % (seed, preview.partial(), preview.builds()))
    finally:
        preview.stop()
    return None, count


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("binary")
    parser.add_argument("--seeds", type=int, default=3)
    parser.add_argument("--first-seed", type=int, default=1)
    parser.add_argument("--groups", type=int, default=10)
    parser.add_argument("--edits", type=int, default=10)
    parser.add_argument("--keep", help="work here and keep it")
    parser.add_argument("--realistic", action="store_true", help="gen_site.py sites instead of random ones")
    parser.add_argument("--record", action="store_true",
                        help="rebuild with --incremental; groups of 1 to EDITS edits")
    parser.add_argument("--preview", action="store_true",
                        help="edit under a running --serve --prune; groups of 1 to EDITS edits")
    parser.add_argument("--port", type=int, default=0, help="the preview's port (default: a free one)")
    options = parser.parse_args()
    binary = os.path.abspath(options.binary)
    total = 0
    for seed in range(options.first_seed, options.first_seed + options.seeds):
        work = options.keep or tempfile.mkdtemp(prefix="mt-incremental-")
        shutil.rmtree(work, ignore_errors=True)
        os.makedirs(work)
        try:
            if options.preview:
                problem, done = preview_site(binary, seed, work, options.groups, options.edits, options.port)
            else:
                problem, stale = one_site(binary, seed, work, options.groups, options.edits, options.realistic,
                                          options.record)
                done = options.groups * options.edits
        finally:
            if not options.keep:
                shutil.rmtree(work, ignore_errors=True)
        if problem:
            print(problem)
            return 1
        total += done
        if options.preview:
            print("seed %d: %d groups, %d edits: identical" % (seed, options.groups, done))
        else:
            print("seed %d: %d groups of %d edits: identical (%d groups with stale files --prune declined to remove)"
                  % (seed, options.groups, options.edits, stale))
    print("%d edits in %d groups: all identical" % (total, options.seeds * options.groups))
    return 0


if __name__ == "__main__":
    sys.exit(main())

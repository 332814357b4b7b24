#!/usr/bin/env python3
"""Checks that includes between the folders of src/ point only downward.

Reads every `#include "..."` in src/, maps each file to its folder (a file at
the top of src/ is its own node), and reports
  - an include from a folder to one of a higher layer,
  - a cycle between folders (within one layer too),
  - a folder that is in no layer.
Exit status 1 on any report.  --graph prints the folder graph as text.
"""
import os
import re
import sys

# Lowest first; a folder may include itself and the folders before it.  The
# order is total, so an include against it is the only way to a cycle.
LAYERS = [
    ["platform"],  # every call to the operating system; byte-level helpers
    ["diag"],  # the one diagnostics writer
    ["site"],  # the records a build passes around and what they hold
    ["links"],  # URLs, slugs, anchors, the link registry
    ["lang"],  # reading the language files
    ["markup"],  # page text to HTML, localised texts
    ["macros"],  # {{...}} expansion, CSV tables, downloads
    ["chrome"],  # the frame around a page, stylesheets
    ["support"],  # the support wiki: its scan and its pages
    ["translate"],  # translators' tasks: status, acceptance record, PO files
    ["driver"],  # one build: languages, pages, the summary
    ["serve"],  # the preview server, driving builds
    ["main.cpp"],
]
LEVEL = {name: i for i, layer in enumerate(LAYERS) for name in layer}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def node_of(path):
    """The folder of a path relative to src/, or the file at the top."""
    return path.split("/", 1)[0]


def read_edges(src):
    edges = {}  # (from, to) -> first "file:line" seen
    for folder, _, names in os.walk(src):
        for name in sorted(names):
            if not name.endswith((".h", ".cpp")):
                continue
            full = os.path.join(folder, name)
            rel = os.path.relpath(full, src).replace(os.sep, "/")
            with open(full, encoding="utf-8") as f:
                text = f.read()
            for m in INCLUDE.finditer(text):
                target = m.group(1)
                if not os.path.exists(os.path.join(src, target)):
                    continue  # a header beside the file, or not ours
                a, b = node_of(rel), node_of(target)
                if a != b:
                    line = text.count("\n", 0, m.start()) + 1
                    edges.setdefault((a, b), f"src/{rel}:{line}")
    return edges


def cycles(nodes, edges):
    """Strongly connected components of more than one folder (Tarjan)."""
    succ = {n: sorted(b for a, b in edges if a == n) for n in nodes}
    index, low, stack, on, out = {}, {}, [], set(), []

    def visit(v):
        index[v] = low[v] = len(index)
        stack.append(v)
        on.add(v)
        for w in succ[v]:
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            comp = []
            while True:
                w = stack.pop()
                on.discard(w)
                comp.append(w)
                if w == v:
                    break
            if len(comp) > 1:
                out.append(sorted(comp))

    for n in sorted(nodes):
        if n not in index:
            visit(n)
    return out


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    src = os.path.join(root, "src")
    edges = read_edges(src)
    nodes = {n for e in edges for n in e}
    if "--graph" in sys.argv:
        # One line per folder, top layer first: what it includes, "!" marking
        # an include against the order.
        for name in sorted(nodes, key=lambda n: -LEVEL.get(n, 99)):
            to = sorted((b for a, b in edges if a == name), key=lambda n: -LEVEL.get(n, 99))
            shown = [b + ("!" if LEVEL.get(b, 99) > LEVEL.get(name, 99) else "") for b in to]
            print(f"{name:10} -> {' '.join(shown)}")
        return 0
    problems = []
    for name in sorted(nodes):
        if name not in LEVEL:
            problems.append(f"src/{name}: not in any layer of tools/check-layers.py")
    for (a, b), where in sorted(edges.items()):
        if LEVEL.get(a, 99) < LEVEL.get(b, 99):
            problems.append(f"{where}: {a} includes {b}, a higher layer")
    for comp in cycles(nodes, edges):
        problems.append(f"cycle between {', '.join(comp)}")
    for p in problems:
        print(p)
    print(f"layers: {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

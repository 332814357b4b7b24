#!/usr/bin/env python3
"""Writes one small random site that mixes every construct of the sources,
hostile combinations included, so that two builds of it can be compared
byte for byte (compare.sh).

    random_site.py --seed N OUTDIR               the site
    random_site.py --seed N --config OUTDIR      with a random maketarnwick.conf
    random_site.py --seed N --preload DIR OUTDIR also the files the output
                                                 folder holds before the build
    random_site.py --seed N --print-args OUTDIR  also print the output folder
                                                 argument and the URL root to
                                                 build with, one a line
    random_site.py --seed N --count K OUTDIR     seeds N to N+K-1, each in
                                                 OUTDIR/seed-S/ as site/,
                                                 preload/ and args

The same seed gives the same bytes. The names the sources define (string
ids and their defaults, macro names, the page list, line markers, inline
tokens, configuration keys) are read from src/ at run time, so a new one is
mixed in without a change here; without src/ the lists of gen_site.py serve.

Standard library only.
"""

import argparse
import os
import random
import re
import sys

# No __pycache__ in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gen_site  # noqa: E402  (the realistic generator: string table, release files, images)

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")

# ---------------------------------------------------------------------------
# What the sources define


def _source(rel):
    try:
        with open(os.path.join(ROOT, rel), encoding="utf-8", errors="replace") as f:
            return f.read()
    except OSError:
        return ""


def _unescape(literal):
    return re.sub(r"\\(.)", lambda m: {"n": "\n", "r": "\r", "t": "\t"}.get(m.group(1), m.group(1)), literal)


def _string_table():
    found = re.findall(r'MT_STRING\(([A-Z][A-Z0-9_]*), "((?:[^"\\]|\\.)*)"', _source("src/site/strings.def"))
    return [(sid, _unescape(value)) for sid, value in found] or list(gen_site.STRINGS)


def _macros():
    return re.findall(r'\{"([A-Z][A-Z0-9_]*)",', _source("src/macros/expander.cpp")) or [
        "SCREENSHOT_BEGIN", "SCREENSHOT_END", "DOWNLOAD_WENDREL", "DOWNLOAD_WENDREL_BETA",
        "DOWNLOAD_ALL_WENDREL", "DOWNLOAD_WENDREL_LANGUAGE_PACK",
        "DOWNLOAD_WENDREL_COMMAND_LINE_INTERFACE", "DOWNLOAD_WENDREL_SDK",
        "DOWNLOAD_WENDREL_OFFLINE_HELP", "CONTACT_FORM", "DONATE_FORM", "DONATE_HISTORY",
        "LANGUAGES", "SUPPORTED_LANGUAGES", "PREVIOUS_STABLE_RELEASES", "PREVIOUS_VERSIONS",
        "PRE_EXAMPLE"]


def _page_list(strings):
    site_map = _source("src/site/site_map.h")
    pages = site_map[site_map.find("kPages[]"):]
    ids = re.findall(r"\{([A-Z0-9_]+_TEMPLATE), ", pages[: pages.find("};")])
    if ids:
        return ids
    by_value = {value: sid for sid, value in strings}
    return [by_value[t] for t in gen_site.TEMPLATES if t in by_value]


def _line_markers():
    return re.findall(r'\{"([^"]+)", Block::', _source("src/markup/blocks.cpp")) or [
        "{{", "__TOC__", "__RTL_BEGIN__", "__RTL_END__", "<pre>", "<beta>", "<dl>", "</dl>",
        "<ul>", "</ul>"]


def _inline_tokens():
    """Short literals of the markup code and the fuzz dictionary that hold a
    byte that can start or end markup."""
    text = _source("src/markup/inline.cpp") + _source("src/markup/blocks.cpp") + _source("src/links/urls.cpp")
    literals = [_unescape(s) for s in re.findall(r'"((?:[^"\\\n]|\\.){1,12})"', text)]
    literals += [_unescape(s) for s in re.findall(r'^"(.*)"$', _source("fuzz/markup.dict"), re.M)]
    tokens = []
    for s in literals:
        if s.endswith(".h"):
            continue
        if re.search(r"[<>\[\]'|&={}_!;*#/:]", s) and "%" not in s and "\n" not in s and s not in tokens:
            tokens.append(s)
    return tokens


def _config_keys():
    found = re.findall(r'\{"([A-Z][A-Z0-9_]*)", &SiteConfig::\w+, Kind::(\w+)', _source("src/driver/config_file.cpp"))
    return found or [("PRODUCT_NAME", "kNamePart"), ("VERSION", "kNamePart"), ("SITE_HOME_URL", "kText")]


STRINGS = _string_table()
DEFAULTS = dict(STRINGS)
MACROS = _macros()
PAGE_LIST = _page_list(STRINGS)
LINE_MARKERS = _line_markers()
INLINE_TOKENS = _inline_tokens()
CONFIG_KEYS = _config_keys()

# ---------------------------------------------------------------------------
# Pools the random choices draw from. Small pools on purpose: the same
# heading, title or name turns up twice on a page or in a folder often.

WORDS = ("the file search option index window path update install pack list tree sort name "
         "copy move help über größe Ordner поиск файл ملف 検索 x=y a=b 100% it's").split()
HEADINGS = [
    "Overview", "Notes", "notes", "NOTES", " Setup ", "Q&A", "What's New", "Índice", "ÍNDICE",
    "Äpfel", "a-b", "a_b", "A / B", "Tips & Tricks", "''Notes''", "'''Bold'''", "<i>x</i>",
    "See [[a=b|x=y]]", "[[faq|FAQ]] here", "x|y", "a#b", "Über uns", "日本語", "100%", "%s %d",
    "", " ", "_", "a__", "Installing the Language Pack", "Details", "x<y", "[[File:a=b.png|alt=c=d]]",
    "<img src=\"i.png\" alt=\"a=b\"> pic", "<br>x", "'''''all'''''", "Tab\there", "Ümlaut ÍI",
]
NODE_NAMES = [
    "Wendrel", "Installing Wendrel", "What's New", "Previous Versions", "Supported Languages",
    "Command Line Interface", "SDK", "Options", "Search", "Tips & Tricks", "Q#A", "Índice",
    "Äpfel", "Ñandú", "日本語", "Drafts", "FAQ", "Getting Started", "a-b", "a_b", "Notes",
    "It's here", "100% Free", "x=y", "Side (old)", "semi;colon", "ÍNDICE", "Über", "faq",
    "Two  Blanks", " Lead", "Trail ", "dot.name", "UPPER", "upper",
]
# Names outside what Windows allows, or with bytes that are not UTF-8: rare.
ODD_NODE_NAMES = ["a<b>", 'say "hi"', "back\\slash", "bad\udcffbyte", "tab\tname", "a|b", "%s%n"]
PREFIXES = ["", "", "", "", "01 ", "1-", "02-", "10 ", "2 ", "0 ", "_", "_01 ", "01_", "-", "00 ", "3"]
TITLES = ["Same", "same", "Overview", "Ärger", "Zed", "alpha", "Beta", "10 things", "Índice"]
PRODUCT_SECTION = ["Installing Wendrel", "What's New", "Previous Versions", "Supported Languages",
                   "Command Line Interface", "SDK"]

LANGUAGE_POOL = [
    ("en-us", "English (US)"), ("de-de", "Deutsch"), ("ru-ru", "Русский"), ("ar-sa", "العربية"),
    ("es-es", "Español"), ("en-au", "English (AU)"), ("en-uk", "English (UK)"), ("pt-br", "Português"),
    ("fr", "Français"), ("he-il", "עברית"), ("ja-jp", "日本語"), ("nl-nl", "Nederlands"),
]

FILE_POOL = [
    "License.txt", "screenshot.png", "paypal.donate.png", "sssmall2.gif", "doc/manual.pdf",
    "My File.txt", "upper.png", "a=b.zip", "x&y.png", "Índice.txt", "notes.TXT", "deep/er/file.bin",
    "missing.png", "with#hash.png", "it's.pdf", "btn.png", "100%.png",
]

URL_ROOTS = [
    ("http://x", 25), ("https://example.com/sub", 20), ("", 15), ("http://x/", 5),
    ("file:///c:/dev/site", 5), ("http://localhost:8080", 5), ("https://ex.com/a b", 3),
    ("http://x/%s%d", 3), ("https://example.com/ü", 3), ("/site", 3), ("http://x/'q'", 2),
    ("http://x/$y", 2), ('http://x/"q"', 1), ("http://x/a\\b", 1),
]
OUTPUT_ARGS = [("../out", 20), ("../out/", 3), ("./../out", 1)]


def weighted(rng, pairs):
    total = sum(w for _, w in pairs)
    pick = rng.uniform(0, total)
    for value, w in pairs:
        pick -= w
        if pick <= 0:
            return value
    return pairs[-1][0]


# ---------------------------------------------------------------------------
# The plan of a site: languages, their strings, templates and support trees


class Node:
    """One support page: the file name less extension (`raw`), its title line."""

    def __init__(self, raw, parent, ext=".txt"):
        self.raw = raw
        self.parent = parent
        self.ext = ext
        self.children = []
        self.title_line = None  # None: no title line
        self.folder = raw       # name of its children's folder
        self.name = raw.lstrip("0123456789-_")

    def names(self):
        node, out = self, []
        while node:
            out.append(node.name)
            node = node.parent
        return out[::-1]


def slugish(text):
    """Roughly the slug of a name: enough for links that sometimes resolve."""
    out = ""
    for c in text:
        if c == "'":
            continue
        if c.isascii() and not c.isalnum() and c not in "-_":
            if out and out[-1] != "_":
                out += "_"
        else:
            out += c.lower() if c.isascii() else c
    return out.rstrip("_")


class Language:
    def __init__(self, code, name):
        self.code = code
        self.name = name
        self.file_name = code + ".txt"
        self.folder = code
        self.strings = {}       # id -> value the file gives
        self.templates = {}     # page-list id -> template file name used
        self.support_folder = "support"
        self.rename_rate = 0    # share of templates given other names
        self.roots = []         # support tree
        self.files = {}         # referenced file -> present


class Site:
    """Everything random about one site, drawn from one seed."""

    def __init__(self, seed, with_config=False):
        self.rng = random.Random(seed)
        self.seed = seed
        self.files = {}        # path -> bytes, or None for a folder
        self.links = []        # (path, target) symbolic links
        self.languages = []
        self.url_root = weighted(self.rng, URL_ROOTS)
        self.output_arg = weighted(self.rng, OUTPUT_ARGS)
        # Built a second time into the same output folder, as every release
        # rebuilds the deployed site.
        self.rebuild = self.rng.random() < 0.2
        self.with_config = with_config
        self.config = {}
        self.page_headings = HEADINGS[:3]
        self._plan_languages()

    # -- languages -----------------------------------------------------------

    def _plan_languages(self):
        rng = self.rng
        count = weighted(rng, [(1, 3), (2, 4), (3, 3), (4, 2)])
        pool = LANGUAGE_POOL[:]
        rng.shuffle(pool)
        if rng.random() < 0.6 and ("en-us", "English (US)") not in pool[:count]:
            pool.insert(rng.randrange(count), ("en-us", "English (US)"))
        for code, name in pool[:count]:
            lang = Language(code, name)
            form = rng.random()
            if form < 0.12:
                lang.file_name = code.upper() + ".txt"
            elif form < 0.16:
                lang.file_name = code + ".old.TXT"
            elif form < 0.19:
                lang.file_name = code.capitalize() + ".Txt"
            if rng.random() < 0.08:
                lang.folder = code.upper()
            self._plan_strings(lang)
            self._plan_files(lang)
            lang.roots = self._plan_support(lang)
            self.languages.append(lang)

    def _plan_strings(self, lang):
        rng = self.rng
        defined = rng.choice([1.0, 1.0, 0.95, 0.7, 0.3])
        lang.rename_rate = rng.choice([0, 0, 0, 0.1, 0.3])
        for sid, default in STRINGS:
            if rng.random() > defined:
                continue
            lang.strings[sid] = self._string_value(lang, sid, default)
        for sid in PAGE_LIST:
            value = lang.strings.get(sid, DEFAULTS.get(sid, sid.lower() + ".txt"))
            lang.templates[sid] = value
        lang.support_folder = lang.strings.get("SUPPORT_FOLDER", "support")

    def _string_value(self, lang, sid, default):
        rng = self.rng
        r = rng.random()
        if sid in ("CONTACTOK_TEMPLATE", "CONTACTERROR_TEMPLATE") and r < 0.1:
            # Page names the contact script embeds in PHP strings.
            return rng.choice(['ok".txt', "ok$x.txt", "ok\\x.txt", "ok'x.txt", "ok\x01.txt"])
        if sid in PAGE_LIST:
            if rng.random() >= lang.rename_rate:
                return default
            return rng.choice([
                "x-" + default, default.upper(), default[:-4] + ".TXT", "sub/" + default,
                default[:-4], "../" + default, ".txt", "", ".", "/abs.txt", "c:\\x.txt",
                DEFAULTS.get(rng.choice(PAGE_LIST), "home.txt"), "a b.txt", "%s.txt"])
        if sid == "SUPPORT_FOLDER":
            if r < 0.8:
                return default
            return rng.choice(["hilfe", "Support", "docs/help", "..", "", "/etc", "sup port", "Ayuda"])
        if sid == "SUPPORT_URL" and r < 0.4:
            return rng.choice(["support/wendrel/", "hilfe/x", "https://x/y", "/support",
                               "support/wendrel#Top Part", "support/options", ""])
        if sid == "FORUMS_URL" and r < 0.4:
            return rng.choice(["{{FORUMS_URL}}/de", "{{forums_url}}x{{FORUMS_URL}}",
                               "https://forum.example.com", "forum"])
        if sid == "TITLE_FORMAT" and r < 0.5:
            return rng.choice(["{{TITLE}}", "{{title}} | {{TITLE}}", "no token", "%s {{TITLE}} %d",
                               "<b>{{TITLE}}</b>", "{{TITLE}} " + "long " * 60])
        if sid == "DONATE_FORM_BUTTON_IMAGE" and r < 0.5:
            return rng.choice(["btn.png", "https://x/b.png", "/img/b.png", "sub/b.png", "noext", ""])
        if r < 0.45:
            return default
        if "[[" in default or r < 0.55:
            return self.link_string()
        if r < 0.75:
            return default + " (" + lang.code + ")"
        return self.inline_text(hostile=False, max_tokens=4).replace('"', "'")

    def link_string(self):
        """A string value with links, as the string-link renderer reads them."""
        rng = self.rng
        parts = []
        for _ in range(rng.randrange(1, 4)):
            target = self.target()
            form = rng.random()
            if form < 0.5:
                parts.append("[[%s|%s]]" % (target, self.label()))
            elif form < 0.7:
                parts.append("[[%s]]" % target)
            elif form < 0.8:
                parts.append("[[%s|a|b]]" % target)
            elif form < 0.9:
                parts.append("[[%s|%s" % (target, self.label()))
            else:
                parts.append(rng.choice(["{{VERSION}}", "{{CHANGES}}", "{{SHA256}}", "{{YEAR}}",
                                         "{{version}}", "text", "&copy;", "<b>x</b>"]))
        return " ".join(parts).replace('"', "'")

    def _plan_files(self, lang):
        rng = self.rng
        for name in FILE_POOL:
            if rng.random() < 0.5:
                lang.files[name] = rng.random() < 0.7

    # -- support trees -------------------------------------------------------

    def _node_name(self):
        rng = self.rng
        if rng.random() < 0.03:
            return rng.choice(ODD_NODE_NAMES)
        return rng.choice(NODE_NAMES)

    def _plan_support(self, lang):
        rng = self.rng
        roots = []
        if rng.random() < 0.55:
            top = Node(rng.choice(["", "01 ", "1-"]) + "Wendrel", None)
            for i, name in enumerate(PRODUCT_SECTION):
                if rng.random() < 0.75:
                    top.children.append(Node(rng.choice(["", "%02d " % (i + 1), "%d-" % (i + 1)]) + name, top))
            roots.append(top)
        budget = [rng.randrange(2, 14)]

        def grow(parent, siblings, depth):
            for _ in range(rng.randrange(0, 5 if depth == 0 else 4)):
                if budget[0] <= 0:
                    return
                budget[0] -= 1
                name = self._node_name()
                prefix = rng.choice(PREFIXES)
                raw = prefix + name if rng.random() > 0.04 else rng.choice(["00", "7", "1-2", "_"])
                ext = weighted(rng, [(".txt", 90), (".TXT", 5), (".Txt", 3), (".md", 2)])
                if any(n.raw + n.ext == raw + ext for n in siblings):
                    continue
                node = Node(raw, parent, ext)
                siblings.append(node)
                if depth < 3 and rng.random() < 0.4:
                    grow(node, node.children, depth + 1)

        grow(None, roots, 0)
        families = [roots] + [n.children for n in self.walk(roots) if n.children]
        if rng.random() < 0.35:
            # Two siblings whose sort keys are equal: the same title, or names
            # that differ only in letter case and no title line.
            siblings = rng.choice(families)
            first, second = rng.choice([("Twin", "twin"), ("Same Name", "SAME NAME"), ("Pair", "Peer")])
            parent = siblings[0].parent if siblings else None
            for raw in (first, second):
                siblings.insert(rng.randrange(len(siblings) + 1), Node(raw, parent))
        for node in self.walk(roots):
            r = rng.random()
            if node.raw in ("Pair", "Peer"):
                node.title_line = "=Same Title="
            elif node.raw.lower() in ("twin", "same name"):
                node.title_line = None
            elif r < 0.3:
                node.title_line = None
            elif r < 0.55:
                node.title_line = "=" + rng.choice(TITLES) + "="
            elif r < 0.65:
                node.title_line = "=" + rng.choice(TITLES)
            elif r < 0.7:
                node.title_line = "\ufeff= " + rng.choice(TITLES) + " ="
            else:
                node.title_line = "=" + node.name + "="
            if node.children and rng.random() < 0.12:
                node.folder = node.raw.upper() if rng.random() < 0.5 else node.raw.lower()
        return roots

    @staticmethod
    def walk(nodes):
        for node in nodes:
            yield node
            yield from Site.walk(node.children)

    # -- link targets and inline text ----------------------------------------

    def any_language(self):
        return self.rng.choice(self.languages) if self.languages else None

    def support_target(self, lang=None):
        rng = self.rng
        lang = lang or self.any_language()
        nodes = list(self.walk(lang.roots)) if lang else []
        folder = rng.choice(["support", "support", "Support", lang.support_folder if lang else "x"])
        if not nodes or rng.random() < 0.1:
            return folder + rng.choice(["", "/", "/nosuch", "//x", "/wendrel/no_such_page"])
        node = rng.choice(nodes)
        segments = [folder]
        for name in node.names():
            form = rng.random()
            if form < 0.4:
                segments.append(name)
            elif form < 0.8:
                segments.append(slugish(name))
            elif form < 0.9:
                segments.append(name.upper())
            else:
                segments.append(name.replace(" ", "_").lower())
        target = "/".join(segments)
        if rng.random() < 0.2:
            target += "/"
        if rng.random() < 0.35:
            target += "#" + rng.choice(HEADINGS + ["Top", "", "a#b", "Ünder Score"])
        return target

    def page_target(self):
        rng = self.rng
        lang = self.any_language()
        sid = rng.choice(PAGE_LIST)
        name = (lang.templates.get(sid) if lang else None) or DEFAULTS.get(sid, "home.txt")
        page = name.rsplit(".", 1)[0] if "." in name else name
        if rng.random() < 0.1:
            page = page.upper()
        if rng.random() < 0.4:
            page += "#" + rng.choice(HEADINGS + ["dl", "all", "language", "sdk", "chm", "cli"])
        elif rng.random() < 0.15:
            page += "/"
        return page

    def file_target(self):
        rng = self.rng
        name = rng.choice(FILE_POOL)
        form = rng.random()
        if form < 0.1:
            name = name.upper()
        elif form < 0.15:
            name = name.replace("/", "\\")
        elif form < 0.2:
            name = rng.choice(["../escape.txt", "/abs/file.txt", "c:/x.txt", "a/../b.txt", ".hidden", "x.", "."])
        return name

    def target(self):
        rng = self.rng
        kind = weighted(rng, [("support", 25), ("page", 20), ("anchor", 8), ("absolute", 8),
                              ("scheme", 8), ("file", 18), ("broken", 6), ("odd", 7)])
        if kind == "support":
            return self.support_target()
        if kind == "page":
            return self.page_target()
        if kind == "anchor":
            return "#" + rng.choice(self.page_headings + HEADINGS + ["", "#", "Top Part!"])
        if kind == "absolute":
            return rng.choice(["/forum", "/forum/", "/wendrel/version.ini", "/x.zip", "/", "/de-de/faq",
                               "//x", "/Changes.txt", "/en-us/support/wendrel"])
        if kind == "scheme":
            return rng.choice(["https://example.com/a#B C", "mailto:a@b", "http://x", "file:x.png",
                               "a:b/c", "javascript:alert(1)", "https://x/y.z#Q&A"])
        if kind == "file":
            return self.file_target()
        if kind == "broken":
            return rng.choice(["nosuchpage", "FAQ", "faq/extra", "downloads#nosuch", "support/nosuch/x"])
        return rng.choice(["", "a=b", "faq?a=b", 'q"uote', "<tag>", "%s%n", "x" * 300,
                           "sp ace/x", "tab\tx", "a|b", "[[nested]]"])

    def label(self):
        rng = self.rng
        return rng.choice(["", "label", "a=b", "''it''", "'''b'''", "<b>x</b>", "&", "%s", "Ümlaut",
                           "x y z", "<br>", "]", "[x]", "Q&A", "FAQ"])

    def link(self):
        rng = self.rng
        target = self.target()
        form = weighted(rng, [("label", 40), ("bare", 25), ("empty", 5), ("bars", 8),
                              ("unclosed", 5), ("image", 12), ("odd", 5)])
        if form == "label":
            return "[[%s|%s]]" % (target, self.label())
        if form == "bare":
            return "[[%s]]" % target
        if form == "empty":
            return "[[%s|]]" % target
        if form == "bars":
            return "[[%s|%s|%s]]" % (target, self.label(), self.label())
        if form == "unclosed":
            return "[[%s|%s" % (target, self.label())
        if form == "image":
            image = rng.choice([self.file_target(), "shot.png", "a=b.png", target])
            return self._image(image)
        return rng.choice(["[[]]", "[[|x]]", "[[", "]]", "[[[x]]]", "[[a]]]]", "[[File:]]"])

    def _image(self, image):
        rng = self.rng
        form = rng.randrange(6)
        if form == 0:
            return "[[File:%s]]" % image
        if form == 1:
            return "[[File:%s|alt=%s]]" % (image, self.label())
        if form == 2:
            return "[[File:%s|alt=a|alt=%s]]" % (image, self.label())
        if form == 3:
            return "[[File:%s|%s]]" % (image, self.label())
        if form == 4:
            return "[[file:%s|%s]]" % (image, self.label())
        return "[[File:%s|alt=%s" % (image, self.label())

    INLINE_KINDS = [("word", 30), ("emphasis", 14), ("link", 14), ("tag", 8), ("escape", 6),
                    ("special", 6), ("token", 6), ("format", 2), ("control", 2)]

    def inline_text(self, hostile=True, max_tokens=12):
        rng = self.rng
        out = []
        for _ in range(rng.randrange(1, max_tokens + 1)):
            kind = weighted(rng, self.INLINE_KINDS if hostile else self.INLINE_KINDS[:6])
            if kind == "word":
                piece = rng.choice(WORDS)
            elif kind == "emphasis":
                piece = rng.choice(["'''", "''", "'''''", "'", "''''", "'''x'''", "''y''"])
            elif kind == "link":
                piece = self.link()
            elif kind == "tag":
                piece = rng.choice(['<img src="x.png">', '<img src=x.png alt="a>b">', "<img", "<br>", "<br/>",
                                    "<br />", "<BR>", "<br", "<code>", "</code>", "<ul>", "</ul>", "<b>",
                                    "</pre>", "<pre>", "<dl>", '<img src="a=b.png" alt="c=d">'])
            elif kind == "escape":
                piece = rng.choice(["&", "&amp;", "&lt;", "<", ">", "<<", ">>", "a<b", "a&b"])
            elif kind == "special":
                piece = rng.choice(["=", "==", "|", "||", "!", ";", "*", "#", "{{", "}}", "{|", "__",
                                    "__TOC__", "\\", '"', "\t", "[", "]"])
            elif kind == "token":
                piece = rng.choice(INLINE_TOKENS) if INLINE_TOKENS else "''"
            elif kind == "format":
                piece = rng.choice(["%s", "%d", "%%", "%n", "%", "%99999s"])
            else:
                piece = rng.choice(["\r", "\udcff", "\ufeff", "\x1b[1m", "\x7f"])
            out.append(piece)
            if rng.random() < 0.7:
                out.append(" ")
        return "".join(out)

    # -- page texts ----------------------------------------------------------

    def heading(self):
        rng = self.rng
        r = rng.random()
        if r < 0.45:
            text = rng.choice(self.page_headings)  # repeats on one page are common
        elif r < 0.75:
            text = rng.choice(HEADINGS)
        else:
            text = self.inline_text(max_tokens=4)
        form = rng.randrange(12)
        return [
            "=%s=", "= %s =", "==%s==", "== %s ==", "=== %s ===", "====%s", "==%s", "=%s",
            "= %s = tail [[faq]]", "==%s== ''open", "==%s===x=", "=%s=" + "=" * 3,
        ][form] % text

    def macro_line(self):
        rng = self.rng
        name = rng.choice(MACROS)
        form = weighted(rng, [("plain", 70), ("lower", 6), ("blank", 4), ("trail", 6), ("open", 4),
                              ("unknown", 6), ("empty", 2), ("self", 2)])
        if form == "plain":
            return "{{%s}}" % name
        if form == "lower":
            return "{{%s}}" % name.lower()
        if form == "blank":
            return "{{ %s }}" % name if rng.random() < 0.5 else "{{%s }}" % name
        if form == "trail":
            return "{{%s}} trailing [[nosuch]] '''" % name
        if form == "open":
            return "{{%s" % name
        if form == "unknown":
            return rng.choice(["{{UNKNOWN}}", "{{DOWNLOAD}}", "{{TITLE}}", "{{VERSION}}"])
        if form == "empty":
            return rng.choice(["{{}}", "{{"])
        return "{{PREVIOUS_VERSIONS}}"

    def raw_line(self):
        """Any single line, markers included: what a preformatted block holds."""
        rng = self.rng
        kind = rng.randrange(10)
        if kind == 0:
            return self.heading()
        if kind == 1:
            return rng.choice(LINE_MARKERS) + rng.choice(["", "", " tail", "x"])
        if kind == 2:
            return self.macro_line()
        if kind == 3:
            return rng.choice(["__TOC__", "__RTL_BEGIN__", "__RTL_END__", "__X__", "__"])
        if kind == 4:
            return rng.choice(["</pre", " </pre>", "x</pre>", "<pre>", "\t</pre>", "</PRE>", "&lt;/pre&gt;"])
        if kind == 5:
            return rng.choice(["{|", "|-", "|}", "| cell", "! head", '|rowspan="2"|x', ";term|shown", "* item"])
        if kind == 6:
            return ""
        return self.inline_text()

    def page_lines(self, budget=None):
        rng = self.rng
        self.page_headings = rng.sample(HEADINGS, 3)
        lines = []
        budget = budget if budget is not None else rng.randrange(3, 28)
        blocks = [("paragraph", 20), ("blank", 4), ("heading", 11), ("toc", 4), ("rtl", 2),
                  ("list", 6), ("dl", 4), ("table", 5), ("pre", 6), ("macro", 6), ("beta", 1),
                  ("dunder", 2), ("marker", 4), ("stray", 3)]
        while len(lines) < budget:
            kind = weighted(rng, blocks)
            if kind == "paragraph":
                lines.append(self.inline_text())
            elif kind == "blank":
                lines.append(rng.choice(["", " ", "\t", " \t ", "\r"]))
            elif kind == "heading":
                lines.append(self.heading())
            elif kind == "toc":
                lines.append(rng.choice(["__TOC__", "__TOC__", "__TOC__ trailing", "__toc__"]))
            elif kind == "rtl":
                lines.append(rng.choice(["__RTL_BEGIN__", "__RTL_END__"]))
            elif kind == "list":
                lines += self.bullet_list(0)
            elif kind == "dl":
                lines += self.definition_list(0)
            elif kind == "table":
                lines += self.table()
            elif kind == "pre":
                lines += self.preformatted()
            elif kind == "macro":
                lines.append(self.macro_line())
            elif kind == "beta":
                lines.append(rng.choice(["<beta>", "<beta> hidden text"]))
            elif kind == "dunder":
                lines.append(rng.choice(["__X__", "__", "__NOTOC__", "__rtl_begin__"]))
            elif kind == "marker":
                lines.append(rng.choice(LINE_MARKERS) + rng.choice(["", "", " tail"]))
            else:
                lines.append(rng.choice(["| stray cell", "! stray head", "|-", "|}", ";term", "* item",
                                         "</ul>", "</dl>", "</pre>", "{"]))
        return lines

    def bullet_list(self, depth):
        rng = self.rng
        lines = ["<ul>" + rng.choice(["", "", " x"])]
        for _ in range(rng.randrange(0, 5)):
            r = rng.random()
            if r < 0.55:
                lines.append(rng.choice(["* ", "*", "* ", "*"]) + self.inline_text(max_tokens=5))
            elif r < 0.7:
                lines.append(self.inline_text(max_tokens=4))
            elif r < 0.82 and depth < (12 if rng.random() < 0.1 else 3):
                lines += self.bullet_list(depth + 1)
            elif r < 0.9:
                lines.append(rng.choice([self.macro_line(), "__TOC__", self.heading(), "", ";term"]))
            else:
                lines += self.definition_list(depth + 1) if depth < 3 else []
        if rng.random() < 0.88:
            lines.append("</ul>" + rng.choice(["", "", " tail"]))
        return lines

    def definition_list(self, depth):
        rng = self.rng
        lines = ["<dl>"]
        for _ in range(rng.randrange(0, 5)):
            r = rng.random()
            if r < 0.4:
                term = rng.choice(HEADINGS) if rng.random() < 0.6 else self.inline_text(max_tokens=3)
                lines.append(rng.choice([";%s", ";%s|shown", ";%s|a|b", ";", "; %s"]).replace("%s", term))
            elif r < 0.75:
                lines.append(self.inline_text(max_tokens=6))
            elif r < 0.85 and depth < 3:
                lines += self.definition_list(depth + 1)
            elif r < 0.93:
                lines += self.bullet_list(depth + 1) if depth < 3 else []
            else:
                lines.append(rng.choice(["", "* item", "{{LANGUAGES}}"]))
        if rng.random() < 0.88:
            lines.append("</dl>" + rng.choice(["", "", " tail"]))
        return lines

    def table(self):
        rng = self.rng
        lines = [rng.choice(["{|", "{|", '{| class="x"', "{"])]
        for _ in range(rng.randrange(0, 9)):
            r = rng.random()
            if r < 0.15:
                lines.append(rng.choice(["! ", "!"]) + self.inline_text(max_tokens=3))
            elif r < 0.45:
                lines.append(rng.choice(["| ", "|"]) + self.inline_text(max_tokens=4))
            elif r < 0.6:
                lines.append("|-" + rng.choice(["", "", " x"]))
            elif r < 0.75:
                lines.append('|rowspan="%s"%s%s' % (
                    rng.choice(["2", "3", "x", " -2", "", "99999999999", "0", "+4a"]),
                    rng.choice(["|", "|", "", "| "]), self.inline_text(max_tokens=3)))
            elif r < 0.82:
                lines.append(rng.choice(["||", "|", "|x", "!! a", "|=", '|rowspan=2|x']))
            elif r < 0.9:
                lines.append(rng.choice(["{{SUPPORTED_LANGUAGES}}", "{{PREVIOUS_STABLE_RELEASES}}",
                                         "{{DONATE_HISTORY}}"]))
            else:
                lines.append(self.inline_text(max_tokens=3))
        if rng.random() < 0.85:
            lines.append("|}" + rng.choice(["", "", " tail"]))
        return lines

    def preformatted(self):
        rng = self.rng
        lines = [rng.choice(["<pre>", "<pre>", "<pre>", "<pre> same line", "<pre>__TOC__"])]
        for _ in range(rng.randrange(0, 6)):
            lines.append(self.raw_line())
        if rng.random() < 0.85:
            lines.append(rng.choice(["</pre>", "</pre>", "</pre> tail", "</pre>== After =="]))
        return lines

    # -- serialisation --------------------------------------------------------

    def text_bytes(self, lines, long_line=0.006):
        """Joins lines with random line ends, byte order marks, NUL bytes and,
        rarely, a line of more than 65,535 bytes."""
        rng = self.rng
        lines = list(lines)
        if lines and rng.random() < long_line:
            filler = self.inline_text(max_tokens=12) or "x"
            size = rng.randrange(65400, 140000)
            line = (filler * (size // len(filler) + 1))[:size]
            lines.insert(rng.randrange(len(lines) + 1), line)
        ending = weighted(rng, [("\r\n", 40), ("\n", 40), ("mixed", 12), ("\r", 1), ("none", 5)])
        out = []
        for i, line in enumerate(lines):
            if rng.random() < 0.02:
                line = "\ufeff" + line
            if rng.random() < 0.002:
                cut = rng.randrange(len(line) + 1)
                line = line[:cut] + "\x00" + line[cut:]
            if ending == "mixed":
                end = rng.choice(["\r\n", "\n", "\r\n", "\n", "\r"])
            elif ending == "none":
                end = "\r\n"
            else:
                end = ending
            out.append(line + ("" if ending == "none" and i == len(lines) - 1 else end))
        text = "".join(out)
        if rng.random() < 0.25:
            text = "\ufeff" + text
        return encode(text)

    # -- files -----------------------------------------------------------------

    def language_file(self, lang):
        rng = self.rng
        lines = []
        if rng.random() < 0.3:
            lines.append(rng.choice(["// " + lang.name, "/* strings */", "  / comment", "\t// x", "/"]))
        special = []
        if rng.random() < 0.9:
            name = lang.name if rng.random() < 0.8 else rng.choice(["", "<b>Bold</b>", "%s", "a&b", "Ü"])
            special.append('_LANGUAGE_NAME = "%s"' % name)
        if rng.random() < 0.3:
            special.append('_LANGUAGE_ENGLISH_NAME = "%s"' % lang.code)
        if rng.random() < 0.3:
            special.append('_LANGUAGE_TRANSLATOR_LINK = "mailto:x@y"')
        if lang.code in ("ar-sa", "he-il") or rng.random() < 0.1:
            special.append('_LANGUAGE_TEXT_DIRECTION = "%s"' % rng.choice(["RTL", "rtl", "LTR", "Rtl", ""]))
        if rng.random() < 0.1:
            special.append('_language_name = "lower"')
        entries = special + [self._key_line(sid, value) for sid, value in lang.strings.items()]
        if rng.random() < 0.3:
            rng.shuffle(entries)
        for entry in entries:
            lines.append(entry)
            if rng.random() < 0.05:
                lines.append(rng.choice([
                    "UNKNOWN_KEY = \"x\"", "HOME=Start", 'HOME "no equals"', ' = "empty key"', "",
                    "   ", "// comment", '/* c */ HOME = "x"', 'HOME = "unclosed', "garbage line",
                    'home = "lower case id"', '\tFAQ\t=\t"tabs"', 'FAQ = "v" trailing "x"',
                    'HOME : "colon"', 'FAQ := "x"', 'DOWNLOADS - "dash"', 'ABOUT x"y"']))
        if rng.random() < 0.05:
            # A key that starts after the 4,095-byte piece boundary.
            lines.append("//" + "x" * rng.choice([4092, 4093, 4093, 4094, rng.randrange(4000, 4200)]) +
                         'HOME = "after the boundary"')
        return self.text_bytes(lines, long_line=0)

    def _key_line(self, sid, value):
        rng = self.rng
        key = sid if rng.random() > 0.05 else sid.lower()
        if '"' in value and rng.random() < 0.5:
            value = value.replace('"', "'")
        return rng.choice(['%s = "%s"', '%s="%s"', '%s = "%s"', '%s\t= "%s"', '%s = "%s" // note']) % (key, value)

    def csv_text(self, columns, linked):
        rng = self.rng
        state = weighted(rng, [("missing", 12), ("empty", 4), ("header", 5), ("rows", 79)])
        if state == "missing":
            return None
        if state == "empty":
            return b""
        lines = [",".join(columns)]
        if state == "rows":
            for _ in range(rng.randrange(1, 9)):
                count = len(columns) + rng.choice([0, 0, 0, -1, -2, 1, 3])
                fields = [self.csv_field(i in linked, i) for i in range(max(count, 0))]
                line = ",".join(fields)
                if rng.random() < 0.05:
                    line = rng.choice(["", " ", ",,,", "\ufeff" + line, line + "\rafter"])
                lines.append(line)
        if rng.random() < 0.04:
            lines.append("a" * rng.randrange(65500, 70000) + ',"x,y",z')
        return self.text_bytes(lines, long_line=0)

    def csv_field(self, linked, index):
        rng = self.rng
        r = rng.random()
        if r < 0.25:
            return rng.choice(WORDS)
        if r < 0.35:
            return ""
        if r < 0.5 and linked:
            return '"%s"' % self.link_string().replace("\\", "") if rng.random() < 0.5 else self.link_string().replace(",", " ")
        if r < 0.7:
            return rng.choice(['"a,b"', '"say \\"hi\\""', '"a\\\\b"', '"a\\tb"', '"unclosed,x', 'ab"c,d"e',
                               '"a""b"', ' a ', 'C:\\dir', '"end\\', '""', '"x"y', '"\\"'])
        if r < 0.8:
            return rng.choice(["<b>html</b>", "%s", "&", "Ümlaut", "2016-01-02", "10.00", "[[faq|FAQ]]",
                               "[[File:x.png]]", "[[License.txt]]"])
        if r < 0.85:
            return "y" * rng.choice([255, 256, 300, 4095, 4096, 5000])
        return self.inline_text(hostile=False, max_tokens=3).replace(",", " ").replace("\n", " ")

    def page_text(self):
        return self.text_bytes(self.page_lines())

    def support_text(self, node):
        rng = self.rng
        lines = []
        if rng.random() < 0.1:
            lines.append(rng.choice(["==Not a title==", "", "text first"]))
        if node.title_line is not None:
            lines.append(node.title_line)
        lines += self.page_lines(budget=rng.randrange(0, 20))
        return self.text_bytes(lines)

    def config_text(self):
        rng = self.rng
        lines = []
        for key, kind in CONFIG_KEYS:
            if rng.random() > 0.4:
                continue
            name = key if rng.random() > 0.1 else key.lower()
            value = self._config_value(key, kind)
            self.config[key] = value
            lines.append(rng.choice(['%s = "%s"', '%s="%s"', ' %s = "%s"  ', "// %s = \"%s\""]) % (name, value))
        if rng.random() < 0.3:
            lines.append(rng.choice(['NO_SUCH_KEY = "x"', "VERSION = 2.0", 'VERSION = "a" b', "garbage",
                                     'SITE_NAME = "unclosed', ""]))
        rng.shuffle(lines)
        return self.text_bytes(lines, long_line=0)

    def _config_value(self, key, kind):
        rng = self.rng
        if kind == "kSwitch":
            return rng.choice(["on", "off", "On", "yes", ""])
        if rng.random() < 0.15:
            return rng.choice(['a"b', "a$b", "a\\b", "a\x01b", "", ".", "../x", "/"])
        if kind == "kSitePath":
            return rng.choice(["/c.txt", "/{{VERSION}}.sha256", "/sub/v.ini", "/x"])
        if kind == "kFile":
            return rng.choice(["{{PRODUCT_NAME}}-{{VERSION}}", "Tool-{{version}}", "pack.zip", "sub/{{PRODUCT_NAME}}.zip"])
        if kind == "kNamePart":
            return rng.choice(["Tool", "2.0.1", "Ünï", "a b", "1.4.1.877", "x%sy"])
        return rng.choice(["https://example.org", "me@example.org", "Site & Co", "<b>x</b>", "%s"])

    def preload(self):
        """The files the output folder holds before the build: release files
        (all, some or none), the root screenshot, and rarely something in the
        way of a page."""
        rng = self.rng
        files = {}
        mode = weighted(rng, [("all", 45), ("some", 25), ("none", 30)])
        prefix_now = self.config.get("CURRENT_FILE_PREFIX", "Wendrel-1.4.1.877")
        for name, _ in gen_site.RELEASE_FILES:
            if mode == "none" or (mode == "some" and rng.random() < 0.5):
                continue
            if "{{" not in prefix_now and name.startswith("Wendrel-1.4.1.877") and rng.random() < 0.3:
                name = prefix_now + name[len("Wendrel-1.4.1.877"):]
            files[name] = b"\0" * rng.choice([0, 1, 1023, 1024, 1025, 4096, rng.randrange(5000)])
        if rng.random() < 0.5:
            files["sssmall2.gif"] = gen_site.GIF
        if rng.random() < 0.5:
            files["wendrel/version.ini"] = b"[Wendrel]\r\nVersion=1.4.1.877\r\n"
        if rng.random() < 0.08:
            hazard = rng.choice(["index.html", "faq", "sendemail.php/", "support/index.html", "about/index.html/"])
            if hazard.endswith("/"):
                files[hazard + "x"] = b"in the way"
            else:
                files[hazard] = b"stale"
        return files

    # -- the whole site ----------------------------------------------------------

    def build(self):
        rng = self.rng
        files = self.files
        for lang in self.languages:
            files[lang.file_name] = self.language_file(lang)
            self._language_folder(lang)
        for name, columns, linked in [
                ("donations.csv", ["date", "name", "comment", "amount"], ()),
                ("supported_languages.csv", ["Language", "Translator", "Version"], (1,)),
                ("previous_stable_releases.csv", ["link", "type", "machine_target", "language", "size"], (0,))]:
            data = self.csv_text(columns, linked)
            if data is not None:
                files[name] = data
        if rng.random() < 0.8:
            lines = self.page_lines(budget=rng.randrange(1, 14))
            if rng.random() < 0.25:
                lines.insert(rng.randrange(len(lines) + 1), "{{PREVIOUS_VERSIONS}}")
            files["{{PREVIOUS_VERSIONS}}.txt"] = self.text_bytes(lines)
        if self.with_config:
            files["maketarnwick.conf"] = self.config_text()
        # Names that look like language files and are not, or are refused.
        if rng.random() < 0.1:
            files[rng.choice(["{{OTHER}}.txt", ".txt", "a$b.txt", "x\"y.txt"])] = b'HOME = "x"\r\n'
        if rng.random() < 0.05:
            files["folder.txt/"] = None
        if rng.random() < 0.03 and self.languages:
            self.links.append((rng.choice(["zz-zz.txt", self.languages[0].folder + "/outside.png"]), "/dev/null"))

    def _language_folder(self, lang):
        rng = self.rng
        folder = lang.folder
        files = self.files
        if rng.random() < 0.03:
            return  # a language without a source folder
        seen = set()
        for sid in PAGE_LIST:
            name = lang.templates.get(sid, "")
            if rng.random() < 0.12 or not name or name in seen:
                continue
            seen.add(name)
            path = safe_join(folder, name)
            if not path:
                continue
            r = rng.random()
            if r < 0.02:
                files[path + "/"] = None  # a template that is a folder
            elif r < 0.03:
                self.links.append((path, "nowhere.txt"))
            elif r < 0.035:
                self.links.append((path, "/dev/null"))  # outside the site
            else:
                files[path] = self.page_text()
        for name, present in lang.files.items():
            if present:
                files[folder + "/" + name] = bytes([rng.randrange(256) for _ in range(rng.randrange(0, 40))])
        if lang.code == "es-es" and rng.random() < 0.7:
            files[folder + "/sssmall2.gif"] = gen_site.GIF
        support = safe_join(folder, lang.support_folder)
        if not support:
            return
        self._support_folder(support, lang.roots)
        if rng.random() < 0.1:
            files[support + "/Orphan/page.txt"] = b"=Orphan=\r\nnever read\r\n"
        if rng.random() < 0.05:
            files[support + "/notes.md"] = b"=Not a page=\r\n"
        if rng.random() < 0.03:
            files[support + "/dir.txt/"] = None
        if rng.random() < 0.03 and lang.roots:
            # A folder that leads back to an ancestor, and one that leads nowhere.
            top = lang.roots[0]
            self.links.append((support + "/" + top.folder + "/" + top.raw, ".."))
            self.links.append((support + "/dangling.txt", "nowhere.txt"))

    def _support_folder(self, folder, nodes):
        for node in nodes:
            self.files[folder + "/" + node.raw + node.ext] = self.support_text(node)
            if node.children:
                self._support_folder(folder + "/" + node.folder, node.children)


def encode(text):
    return text.encode("utf-8", "surrogateescape")


def safe_join(folder, name):
    """`folder/name` when `name` stays below `folder`, else None: the site
    never writes outside OUTDIR, whatever a value names."""
    name = name.replace("\\", "/")
    parts = [p for p in name.split("/") if p not in ("", ".")]
    if not parts or ".." in parts or ":" in name or name.startswith("/"):
        return None
    return folder + "/" + "/".join(parts)


def write_tree(root, files, links=()):
    """Writes path -> bytes (None: a folder). A path that would need a file
    to be a folder, or the other way round, is skipped."""
    for path, data in files.items():
        full = os.path.join(root, *[os.fsdecode(encode(p)) for p in path.rstrip("/").split("/")])
        try:
            if data is None:
                os.makedirs(full, exist_ok=True)
                continue
            os.makedirs(os.path.dirname(full), exist_ok=True)
            if os.path.isdir(full):
                continue
            with open(full, "wb") as f:
                f.write(data)
        except (NotADirectoryError, FileExistsError, IsADirectoryError):
            continue
    for path, target in links:
        full = os.path.join(root, *[os.fsdecode(encode(p)) for p in path.split("/")])
        if os.path.lexists(full) or not os.path.isdir(os.path.dirname(full)):
            continue
        os.symlink(target, full)


# ---------------------------------------------------------------------------
# Coverage: how many sites hold each construct, read back from the files


def _page_facts(text, facts):
    """Adds the constructs of one page text, followed as the converter
    meets them (in or out of a preformatted block)."""
    pre = toc = False
    seen_headings = set()
    depth = {"ul": 0, "dl": 0}
    table = False
    if text.startswith(b"\xef\xbb\xbf"):
        facts.add("page: byte order mark at the start")
    if b"\r" in text and b"\n" not in text:
        facts.add("page: CR-only line ends")
    for raw in re.split(rb"\r?\n", text):
        line = raw[3:] if raw.startswith(b"\xef\xbb\xbf") else raw
        if len(raw) > 65535:
            facts.add("page: line over 65,535 bytes")
        if b"\0" in raw:
            facts.add("page: NUL byte")
        if pre:
            if line.startswith(b"</pre>"):
                pre = False
            elif line.startswith(b"="):
                facts.add("pre: heading inside" + (" after __TOC__" if toc else ""))
            elif line.startswith(b"__TOC__"):
                facts.add("pre: __TOC__ inside")
            elif any(line.startswith(m.encode()) for m in LINE_MARKERS):
                facts.add("pre: block marker inside")
            elif line[:1] in (b"{", b"|", b"!", b";", b"*"):
                facts.add("pre: table/list line inside")
            continue
        for marker, name in ((b"{{", None), (b"__TOC__", "toc"), (b"__RTL_BEGIN__", "rtl begin"),
                             (b"__RTL_END__", "rtl end"), (b"<beta>", "<beta>")):
            if line.startswith(marker) and name:
                facts.add("block: " + name)
        if line.startswith(b"__TOC__"):
            facts.add("toc: " + ("after a heading" if seen_headings else "before any heading"))
            toc = True
        if line.startswith(b"{{"):
            name = line[2:].split(b"}}")[0].decode("utf-8", "replace")
            facts.add("macro: " + (name if name in MACROS else "unknown, odd or lower case"))
        elif line.startswith(b"<pre>"):
            pre = True
            facts.add("block: <pre>")
        elif line.startswith(b"<ul>") or line.startswith(b"<dl>"):
            kind = line[1:3].decode()
            depth[kind] += 1
            facts.add("block: <%s>%s" % (kind, " nested" if depth[kind] > 1 else ""))
        elif line.startswith(b"</ul>") or line.startswith(b"</dl>"):
            kind = line[2:4].decode()
            facts.add("block: </%s>%s" % (kind, "" if depth[kind] else " outside any list"))
            depth[kind] = max(depth[kind] - 1, 0)
        elif line.startswith(b"="):
            facts.add("heading: level " + ("2" if line.startswith(b"==") else "1"))
            if toc:
                facts.add("toc: heading after __TOC__")
            key = line.strip(b"= ").lower()
            if key in seen_headings:
                facts.add("heading: repeated on a page")
            seen_headings.add(key)
            if re.search(rb"\[\[[^\]]*=", line):
                facts.add("heading: '=' inside a link")
            if b"=" not in line.lstrip(b"=").rstrip():
                facts.add("heading: no closing '='")
        elif line.startswith(b"{"):
            table = True
            facts.add("table: start")
        elif line.startswith(b"|"):
            for prefix, name in ((b'|rowspan="', "rowspan cell"), (b"|-", "row end"), (b"|}", "end"),
                                 (b"| ", "cell")):
                if line.startswith(prefix):
                    facts.add("table: " + name)
                    break
            if line.startswith(b"|}"):
                table = False
        elif line.startswith(b"! "):
            facts.add("table: header cell")
        elif line.startswith(b";"):
            facts.add("block: ;term" + ("" if depth["dl"] else " outside any <dl>"))
        elif line.startswith(b"*"):
            facts.add("block: * item" + ("" if depth["ul"] else " outside any <ul>"))
        for token, name in ((b"'''''", "'''''"), (b"'''", "'''"), (b"''", "''"), (b"[[File:", "[[File:"),
                            (b"<img", "<img"), (b"&", "&"), (b"<br", "<br"), (b"<code>", "<code>")):
            if token in line:
                facts.add("inline: " + name)
        if line.count(b"'''") % 2:
            facts.add("inline: bold left open")
        for target in re.findall(rb"\[\[([^|\]]*)", line):
            facts.add("link: " + _target_kind(target))
    if pre:
        facts.add("pre: left open at the end")
    if table:
        facts.add("table: left open at the end")
    if depth["ul"] or depth["dl"]:
        facts.add("block: list left open at the end")


def _target_kind(target):
    if target.startswith(b"File:"):
        return "image"
    if target.lower().startswith(b"support"):
        return "support path" + (" with #anchor" if b"#" in target else "")
    if target.startswith(b"#"):
        return "#anchor"
    if target.startswith(b"/"):
        return "site-absolute"
    if re.match(rb"[^/]*:", target):
        return "scheme"
    if b"." in target:
        return "file"
    return "page or other"


def site_facts(site):
    facts = set()
    facts.add("site: %d language(s)" % len(site.languages))
    facts.add("site: URL root %r" % site.url_root)
    codes = [lang.code for lang in site.languages]
    if "en-us" not in codes:
        facts.add("site: no en-us")
    for code in ("ru-ru", "es-es", "en-au", "en-uk"):
        if code in codes:
            facts.add("language: " + code)
    for path, data in site.files.items():
        if data is None:
            continue
        name = path.rsplit("/", 1)[-1]
        if path.endswith(".csv"):
            facts.add("csv: %s%s" % (path, "" if data.count(b"\n") > 1 else " (empty or header only)"))
            if b'\\"' in data:
                facts.add("csv: escaped quote")
            if re.search(rb'"[^"\r\n]*\r?\n', data):
                facts.add("csv: quote left open")
            if any(len(f) > 255 for f in re.split(rb"[,\r\n]", data)):
                facts.add("csv: field over 255 bytes")
        elif "/" not in path and path.lower().endswith(".txt") and not path.startswith("{{"):
            facts.add("language file: " + ("upper-case name" if name[:2].isupper() else "lower-case name"))
            for token, fact in ((b"_LANGUAGE_TEXT_DIRECTION", "text direction"), (b"UNKNOWN_KEY", "unknown key"),
                                (b"\r\n", "CR LF"), (b'HOME=Start', "malformed line"),
                                (b"\xef\xbb\xbf", "byte order mark"), (b"x" * 4000, "line over 4,095 bytes")):
                if token in data:
                    facts.add("language file: " + fact)
            if b"_LANGUAGE_NAME" not in data:
                facts.add("language file: no _LANGUAGE_NAME")
        elif name.lower().endswith(".txt") or path.startswith("{{"):
            _page_facts(data, facts)
            if path.startswith("{{") and b"{{PREVIOUS_VERSIONS}}" in data:
                facts.add("macro: PREVIOUS_VERSIONS includes itself")
    for lang in site.languages:
        if lang.support_folder != "support":
            facts.add("language file: SUPPORT_FOLDER renamed")
        if any(lang.templates.get(sid) != DEFAULTS.get(sid) for sid in PAGE_LIST):
            facts.add("language file: a template renamed")
        nodes = list(Site.walk(lang.roots))
        for node in nodes:
            for test, fact in ((node.raw[:1].isdigit() and node.raw[1:3] == " " or node.raw[:3].endswith(" "),
                                "ordering prefix '01 '"),
                               ("-" in node.raw[:3] and node.raw[:1].isdigit(), "ordering prefix '1-'"),
                               (node.raw.startswith("_"), "hidden ('_')"),
                               (node.name == "", "digit-only name"),
                               (node.title_line is None, "no title line"),
                               (node.title_line is not None and not node.title_line.endswith("="),
                                "title line without closing '='"),
                               (bool(node.children), "children folder"),
                               (node.folder != node.raw, "children folder in other letter case"),
                               (node.ext != ".txt", "extension not '.txt'"),
                               (any(c in node.raw for c in " '&#"), "blank, apostrophe, '&' or '#' in name"),
                               (not node.raw.isascii(), "non-ASCII name"), ("Í" in node.raw, "capital I with acute")):
                if test:
                    facts.add("support: " + fact)
        for parent in [None] + nodes:
            siblings = lang.roots if parent is None else parent.children
            keys = [(n.title_line or n.raw).lower() for n in siblings if not n.raw[:1].isdigit()]
            if len(set(keys)) < len(keys):
                facts.add("support: siblings with equal sort keys")
    return facts


def coverage(first, count, config=False):
    """Prints, for each construct, the share of sites that hold it."""
    counts = {}
    for seed in range(first, first + count):
        site = Site(seed, config)
        site.build()
        site.preload()
        for fact in site_facts(site):
            counts[fact] = counts.get(fact, 0) + 1
    for fact, n in sorted(counts.items(), key=lambda item: (item[1], item[0])):
        print("%5.1f%%  %s" % (100.0 * n / count, fact))


def write_site(seed, outdir, config=False, preload=None, print_args=False):
    site = Site(seed, config)
    site.build()
    write_tree(outdir, site.files, site.links)
    if preload:
        os.makedirs(preload, exist_ok=True)
        write_tree(preload, site.preload())
    if print_args:
        sys.stdout.buffer.write(encode(site.output_arg + "\n" + site.url_root + "\n"))
    return site


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("outdir")
    parser.add_argument("--seed", type=int, required=True)
    parser.add_argument("--config", action="store_true", help="write a random maketarnwick.conf")
    parser.add_argument("--preload", metavar="DIR", help="write the output folder's files before the build into DIR")
    parser.add_argument("--print-args", action="store_true",
                        help="print the output folder argument and the URL root, one a line")
    parser.add_argument("--count", type=int, metavar="K",
                        help="write the sites of seeds SEED to SEED+K-1, each as OUTDIR/seed-S/site with its "
                             "preload folder and its arguments in OUTDIR/seed-S/args")
    parser.add_argument("--coverage", action="store_true",
                        help="print how many of the sites SEED to SEED+K-1 (--count) hold each construct")
    args = parser.parse_args(argv)

    if args.coverage:
        coverage(args.seed, args.count or 300, args.config)
        return 0
    if args.count is None:
        write_site(args.seed, args.outdir, args.config, args.preload, args.print_args)
        return 0
    # One process for many sites: starting Python costs more than a site.
    for seed in range(args.seed, args.seed + args.count):
        folder = os.path.join(args.outdir, "seed-%d" % seed)
        os.makedirs(folder, exist_ok=True)
        site = write_site(seed, os.path.join(folder, "site"), args.config, os.path.join(folder, "preload"))
        with open(os.path.join(folder, "args"), "wb") as f:
            f.write(encode(site.output_arg + "\n" + site.url_root + "\n"))
    return 0


if __name__ == "__main__":
    sys.exit(main())

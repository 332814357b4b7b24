#!/usr/bin/env python3
"""Writes a synthetic site in the tool's source format, for benchmarks.

    gen_site.py --size small OUTDIR        5 languages x 200 support pages
    gen_site.py --size medium OUTDIR       5 languages x 2,000 support pages
    gen_site.py --size large OUTDIR        30 languages x 2,000 support pages
    gen_site.py --languages 3 --pages 50 OUTDIR
    gen_site.py --release-files OUTDIR     the release files of the output root

The site holds full language files, the 14 page templates with realistic
markup and the macros on their pages, a support tree three levels deep with
ordering prefixes and hidden pages, the three CSV files and the shared
"{{PREVIOUS_VERSIONS}}.txt". Output is deterministic for a given seed.

Standard library only. The functions below are importable: the pathological
inputs (pathological.py) and tests build their fixture sites from them.
"""

import argparse
import os
import random
import sys

# The string table: id and English value, in index order.
STRINGS = [
    ('HOME', 'Home'),
    ('DOWNLOADS', 'Downloads'),
    ('FAQ', 'FAQ'),
    ('SUPPORT', 'Support'),
    ('FORUMS', 'Forums'),
    ('DONATE', 'Donate'),
    ('CONTACT', 'Contact'),
    ('PRIVACY', 'Privacy'),
    ('ERROR404', 'ERROR 404'),
    ('ABOUT', 'About tarnwick'),
    ('LANGUAGE', 'Language'),
    ('DONATED', 'Donated'),
    ('CONTACTOK', 'CONTACT Successful'),
    ('CONTACTERROR', 'CONTACT Error'),
    ('UPDATE', 'Update'),
    ('MAINTENANCE', 'Maintenance'),
    ('HOME_TEMPLATE', 'home.txt'),
    ('DOWNLOADS_TEMPLATE', 'downloads.txt'),
    ('FAQ_TEMPLATE', 'faq.txt'),
    ('DONATE_TEMPLATE', 'donate.txt'),
    ('ERROR404_TEMPLATE', 'error404.txt'),
    ('CONTACT_TEMPLATE', 'contact.txt'),
    ('PRIVACY_TEMPLATE', 'privacy.txt'),
    ('ABOUT_TEMPLATE', 'about.txt'),
    ('LANGUAGE_TEMPLATE', 'language.txt'),
    ('DONATED_TEMPLATE', 'donated.txt'),
    ('CONTACTOK_TEMPLATE', 'contactok.txt'),
    ('CONTACTERROR_TEMPLATE', 'contacterror.txt'),
    ('UPDATE_TEMPLATE', 'update.txt'),
    ('MAINTENANCE_TEMPLATE', 'maintenance.txt'),
    ('SUPPORT_FOLDER', 'support'),
    ('LICENSE_TEMPLATE', 'License.txt'),
    ('SUPPORT_URL', 'support/wendrel'),
    ('FORUMS_URL', '/forum'),
    ('HOME_TITLE', 'tarnwick'),
    ('TITLE_FORMAT', '{{TITLE}} - tarnwick'),
    ('DOWNLOAD_WENDREL_HEADER', 'Download Wendrel {{VERSION}}'),
    ('WENDREL_CHANGES', '[[{{CHANGES}}|Changes]]'),
    ('WENDREL_OLDER_VERSIONS', '[[support/wendrel/previous_versions/|Older Versions]]'),
    ('WENDREL_LICENSE', '[[License.txt|License]]'),
    ('WENDREL_MD5', '[[{{MD5}}|MD5]]'),
    ('WENDREL_SHA256', '[[{{SHA256}}|SHA256]]'),
    ('WENDREL_SUPPORTED_LANGUAGES', '[[support/wendrel/supported_languages/|Supported Languages]]'),
    ('WENDREL_HELP', '[[support/wendrel/installing_wendrel/|Help]]'),
    ('DOWNLOAD_WENDREL_BETA_HEADER', 'Download Wendrel {{VERSION}} Beta'),
    ('WENDREL_BETA_WHATS_NEW', "[[support/wendrel/whats_new|What's New]]"),
    ('DOWNLOAD_INSTALLER', 'Download Installer'),
    ('DOWNLOAD_INSTALLER_X64', 'Download Installer 64-bit'),
    ('DOWNLOAD_PORTABLE_ZIP', 'Download Portable Zip'),
    ('DOWNLOAD_PORTABLE_ZIP_X64', 'Download Portable Zip 64-bit'),
    ('ALL_WENDREL_DOWNLOADS_HEADER', 'All Wendrel Downloads'),
    ('INSTALLER', 'Installer'),
    ('PORTABLE', 'Portable'),
    ('MULTILINGUAL', '[[support/wendrel/supported_languages|Multilingual]]'),
    ('KB', 'KB'),
    ('DOWNLOAD_WENDREL_LANGUAGE_PACK_HEADER', 'Download Wendrel Language Pack'),
    ('WENDREL_LANGUAGE_PACK_HELP', '[[support/wendrel/supported_languages/#installing_the_language_pack|Help]]'),
    ('DOWNLOAD_WENDREL_COMMAND_LINE_INTERFACE_HEADER', 'Download Wendrel Command-line Interface'),
    ('WENDREL_COMMAND_LINE_INTERFACE_HELP', '[[support/wendrel/command_line_interface|Help]]'),
    ('DOWNLOAD_WENDREL_SDK_HEADER', 'Download Wendrel SDK'),
    ('WENDREL_SDK_HELP', '[[support/wendrel/SDK|Help]]'),
    ('COPYRIGHT', '&copy; {{YEAR}} - '),
    ('DONATE_FORM_NAME', 'Name (optional, name will be published below, leave blank for an anonymous donation):'),
    ('DONATE_FORM_COMMENT', 'Comment (optional, 200 characters max):'),
    ('DONATE_FORM_BUTTON_IMAGE', 'paypal.donate.png'),
    ('DONATE_FORM_DONATE', 'Donate'),
    ('DONATE_HISTORY', 'Donation History'),
    ('DONATE_HISTORY_NAME', 'Name'),
    ('DONATE_HISTORY_COMMENT', 'Comment'),
    ('DONATE_HISTORY_AMOUNT', 'Amount'),
    ('CONTACT_FORM_MESSAGE', 'Message:'),
    ('CONTACT_FORM_EMAIL', 'Email (optional):'),
    ('CONTACT_FORM_SEND', 'Send'),
    ('DOWNLOAD_WENDREL_OFFLINE_HELP', 'Download Wendrel Offline Help'),
]

# Template file of every page of the page list, in build order.
TEMPLATES = [
    "home.txt", "downloads.txt", "faq.txt", "contact.txt", "about.txt",
    "donate.txt", "error404.txt", "language.txt", "donated.txt",
    "contactok.txt", "contacterror.txt", "update.txt", "privacy.txt",
    "maintenance.txt",
]

# (code, display name, right-to-left). The first five make the small and
# medium sites; es-es is among the 30 because its screenshot is a copied file.
LANGUAGES = [
    ("en-us", "English (US)", False), ("de-de", "Deutsch", False),
    ("fr-fr", "Français", False), ("ru-ru", "Русский", False),
    ("ar-sa", "العربية", True), ("es-es", "Español", False),
    ("it-it", "Italiano", False), ("pt-br", "Português (Brasil)", False),
    ("pt-pt", "Português", False), ("nl-nl", "Nederlands", False),
    ("pl-pl", "Polski", False), ("cs-cz", "Čeština", False),
    ("sv-se", "Svenska", False), ("da-dk", "Dansk", False),
    ("fi-fi", "Suomi", False), ("nb-no", "Norsk bokmål", False),
    ("hu-hu", "Magyar", False), ("tr-tr", "Türkçe", False),
    ("el-gr", "Ελληνικά", False), ("he-il", "עברית", True),
    ("ja-jp", "日本語", False), ("ko-kr", "한국어", False),
    ("zh-cn", "简体中文", False), ("zh-tw", "繁體中文", False),
    ("uk-ua", "Українська", False), ("ro-ro", "Română", False),
    ("bg-bg", "Български", False), ("hr-hr", "Hrvatski", False),
    ("sk-sk", "Slovenčina", False), ("en-au", "English (Australia)", False),
]

SIZES = {"small": (5, 200), "medium": (5, 2000), "large": (30, 2000)}

DEFAULT_SEED = 20240611

# Release files the download tables read sizes of, with their sizes in bytes
# (small: only the size column depends on them).
RELEASE_FILES = [
    ("Wendrel-1.4.1.877.x86.en-US-Setup.exe", 18432),
    ("Wendrel-1.4.1.877.x64.en-US-Setup.exe", 19660),
    ("Wendrel-1.4.1.877.x86-Setup.exe", 24576),
    ("Wendrel-1.4.1.877.x64-Setup.exe", 25804),
    ("Wendrel-1.4.1.877.x86.msi", 27033),
    ("Wendrel-1.4.1.877.x64.msi", 28262),
    ("Wendrel-1.4.1.877.x86.en-US.zip", 10240),
    ("Wendrel-1.4.1.877.x64.en-US.zip", 11264),
    ("Wendrel-1.4.1.877.ARM.en-US.zip", 10772),
    ("Wendrel-1.4.1.877.x86.zip", 15360),
    ("Wendrel-1.4.1.877.x64.zip", 16384),
    ("Wendrel-1.4.1.877.ARM.zip", 15872),
    ("Wendrel-1.3.4.686.x86-Setup.exe", 13312),
    ("Wendrel-1.3.4.686.x64-Setup.exe", 14336),
    ("Wendrel-1.3.4.686.x86.Multilingual-Setup.exe", 17408),
    ("Wendrel-1.3.4.686.x64.Multilingual-Setup.exe", 18433),
    ("Wendrel-1.3.4.686.x86.zip", 9216),
    ("Wendrel-1.3.4.686.x64.zip", 1000),
    ("Wendrel-1.3.4.686.x86.Multilingual.zip", 12288),
    ("Wendrel-1.3.4.686.x64.Multilingual.zip", 0),
    ("Wendrel.lng.zip", 5120),
    ("Wendrel-SDK.zip", 3072),
    ("Wendrel.chm.zip", 7168),
    ("WCL-1.1.0.8.zip", 2048),
]

# A 1x1 transparent PNG and GIF: the copied images need only exist.
PNG = bytes.fromhex(
    "89504e470d0a1a0a0000000d4948445200000001000000010806000000"
    "1f15c4890000000d49444154789c6360000002000005000150f5ab2a0000000049454e44ae426082")
GIF = bytes.fromhex(
    "47494638396101000100800000000000ffffff21f90401000000002c00000000010001000002024401003b")

WORDS = (
    "the archive search index folder file option filter result window "
    "setting path drive update version install portable language pack "
    "shortcut keyboard column size date attribute match pattern regular "
    "expression content preview export list tree view sort order name "
    "quick fast network share hidden system read only copy move delete "
    "rename select open close help manual command line switch script "
    "über größe Ordner Datei поиск файл папка ملف بحث 検索 ファイル "
    "and or with without for from into on at by when while every any "
    "a an is are can will may must should not all some many few"
).split()
CAPS = [w.capitalize() for w in WORDS[:60]]


def _words(rng, count):
    return " ".join(rng.choice(WORDS) for _ in range(count))


def _title(rng, count=2):
    return " ".join(rng.choice(CAPS) for _ in range(count))


def _slugish(name):
    """The URL segment of a plain name (letters, digits, single blanks,
    apostrophes): only ASCII letters are lowered, leading blanks vanish."""
    lowered = "".join(c.lower() if c.isascii() else c for c in name)
    return lowered.replace("'", "").strip().replace(" ", "_")


# ---------------------------------------------------------------------------
# Language files

# Values that name files, folders or URLs: every language keeps them.
STRUCTURAL = {"SUPPORT_FOLDER", "SUPPORT_URL", "FORUMS_URL", "DONATE_FORM_BUTTON_IMAGE",
              "LICENSE_TEMPLATE", "COPYRIGHT"}


def _translated(sid, value, code):
    """A visible value made recognisably per language; structural values
    (template names, link targets, placeholders) stay as they are."""
    if code == "en-us" or sid in STRUCTURAL or sid.endswith("_TEMPLATE"):
        return value
    if "[[" in value:
        # Translate only the link text after the last '|'.
        cut = value.rfind("|")
        end = value.rfind("]]")
        if cut < 0 or end < cut:
            return value
        return value[:cut + 1] + value[cut + 1:end] + " (" + code + ")" + value[end:]
    if "{{" in value:
        return value
    return value + " (" + code + ")"


def language_file(code, name, rtl=False):
    """A complete language file: every string id and _LANGUAGE_NAME."""
    lines = [
        "\ufeff// " + name + ": generated for benchmarks",
        '_LANGUAGE_NAME = "%s"' % name,
        '_LANGUAGE_ENGLISH_NAME = "%s"' % code,
        '_LANGUAGE_TRANSLATOR = "bench"',
        '_LANGUAGE_TRANSLATOR_LINK = "mailto:bench@example.org"',
    ]
    if rtl:
        lines.append('_LANGUAGE_TEXT_DIRECTION = "RTL"')
    for index, (sid, value) in enumerate(STRINGS):
        if index % 16 == 0:
            lines.append("")
            lines.append("/* strings from %d */" % index)
        value = _translated(sid, value, code)
        # Both separator spellings occur in real files.
        if index % 5 == 4:
            lines.append('%s="%s"' % (sid, value))
        else:
            lines.append('%s = "%s"' % (sid, value))
    return ("\r\n".join(lines) + "\r\n").encode("utf-8")


# ---------------------------------------------------------------------------
# Support tree

class SupportNode:
    """One page of the support tree as the generator plans it."""

    def __init__(self, raw, parent, title=None, body=None):
        self.raw = raw            # file name less ".txt", ordering prefix kept
        # The name less the ordering prefix; after "02 " it keeps the blank.
        self.name = raw.lstrip("0123456789-_")
        self.parent = parent
        self.title = title        # title line, or None for no title line
        self.body = body          # special body maker, or None for the generic one
        self.depth = 0 if parent is None else parent.depth + 1

    def source_path(self):
        parts = []
        node = self
        while node:
            parts.append(node.raw)
            node = node.parent
        return "/".join(reversed(parts))

    def names(self):
        parts = []
        node = self
        while node:
            parts.append(node.name)
            node = node.parent
        return list(reversed(parts))


def _wendrel_section():
    """The product section that the string table's links point into."""
    top = SupportNode("01-Wendrel", None, "Wendrel")
    nodes = [top]
    for raw, body in [
        ("01-Installing Wendrel", None),
        ("02-What's New", None),
        ("03-Previous Versions", "previous_versions"),
        ("04-Supported Languages", "supported_languages"),
        ("05-Command Line Interface", None),
        ("06-SDK", None),
    ]:
        nodes.append(SupportNode(raw, top, raw[3:], body))
    drafts = SupportNode("_Drafts", top, "Drafts")
    nodes.append(drafts)
    nodes.append(SupportNode("Draft One", drafts, "Draft One"))
    return nodes


def support_plan(count, seed=DEFAULT_SEED):
    """`count` support nodes in pre-order: the product section, then topics
    of one top page, up to 9 children and up to 10 grandchildren each. Every
    23rd generated page is hidden; odd topics number their pages, even ones
    leave the order to the titles; every 10th page has no title line."""
    rng = random.Random("%s:support" % seed)
    nodes = _wendrel_section()[:count]
    serial = 0

    def make(parent, position):
        nonlocal serial
        serial += 1
        name = "%s %d" % (_title(rng), serial)
        numbered = position % 2 == 1 if parent is None else parent.raw[:1].isdigit()
        if serial % 23 == 0:
            raw = "_" + name
        elif numbered:
            raw = ("%02d-" if position % 3 == 0 else "%02d ") % (position + 2) + name
        else:
            raw = name
        title = None if serial % 10 == 0 else name
        node = SupportNode(raw, parent, title)
        nodes.append(node)
        return node

    topic = 0
    while len(nodes) < count:
        top = make(None, topic)
        topic += 1
        for c in range(9):
            if len(nodes) >= count:
                break
            child = make(top, c)
            for g in range(10):
                if len(nodes) >= count:
                    break
                make(child, g)
    return nodes


def _link_target(rng, node, anchor=None):
    """A support link to `node`, each segment by name or by slug (by slug
    where the name begins with the blank of an ordering prefix)."""
    segments = ["support"]
    for name in node.names():
        by_name = name == name.lstrip() and rng.random() < 0.5
        segments.append(name if by_name else _slugish(name))
    target = "/".join(segments)
    if anchor:
        target += "#" + anchor
    return target


SUPPORT_HEADINGS = ["Overview", "Details", "Notes"]


def support_page(rng, node, nodes, serial):
    """Page text of one support node, about 1.5 KB."""
    out = []
    if node.title is not None:
        out.append("=%s=" % node.title)
    out.append("%s '''%s''' %s ''%s'' %s." % (
        _words(rng, 12).capitalize(), _words(rng, 2), _words(rng, 10),
        _words(rng, 2), _words(rng, 8)))
    out.append("== %s ==" % SUPPORT_HEADINGS[0])
    if node.body == "previous_versions":
        out.append("{{PREVIOUS_VERSIONS}}")
    elif node.body == "supported_languages":
        out += ["{|", "! Language", "! Translator", "! Version", "|-",
                "{{SUPPORTED_LANGUAGES}}", "|}",
                "== Installing the Language Pack ==",
                "Unpack the [[/Wendrel.lng.zip]] archive <b>next</b> to the program."]
    other = nodes[rng.randrange(len(nodes))]
    out.append("%s [[%s|%s]] %s." % (
        _words(rng, 9).capitalize(), _link_target(rng, other, "Details"),
        other.name.strip(), _words(rng, 6)))
    out += ["<ul>",
            "* %s [[%s]]" % (_words(rng, 5), _link_target(rng, node.parent or node)),
            "* %s & %s <code>%s</code>" % (_words(rng, 4), _words(rng, 3), _words(rng, 2)),
            "<ul>",
            "* %s ''%s''" % (_words(rng, 6), _words(rng, 2)),
            "</ul>",
            "* [[support/Wendrel/Installing_Wendrel#Overview|Installing]] %s" % _words(rng, 3),
            "</ul>",
            "== %s ==" % SUPPORT_HEADINGS[1],
            "{|", "! Option", "! Meaning", "|-",
            "| /%s" % rng.choice(WORDS), "| %s" % _words(rng, 8), "|-",
            '|rowspan="2"|%s' % _words(rng, 2), "| %s" % _words(rng, 5), "|}",
            "<dl>",
            ";%s|%s" % (_title(rng, 1) + " term %d" % serial, _words(rng, 2)),
            _words(rng, 14),
            "</dl>",
            "<pre>",
            "wendrel.exe /search \"%s\" <dir> & exit" % _words(rng, 1),
            "  %s" % _words(rng, 5),
            "</pre>",
            "== %s ==" % SUPPORT_HEADINGS[2],
            "%s [[#Details|%s]]<br>%s [[faq#Details|FAQ]] [[https://www.example.org/%s#Top|%s]]." % (
                _words(rng, 6).capitalize(), _words(rng, 2), _words(rng, 5),
                rng.choice(WORDS), _words(rng, 1)),
            "[[File:screenshot.png|alt=%s]] [[License.txt|License]] %s" % (
                _words(rng, 2), _words(rng, 10))]
    if serial % 40 == 7:
        out.append("[[support/Wendrel/No Such Page|%s]]" % _words(rng, 2))
    if node.depth == 0:
        out.append("<ul>")
        for child in [n for n in nodes if n.parent is node][:5]:
            out.append("* [[%s]]" % _link_target(rng, child))
        out.append("</ul>")
    return out


# ---------------------------------------------------------------------------
# Templates

TEMPLATE_HEADINGS = ["Overview", "Getting Started", "Details", "More"]


def _template_macros(template):
    return {
        "home.txt": ["{{SCREENSHOT_BEGIN}}", "Wendrel finds files '''fast'''.", "{{SCREENSHOT_END}}"],
        "downloads.txt": ["{{DOWNLOAD_WENDREL}}", "{{DOWNLOAD_ALL_WENDREL}}",
                          "{{DOWNLOAD_WENDREL_LANGUAGE_PACK}}",
                          "{{DOWNLOAD_WENDREL_COMMAND_LINE_INTERFACE}}",
                          "{{DOWNLOAD_WENDREL_SDK}}", "{{DOWNLOAD_WENDREL_OFFLINE_HELP}}",
                          "{{DOWNLOAD_WENDREL_BETA}}",
                          "{|", "! File", "! Type", "! Machine", "! Language", "! Size", "|-",
                          "{{PREVIOUS_STABLE_RELEASES}}", "|}"],
        "donate.txt": ["{{DONATE_FORM}}", "{{DONATE_HISTORY}}"],
        "contact.txt": ["{{CONTACT_FORM}}"],
        "language.txt": ["{{LANGUAGES}}", "{|", "! Language", "! Translator", "! Version",
                         "|-", "{{SUPPORTED_LANGUAGES}}", "|}"],
        "about.txt": ["{{PRE_EXAMPLE}}"],
    }.get(template, [])


def template_page(rng, template, rtl, broken):
    """Page text of one template, 2-3 KB: the page's macros, headings, a
    table of contents, lists, a table, bold and italic, and ten links of
    every kind."""
    title = template[:-4].capitalize()
    out = []
    if rtl:
        out.append("__RTL_BEGIN__")
    out += _template_macros(template)
    out.append("= %s =" % title)
    out.append("%s '''%s''' %s." % (_words(rng, 14).capitalize(), _words(rng, 3), _words(rng, 12)))
    out.append("__TOC__")
    out.append("== %s ==" % TEMPLATE_HEADINGS[0])
    out.append("%s ''%s'' %s '''''%s''''' %s <br/> %s." % (
        _words(rng, 12).capitalize(), _words(rng, 3), _words(rng, 10),
        _words(rng, 2), _words(rng, 15), _words(rng, 9)))
    out += ["<ul>"] + ["* %s" % _words(rng, rng.randrange(4, 12)) for _ in range(5)] + [
        "<ul>", "* ''%s''" % _words(rng, 4), "</ul>", "</ul>"]
    out.append("== %s ==" % TEMPLATE_HEADINGS[1])
    out.append("%s 5 < 6 & 7 > 3 %s." % (_words(rng, 18).capitalize(), _words(rng, 12)))
    out += ["{|", "! Name", "! Value", "! Notes"]
    for _ in range(4):
        out += ["|-", "| %s" % _title(rng, 1), "| %s" % _words(rng, 3), "| %s" % _words(rng, 6)]
    out.append("|}")
    out.append("== %s ==" % TEMPLATE_HEADINGS[2])
    # The ten links: support with anchor, support by slug, template pages,
    # template anchor, download section anchor, site-absolute, external,
    # file, image, and (on some pages) a broken one.
    links = [
        "[[support/Wendrel/Installing Wendrel#Details|Installing]]",
        "[[support/wendrel/whats_new]]",
        "[[faq|FAQ]]",
        "[[about#Getting Started|%s]]" % _words(rng, 2),
        "[[downloads#dl|%s]]" % _words(rng, 2),
        "[[/forum|Forum]]",
        "[[https://www.example.org/news#Latest News|%s]]" % _words(rng, 2),
        "[[License.txt|License]]",
        "[[File:screenshot.png|alt=%s]]" % _words(rng, 2),
        "[[support/Wendrel/Previous Versions/|%s]]" % _words(rng, 2),
    ]
    if broken:
        links[9] = "[[support/wendrel/no_such_page|%s]]" % _words(rng, 2)
        links.append("[[nosuchpage]]")
    for i in range(0, len(links), 3):
        out.append("%s %s." % (_words(rng, 7).capitalize(), " ".join(links[i:i + 3])))
    out.append("<dl>")
    out.append(";%s|%s" % (_title(rng, 1) + " term", _words(rng, 2)))
    out.append(_words(rng, 16))
    out.append("</dl>")
    out.append("== %s ==" % TEMPLATE_HEADINGS[3])
    for _ in range(3):
        out.append("%s ''%s'' %s." % (_words(rng, 20).capitalize(), _words(rng, 2), _words(rng, 14)))
    out.append("")
    if rtl:
        out.append("__RTL_END__")
    return out


# ---------------------------------------------------------------------------
# Shared files of the working folder

def csv_files(seed=DEFAULT_SEED, languages=LANGUAGES[:5]):
    """The three CSV files: quoted fields with commas and escapes, empty
    names, rows that the row condition skips."""
    rng = random.Random("%s:csv" % seed)
    donations = ["date,name,comment,amount"]
    for i in range(300):
        name = "" if i % 7 == 0 else _title(rng, 2)
        comment = _words(rng, rng.randrange(0, 12))
        if i % 5 == 0:
            comment = '"%s, \\"%s\\" %s"' % (comment, _words(rng, 1), _words(rng, 2))
        amount = "" if i % 31 == 0 else "%d.%02d" % (rng.randrange(1, 200), rng.randrange(100))
        donations.append("2016-%02d-%02d,%s,%s,%s" % (i % 12 + 1, i % 28 + 1, name, comment, amount))
    supported = ["Language,Translator,Version"]
    for code, name, _ in languages:
        supported.append('%s,"[[mailto:%s@example.org|%s]]",1.4.1' % (name, code, _title(rng, 2)))
    supported.append(",nobody,1.0")
    releases = ["link,type,machine_target,language,size"]
    for file_name, size in RELEASE_FILES[12:20]:
        releases.append("[[/%s|%s]],%s,%s,%s,%d KB" % (
            file_name, file_name, "Installer" if "Setup" in file_name else "Portable",
            "x64" if "x64" in file_name else "x86",
            "Multilingual" if "Multilingual" in file_name else "English", (size + 1023) // 1024))
    return {
        "donations.csv": ("\r\n".join(donations) + "\r\n").encode("utf-8"),
        "supported_languages.csv": ("\r\n".join(supported) + "\r\n").encode("utf-8"),
        "previous_stable_releases.csv": ("\r\n".join(releases) + "\r\n").encode("utf-8"),
    }


def previous_versions_text():
    lines = ["== Older releases ==", "<ul>"]
    for file_name, _ in RELEASE_FILES[12:20]:
        lines.append("* [[/%s|%s]] '''%s'''" % (file_name, file_name, file_name.split("-")[1]))
    lines += ["</ul>", "Changes are listed in [[/Changes.txt|Changes]]."]
    return ("\r\n".join(lines) + "\r\n").encode("utf-8")


# ---------------------------------------------------------------------------
# Whole site

def _text(lines):
    return ("\r\n".join(lines) + "\r\n").encode("utf-8")


def language_files(code, rtl, nodes, seed=DEFAULT_SEED):
    """(path, bytes) of one language source folder, paths relative to the
    working folder with '/' separators."""
    rng = random.Random("%s:%s:templates" % (seed, code))
    for i, template in enumerate(TEMPLATES):
        yield code + "/" + template, _text(template_page(rng, template, rtl, broken=i in (2, 4)))
    yield code + "/License.txt", b"Wendrel is free for private use.\r\n"
    yield code + "/screenshot.png", PNG
    yield code + "/paypal.donate.png", PNG
    if code == "es-es":
        yield code + "/sssmall2.gif", GIF
    rng = random.Random("%s:%s:support" % (seed, code))
    for serial, node in enumerate(nodes):
        yield (code + "/support/" + node.source_path() + ".txt",
               _text(support_page(rng, node, nodes, serial)))


def site_files(languages, pages, seed=DEFAULT_SEED):
    """Every (path, bytes) of a site with the first `languages` languages
    and `pages` support pages per language."""
    chosen = LANGUAGES[:languages]
    for code, name, rtl in chosen:
        yield code + ".txt", language_file(code, name, rtl)
    yield from csv_files(seed, chosen).items()
    yield "{{PREVIOUS_VERSIONS}}.txt", previous_versions_text()
    nodes = support_plan(pages, seed)
    for code, _, rtl in chosen:
        yield from language_files(code, rtl, nodes, seed)


def release_files():
    """(name, bytes) of the files the download tables expect in the output
    root, plus the root screenshot that all but es-es link to."""
    for name, size in RELEASE_FILES:
        yield name, b"\0" * size
    yield "sssmall2.gif", GIF
    yield "wendrel/version.ini", b"[Wendrel]\r\nVersion=1.4.1.877\r\n"


def write_files(root, files):
    """Writes (path, bytes) pairs below `root`; returns (count, bytes)."""
    count = total = 0
    made = set()
    for path, data in files:
        full = os.path.join(root, *path.split("/"))
        folder = os.path.dirname(full)
        if folder not in made:
            os.makedirs(folder, exist_ok=True)
            made.add(folder)
        with open(full, "wb") as f:
            f.write(data)
        count += 1
        total += len(data)
    return count, total


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("outdir")
    parser.add_argument("--size", choices=sorted(SIZES))
    parser.add_argument("--languages", type=int)
    parser.add_argument("--pages", type=int, help="support pages per language")
    parser.add_argument("--seed", type=int, default=DEFAULT_SEED)
    parser.add_argument("--release-files", action="store_true",
                        help="write the release files of the output root into OUTDIR instead")
    args = parser.parse_args(argv)

    if args.release_files:
        count, total = write_files(args.outdir, release_files())
    else:
        languages, pages = SIZES[args.size] if args.size else (5, 200)
        languages = args.languages or languages
        pages = args.pages if args.pages is not None else pages
        if not 1 <= languages <= len(LANGUAGES):
            parser.error("--languages must be 1 to %d" % len(LANGUAGES))
        count, total = write_files(args.outdir, site_files(languages, pages, args.seed))
    print("%s: %d files, %d bytes" % (args.outdir, count, total))
    return 0


if __name__ == "__main__":
    sys.exit(main())

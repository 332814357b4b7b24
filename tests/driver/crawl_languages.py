#!/usr/bin/env python3
"""Reads a built site as a search engine would, without the tool's own
records: every page's alternate and canonical links, the language switch,
the sitemaps and robots.txt. Prints each problem; exit status 1 if any.

usage: crawl_languages.py OUTPUT_FOLDER ADDRESS_ROOT DEFAULT_TAG"""
import html.parser
import os
import sys
import urllib.parse
import xml.etree.ElementTree as ET

SM = "{http://www.sitemaps.org/schemas/sitemap/0.9}"
XHTML = "{http://www.w3.org/1999/xhtml}"


class Head(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.canonical, self.alternates, self.switch = None, {}, []

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "link" and a.get("rel") == "canonical":
            self.canonical = a["href"]
        elif tag == "link" and a.get("rel") == "alternate" and "hreflang" in a:
            self.alternates[a["hreflang"]] = a["href"]
        elif tag == "a" and ("hreflang" in a or a.get("class") == "switchhome"):
            self.switch.append(a["href"])


def main(out, root, default_tag):
    problems = []

    def local(url):
        if not url.startswith(root):
            return None
        path = urllib.parse.unquote(url[len(root):])
        path = os.path.join(out, path.lstrip("/"))
        return os.path.join(path, "index.html") if path.endswith("/") else path

    pages = {}
    for folder, _, files in os.walk(out):
        if "index.html" in files:
            url = root + "/" + os.path.relpath(folder, out).replace(os.sep, "/") + "/"
            head = Head()
            with open(os.path.join(folder, "index.html"), encoding="utf-8") as f:
                head.feed(f.read())
            pages[url.replace("/./", "/")] = head
    for url, head in pages.items():
        links = list(head.alternates.values()) + head.switch + ([head.canonical] if head.canonical else [])
        problems += ["%s: %s leads nowhere" % (url, l) for l in links if not os.path.isfile(local(l) or "")]
        if not head.alternates:
            continue
        self_url = head.canonical or url
        if "x-default" not in head.alternates:
            problems.append("%s: no x-default" % url)
        elif default_tag in head.alternates and head.alternates["x-default"] != head.alternates[default_tag]:
            problems.append("%s: x-default is not the %s version" % (url, default_tag))
        if self_url not in head.alternates.values():
            problems.append("%s: its own address is not in its set" % url)
        for lang, member in head.alternates.items():
            other = pages.get(member)
            if lang != "x-default" and other and self_url not in other.alternates.values():
                problems.append("%s: %s %s does not link back" % (url, lang, member))

    index = ET.parse(os.path.join(out, "sitemap.xml")).getroot()
    if index.tag != SM + "sitemapindex":
        problems.append("sitemap.xml: not a sitemap index")
    for loc in index.iter(SM + "loc"):
        urlset = ET.parse(local(loc.text)).getroot()
        for entry in urlset.iter(SM + "url"):
            address = entry.find(SM + "loc").text
            head = pages.get(urllib.parse.unquote(address))
            listed = {l.get("hreflang"): urllib.parse.unquote(l.get("href")) for l in entry.iter(XHTML + "link")}
            if head is None:
                problems.append("%s: entry %s is no page" % (loc.text, address))
            elif listed != head.alternates:
                problems.append("%s: alternates of %s differ from the page's" % (loc.text, address))
    with open(os.path.join(out, "robots.txt"), encoding="utf-8") as f:
        if "Sitemap: %s/sitemap.xml" % root not in f.read():
            problems.append("robots.txt names no sitemap index")
    print("\n".join(problems + ["%d pages, %d problems" % (len(pages), len(problems))]))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))

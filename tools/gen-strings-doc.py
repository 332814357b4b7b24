#!/usr/bin/env python3
"""Writes docs/reference/strings.md from the string table in src/site/strings.cpp.

The ids and defaults come from the code, so the page cannot drift from it;
where each string appears is kept here, and the script refuses to run when
a string of the table has no entry (or an entry names a string that is gone).

Usage: tools/gen-strings-doc.py          rewrite the page
       tools/gen-strings-doc.py --check  exit 1 when the page is out of date
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
SOURCE = ROOT / "src/site/strings.cpp"
PAGE = ROOT / "docs/reference/strings.md"

# Where each string appears. "expanded" strings go through the placeholder
# and [[link]] rendering; the others are written exactly as given.
WHERE = {
    "HOME": "menu item 1 (label)",
    "DOWNLOADS": "menu item 2; title of the downloads page",
    "FAQ": "menu item 3; title of the FAQ page",
    "SUPPORT": "menu item 4",
    "FORUMS": "menu item 5",
    "DONATE": "menu item 6; title of the donate page",
    "CONTACT": "menu item 7; title of the contact page",
    "PRIVACY": "footer link text; title of the privacy page",
    "ERROR404": "title of the error page",
    "ABOUT": "footer link text; title of the about page",
    "LANGUAGE": "footer link text; title of the language page",
    "DONATED": "title of the donated (thank-you) page",
    "CONTACTOK": "title of the contact-ok page",
    "CONTACTERROR": "title of the contact-error page",
    "UPDATE": "title of the update page",
    "MAINTENANCE": "title of the maintenance page",
    "HOME_TEMPLATE": "template file of the home page (written as `index.html` of the language)",
    "DOWNLOADS_TEMPLATE": "template file; its name less the extension is the page's folder and URL; target of the Downloads menu item and of the download sections' anchors",
    "FAQ_TEMPLATE": "template file and page folder; target of the FAQ menu item",
    "DONATE_TEMPLATE": "template file and page folder; target of the Donate menu item",
    "ERROR404_TEMPLATE": "template file and page folder",
    "CONTACT_TEMPLATE": "template file and page folder; target of the Contact menu item",
    "PRIVACY_TEMPLATE": "template file and page folder; footer link target",
    "ABOUT_TEMPLATE": "template file and page folder; footer link target",
    "LANGUAGE_TEMPLATE": "template file and page folder; footer link target",
    "DONATED_TEMPLATE": "template file and page folder; the donation form's return address",
    "CONTACTOK_TEMPLATE": "template file and page folder; where the contact script sends the visitor after sending",
    "CONTACTERROR_TEMPLATE": "template file and page folder; where the contact script sends the visitor after a failure",
    "UPDATE_TEMPLATE": "template file and page folder",
    "MAINTENANCE_TEMPLATE": "template file and page folder",
    "SUPPORT_FOLDER": "name of the support source folder in the language folder, of its output folder, and the first segment of support links",
    "LICENSE_TEMPLATE": "nowhere (kept in the table; still warned when undefined)",
    "SUPPORT_URL": "target of the Support menu item and of the screenshot link (expanded as a link target)",
    "FORUMS_URL": "target of the Forums menu item; `{{FORUMS_URL}}` in it is replaced by `/forum`",
    "HOME_TITLE": "`<title>` of the home page",
    "TITLE_FORMAT": "`<title>` of every other page, `{{TITLE}}` replaced by the page's title string (support pages: the file name less its ordering prefix)",
    "DOWNLOAD_WENDREL_HEADER": "heading of `{{DOWNLOAD_WENDREL}}`, `{{VERSION}}` replaced by the current version (expanded)",
    "WENDREL_CHANGES": "1st link under the buttons of `{{DOWNLOAD_WENDREL}}`, `{{CHANGES}}` replaced by `/Changes.txt` (expanded)",
    "WENDREL_OLDER_VERSIONS": "3rd link of `{{DOWNLOAD_WENDREL}}` (expanded)",
    "WENDREL_LICENSE": "4th link of `{{DOWNLOAD_WENDREL}}` (expanded; `License.txt` is copied from the language folder)",
    "WENDREL_MD5": "nowhere (kept in the table; still warned when undefined)",
    "WENDREL_SHA256": "5th link of `{{DOWNLOAD_WENDREL}}`, `{{SHA256}}` replaced by the checksum file (expanded)",
    "WENDREL_SUPPORTED_LANGUAGES": "6th link of `{{DOWNLOAD_WENDREL}}`; first help link of `{{DOWNLOAD_WENDREL_LANGUAGE_PACK}}` (expanded)",
    "WENDREL_HELP": "7th link of `{{DOWNLOAD_WENDREL}}` (expanded)",
    "DOWNLOAD_WENDREL_BETA_HEADER": "nowhere (`{{DOWNLOAD_WENDREL_BETA}}` writes nothing; still warned when undefined)",
    "WENDREL_BETA_WHATS_NEW": "2nd link of `{{DOWNLOAD_WENDREL}}` (expanded)",
    "DOWNLOAD_INSTALLER": "1st button of `{{DOWNLOAD_WENDREL}}` (expanded)",
    "DOWNLOAD_INSTALLER_X64": "2nd button of `{{DOWNLOAD_WENDREL}}` (expanded)",
    "DOWNLOAD_PORTABLE_ZIP": "3rd button of `{{DOWNLOAD_WENDREL}}` (expanded)",
    "DOWNLOAD_PORTABLE_ZIP_X64": "4th button of `{{DOWNLOAD_WENDREL}}` (expanded)",
    "ALL_WENDREL_DOWNLOADS_HEADER": "heading of `{{DOWNLOAD_ALL_WENDREL}}` (expanded)",
    "INSTALLER": "type column of `{{DOWNLOAD_ALL_WENDREL}}`",
    "PORTABLE": "type column of `{{DOWNLOAD_ALL_WENDREL}}`",
    "MULTILINGUAL": "language column of the multilingual rows of `{{DOWNLOAD_ALL_WENDREL}}` (expanded)",
    "KB": "unit after every size in the download tables",
    "DOWNLOAD_WENDREL_LANGUAGE_PACK_HEADER": "heading of `{{DOWNLOAD_WENDREL_LANGUAGE_PACK}}` (expanded)",
    "WENDREL_LANGUAGE_PACK_HELP": "second help link of `{{DOWNLOAD_WENDREL_LANGUAGE_PACK}}` (expanded)",
    "DOWNLOAD_WENDREL_COMMAND_LINE_INTERFACE_HEADER": "heading of `{{DOWNLOAD_WENDREL_COMMAND_LINE_INTERFACE}}` (expanded)",
    "WENDREL_COMMAND_LINE_INTERFACE_HELP": "help link of `{{DOWNLOAD_WENDREL_COMMAND_LINE_INTERFACE}}` (expanded)",
    "DOWNLOAD_WENDREL_SDK_HEADER": "heading of `{{DOWNLOAD_WENDREL_SDK}}` (expanded)",
    "WENDREL_SDK_HELP": "help link of `{{DOWNLOAD_WENDREL_SDK}}` (expanded)",
    "COPYRIGHT": "copyright line of every page's footer, `{{YEAR}}` replaced by the year of the run (expanded)",
    "DONATE_FORM_NAME": "label of the name field of `{{DONATE_FORM}}`",
    "DONATE_FORM_COMMENT": "label of the comment field of `{{DONATE_FORM}}`",
    "DONATE_FORM_BUTTON_IMAGE": "button image of `{{DONATE_FORM}}`; a relative name is copied from the language folder",
    "DONATE_FORM_DONATE": "alt text of the button of `{{DONATE_FORM}}`",
    "DONATE_HISTORY": "first header cell (above the dates) of `{{DONATE_HISTORY}}`",
    "DONATE_HISTORY_NAME": "header cell of `{{DONATE_HISTORY}}`",
    "DONATE_HISTORY_COMMENT": "header cell of `{{DONATE_HISTORY}}`",
    "DONATE_HISTORY_AMOUNT": "header cell of `{{DONATE_HISTORY}}`",
    "CONTACT_FORM_MESSAGE": "label of the message field of `{{CONTACT_FORM}}`",
    "CONTACT_FORM_EMAIL": "label of the e-mail field of `{{CONTACT_FORM}}`",
    "CONTACT_FORM_SEND": "send button of `{{CONTACT_FORM}}`",
    "DOWNLOAD_WENDREL_OFFLINE_HELP": "heading of `{{DOWNLOAD_WENDREL_OFFLINE_HELP}}` (expanded)",
}

HEAD = """\
# The 74 strings

<!-- Generated by tools/gen-strings-doc.py from src/site/strings.cpp; edit the script, not this page. -->

A language file sets each string with a line `ID = "value"` (ids match
without regard to case). A string the file does not set keeps the default
below **and** is reported as `FILE: warning: undefined string ID`, so a
language file that wants a clean report sets all 74, even to the default
text. `tools/gen-strings-doc.py --language-file` prints a complete language
file at the defaults, with a comment per string, to start from.

Values are written into the pages as they are, without HTML escaping: `&copy;`
stays an entity and `<b>` stays a tag. A value cannot hold a double quote.

*Expanded* strings have one placeholder replaced (where the table says so)
and their `[[target|text]]` links turned into HTML links by the link rules of
[links.md](links.md); such a link that leads nowhere is reported as
`expand_url:0: warning: broken url ...`. The other strings are written as
given, so link markup in them stays visible text.

Link targets in the defaults name the support pages of the default site
(`support/wendrel/...`); a site whose support tree differs must set them.

| # | Id | Default | Where it appears |
|---:|---|---|---|
"""

FOOT = """
Special keys, not in the table and never warned as undefined, except as noted:

| Key | Effect |
|---|---|
| `_LANGUAGE_NAME` | the name shown by `{{LANGUAGES}}`; when missing: `FILE: error: _LANGUAGE_NAME not set` and the name `Unknown` |
| `_LANGUAGE_TEXT_DIRECTION` | `"RTL"` (any case) makes the language right-to-left: menu, footer and page frame are mirrored; see [markup.md](markup.md#right-to-left-text) for the content |
| `_LANGUAGE_ENGLISH_NAME`, `_LANGUAGE_TRANSLATOR`, `_LANGUAGE_TRANSLATOR_LINK` | accepted and ignored |

Any other key is reported as `FILE: warning: unknown string defined KEY`.
"""


def read_table():
    text = SOURCE.read_text(encoding="utf-8")
    body = text[text.index("kStringTable[kStringCount] = {"):]
    body = body[: body.index("};")]
    return re.findall(r'\{"([A-Z0-9_]+)", "((?:[^"\\]|\\.)*)"\}', body)


def cell(text):
    return text.replace("|", "\\|")


def page(table):
    rows = [f"| {i} | `{sid}` | `{cell(value)}` | {cell(WHERE[sid])} |" for i, (sid, value) in enumerate(table)]
    return HEAD + "\n".join(rows) + "\n" + FOOT


def main():
    table = read_table()
    ids = [sid for sid, _ in table]
    missing = [sid for sid in ids if sid not in WHERE]
    stale = [sid for sid in WHERE if sid not in ids]
    if len(table) != 74 or missing or stale:
        sys.exit(f"string table and script disagree: {len(table)} strings, "
                 f"undescribed {missing}, gone {stale}")
    if "--language-file" in sys.argv:
        # A complete language file at the defaults, one comment per string.
        print('_LANGUAGE_NAME = "English"')
        for sid, value in table:
            print(f"// {WHERE[sid]}\n{sid} = \"{value}\"")
        return
    text = page(table)
    if "--check" in sys.argv:
        if PAGE.read_text(encoding="utf-8") != text:
            sys.exit(f"{PAGE.relative_to(ROOT)} is out of date: run tools/gen-strings-doc.py")
        return
    PAGE.write_text(text, encoding="utf-8")


if __name__ == "__main__":
    main()

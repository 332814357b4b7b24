#!/bin/sh
# PO files on the example site and a generated one: export then import with
# no edits changes no byte; msgfmt --check and pofilter read every export;
# a file re-wrapped, re-sorted and holding an obsolete entry imports as the
# plain edit does; a file of an unknown language or that does not parse
# changes nothing; each seeded check is named with the PO file and line.
# Usage: po.sh TOOL SOURCE_DIR. Exit 77 (skipped) without gettext.
tool=$1 src=$2
command -v msgfmt >/dev/null || exit 77
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
snapshot() { find . -type f ! -name '*.po' -print0 | sort -z | xargs -0 cksum; }

roundtrip() {  # every language of the site in the working folder
  before=$(snapshot)
  for f in *.txt; do
    l=${f%.txt}; [ "$l" = en-us ] && continue; case $l in \{*) continue;; esac
    "$tool" --export-po "$l" "$work/$l.po" >/dev/null || fail "export $l"
    msgfmt --check -o /dev/null "$work/$l.po" || fail "msgfmt --check $l"
    if command -v pofilter >/dev/null; then
      rm -f "$work/$l.check.po"
      pofilter --progress=none -t escapes -t newlines -t tabs "$work/$l.po" "$work/$l.check.po" || fail "pofilter $l"
      [ ! -s "$work/$l.check.po" ] || [ "$(grep -c '^msgid' "$work/$l.check.po")" -le 1 ] || fail "pofilter: $l"
    fi
    "$tool" --import-po "$work/$l.po" >/dev/null || fail "import $l"
  done
  [ "$(snapshot)" = "$before" ] || fail "export then import changed a file in $1"
}

cp -r "$src/examples/site" "$work/site" && cd "$work/site" && roundtrip example
python3 "$src/bench/gen_site.py" --languages 4 --pages 40 "$work/gen" >/dev/null &&
  (cd "$work/gen" && work=$work/gen-po && mkdir "$work" && roundtrip generated) || exit 1

# An edit, then the same edit as a translation tool writes it back.
cd "$work/site"
sed -e '/^msgctxt "DOWNLOADS"$/,/^$/s/^msgstr .*/msgstr "Herunterladen"/' \
    -e '/^msgctxt "page:faq#2"$/,/^$/s/^msgstr .*/msgstr " Einrichtung "/' "$work/de-de.po" > "$work/edit.po"
printf '#~ msgctxt "OLD"\n#~ msgid "Old"\n#~ msgstr "Alt"\n' >> "$work/edit.po"
msgcat --sort-output -w 20 "$work/edit.po" -o "$work/tool.po"
cp -r "$work/site" "$work/site2"
"$tool" --import-po "$work/edit.po" | grep -q "imported 2 translation(s) into 2 file(s) of de-de" || fail "edit"
grep -q '^DOWNLOADS = "Herunterladen"' de-de.txt && grep -q '^= Einrichtung =' de-de/faq.txt || fail "edit not written"
(cd "$work/site2" && "$tool" --import-po "$work/tool.po" >/dev/null)
diff -r "$work/site" "$work/site2" >/dev/null || fail "a re-wrapped, re-sorted file imported otherwise"

# Refused: nothing changes.
before=$(snapshot)
sed 's/^"Language: de-de/"Language: xx-yy/' "$work/edit.po" > "$work/unknown.po"
"$tool" --import-po "$work/unknown.po" | grep -q "unknown.po: error: the header's Language: names no language of the site (xx-yy)" || fail unknown
printf 'msgid "a"\nmsgstr "b\n' > "$work/broken.po"
"$tool" --import-po "$work/broken.po" | grep -q "broken.po:2: error: cannot read the PO file" || fail broken
"$tool" --export-po de-de de-de/faq.txt | grep -q "refusing to write de-de/faq.txt over its source" || fail "export over a page"
"$tool" --status --html ru-ru.txt | grep -q "refusing to write ru-ru.txt over its source" || fail "status page over a source"
[ "$(snapshot)" = "$before" ] || fail "a refused file changed something"

# An entry given twice: the later wins (two edits of one place never overlap).
printf 'msgctxt "DOWNLOADS"\nmsgid "Downloads"\nmsgstr "Laden"\n' >> "$work/edit.po"
"$tool" --import-po "$work/edit.po" >/dev/null && grep -q '^DOWNLOADS = "Laden"' de-de.txt || fail "entry given twice"

# A string the language file lacks is added with the file's own line end.
sed -i '/^DONATE_HISTORY = /d' de-de.txt
"$tool" --import-po "$work/de-de.po" >/dev/null && tail -n 1 de-de.txt | grep -q '^DONATE_HISTORY = ".*"$' &&
  ! grep -q "$(printf '\r')" de-de.txt || fail "a missing string added with another line end"

# Seeded defects, one per check.
set_str() { sed -i "/^msgctxt \"$1\"\$/,/^\$/s/^msgstr .*/msgstr \"$2\"/" "$work/bad.po"; }
cp "$work/de-de.po" "$work/bad.po"
set_str DOWNLOAD_WENDREL_HEADER "Wendrel herunterladen"
set_str WENDREL_CHANGES "[[{{CHANGES}}|Neu]] {{YEAR}}"
set_str WENDREL_LICENSE "[[Lizenz.txt|Lizenz]]"
set_str CONTACT_FORM_EMAIL "<b>E-Mail<\/b>:"
set_str DONATE_HISTORY "'''Spenden"
set_str DONATE_HISTORY_NAME "Name "
set_str CONTACT "Kontaktaufnahme mit uns allen"
out=$("$tool" --import-po "$work/bad.po")
for m in "lacks {{VERSION}}" "adds {{YEAR}}" "links to Lizenz.txt, the source to License.txt" \
         "has HTML tags </b> <b>, the source (none)" "leaves bold ''' open" "leading or trailing blanks" \
         "is 29 characters long, more than the 20 allowed"; do
  echo "$out" | grep -q "^$work/bad.po:[0-9]*: warning: translation of .*$m" || fail "check not reported: $m"
done
[ "$(echo "$out" | grep -c warning)" = 7 ] || fail "other warnings: $out"
echo "po: all checks passed"

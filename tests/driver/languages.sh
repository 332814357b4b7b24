#!/usr/bin/env bash
# Links between languages on a generated 30-language site: with the keys on,
# the run reports nothing it does not report without them; a crawler over
# the built tree and xmllint find every set whole and every sitemap valid;
# each seeded fault is reported. usage: languages.sh MAKETARNWICK SOURCE_DIR
set -eu
bin=$(realpath "$1")
src=$(realpath "$2")
command -v xmllint >/dev/null || { echo "xmllint missing (tools/deps.sh installs it)"; exit 77; }
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
python3 "$src/bench/gen_site.py" "$t/site" --languages 30 --pages 20 >/dev/null
python3 "$src/bench/gen_site.py" "$t/plain" --release-files >/dev/null
cp -r "$t/plain" "$t/out"
cd "$t/site"
"$bin" "$t/plain" https://www.example.com >"$t/plain.txt"
printf 'ALTERNATE_LINKS = "on"\nSITEMAPS = "on"\nLANGUAGE_SWITCH = "on"\n' >maketarnwick.conf
"$bin" "$t/out" https://www.example.com >"$t/on.txt"
diff "$t/plain.txt" "$t/on.txt"
python3 "$src/tests/driver/crawl_languages.py" "$t/out" https://www.example.com en-US
(cd "$t/out" && xmllint --noout --schema "$src/tests/driver/sitemap.xsd" sitemap*.xml)

# Seeded faults, each with its message; the owner's robots.txt stays as it is.
echo "= Nur hier =" >"de-de/support/Nur hier.txt"
cp en-us.txt english.txt
cp -r en-us english
rm fr-fr/faq.txt
printf 'User-agent: *\n' >"$t/out/robots.txt"
"$bin" "$t/out" https://www.example.com >"$t/seeded.txt"
status=0
for line in "de-de: warning: support page Nur hier exists in this language only: it has no alternates" \
  "english.txt: warning: language code english has no BCP 47 tag, left out of alternates and sitemaps: add english=TAG to LANGUAGE_TAGS or name the file like pt-br.txt" \
  "kept the robots.txt of $t/out, which this tool did not write: add the line Sitemap: https://www.example.com/sitemap.xml to it" \
  "fr-fr: warning: $t/out/fr-fr/faq/index.html is left from an earlier build, no page of this one: remove it or build with --prune"; do
  grep -qxF "$line" "$t/seeded.txt" || { echo "missing: $line"; status=1; }
done
[ "$(cat "$t/out/robots.txt")" = "User-agent: *" ] || { echo "robots.txt replaced"; status=1; }
printf 'Sitemap: https://www.example.com/sitemap.xml\n' >>"$t/out/robots.txt"
"$bin" "$t/out" https://www.example.com | grep -q "kept the robots.txt" && { echo "note after the line was added"; status=1; }
! grep -q "rel=\"alternate\" hreflang" "$t/out/de-de/support/nur_hier/index.html" || { echo "a page of one language has alternates"; status=1; }

# A URL root that is no address: sitemaps say so, until SITE_HOME_URL stands in for it.
"$bin" "$t/rel" /site | grep -qxF 'warning: sitemap addresses must be absolute: give an absolute URL root, or set ABSOLUTE_ADDRESSES = "on" and SITE_HOME_URL' || { echo "no warning of relative sitemaps"; status=1; }
printf 'ABSOLUTE_ADDRESSES = "on"\nSITE_HOME_URL = "https://public.example"\n' >>maketarnwick.conf
"$bin" "$t/rel" /site | grep -q "sitemap addresses" && { echo "warned of absolute sitemaps"; status=1; }
grep -qF '<link rel="canonical" href="https://public.example/it-it/faq/" />' "$t/rel/it-it/faq/index.html" || { echo "canonical not absolute"; status=1; }
grep -qF '<loc>https://public.example/sitemap-it-IT.xml</loc>' "$t/rel/sitemap.xml" || { echo "index not absolute"; status=1; }
exit $status

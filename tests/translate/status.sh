#!/bin/sh
# --status on a generated 30-language site lists exactly what the test
# changed: every default-language text string and template changed once
# makes each of them stale in every language; blanks added at line ends and
# CR LF line ends make nothing stale; a support page removed from one
# language is missing there and a page added is an orphan.
# Usage: status.sh TOOL SOURCE_DIR
tool=$1 src=$2
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
python3 "$src/bench/gen_site.py" --languages 30 --pages 20 "$work/site" >/dev/null && cd "$work/site" || exit 1
summary() { "$tool" --status | tail -n 1; }
before=$(summary)
case $before in *" 0 missing, "*" 0 stale, 0 orphan") ;; *) fail "unexpected start: $before" ;; esac
for f in ??-??.txt; do "$tool" --accept "${f%.txt}" >/dev/null || fail "accept $f"; done
cp -r . "$work/saved"

# Blanks at line ends and CR LF: nothing is stale.
for f in en-us/*.txt; do sed -i 's/$/  \t\r/' "$f"; done
[ "$(summary)" = "$before" ] || fail "blank-only changes counted: $(summary)"

# Every text string (not the names of files and addresses) and every template once.
rm -rf ./* && cp -r "$work/saved/." .
sed -i -E '/^[A-Z0-9_]*(_TEMPLATE|SUPPORT_FOLDER|_URL|BUTTON_IMAGE) *=/!s/^([A-Z][A-Z0-9_]* *= *")/\1new /' en-us.txt
for f in en-us/*.txt; do echo "One more line." >> "$f"; done
texts=$(grep -cE '^[A-Z][A-Z0-9_]* *= *"new ' en-us.txt) templates=14
"$tool" --status --json > "$work/status.json"
python3 - "$work/status.json" "$((texts + templates))" <<'PY' || fail "stale items not exactly the changed ones"
import json, sys
status = json.load(open(sys.argv[1]))
want = int(sys.argv[2])
assert len(status["languages"]) == 29, len(status["languages"])
for lang in status["languages"]:
    stale = [i for i in lang["items"] if i["state"] == "stale"]
    other = [i for i in lang["items"] if i["state"] != "stale"]
    assert len(stale) == want and lang["stale"] == want, (lang["code"], len(stale), want)
    assert all(i["kind"] in ("string", "page") for i in stale), lang["code"]
    assert not other, (lang["code"], other[:3])
PY

# One support page missing in one language, one orphan in another.
rm -rf ./* && cp -r "$work/saved/." .
p=$(find de-de/support -name '*.txt' | sort | while read -r f; do [ -d "${f%.txt}" ] || { echo "$f"; break; }; done)
page=${p#de-de/support/} && rm "$p"  # a page without children
echo "=Extra=" > fr-fr/support/Extra.txt
out=$("$tool" --status)
echo "$out" | grep -q "^de-de: missing support page support/$page$" || fail "missing page not listed"
echo "$out" | grep -q "^fr-fr/support/Extra.txt: orphan support page support/Extra.txt$" || fail "orphan not listed"
case $(echo "$out" | tail -n 1) in *" 1 missing, "*", 0 stale, 1 orphan") ;; *) fail "other items: $(echo "$out" | tail -n 1)" ;; esac
echo "status: all checks passed"

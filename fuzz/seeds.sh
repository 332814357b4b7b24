#!/usr/bin/env bash
# Writes the seed inputs of one fuzz target into a folder, made at run time
# from the example site and the conversion examples of the markup tests (no
# corpus is kept in the repository).
#
# usage: fuzz/seeds.sh TARGET FOLDER   (TARGET: converter, language_file,
#        csv, links or slug)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
target=$1
out=$2
site="$root/examples/site"
mkdir -p "$out"

n=0
# seed FLAG [TEXT]: a seed of the flag byte (octal; none when empty) and
# TEXT, or standard input without TEXT. Never in a pipeline's subshell, so
# the count goes on.
seed() {
  n=$((n + 1))
  {
    [ -n "$1" ] && printf "\\$1"
    if [ $# -ge 2 ]; then printf '%s' "$2"; else cat; fi
  } >"$out/seed-$n"
}

# The page texts of the conversion examples: the lines of each "~~~ example"
# block up to its "." line. Prints one file per example into $1, named
# template-N or support-N after the example's flavour.
case_texts() {
  awk -v dir="$1" '
    /^~~~ example/ { n++; file = dir "/" ($0 ~ /support/ ? "support-" : "template-") n; inside = 1; printf "" > file; next }
    inside && /^\.$/ { inside = 0; close(file); next }
    inside { gsub(/→/, "\t"); print >> file }
  ' "$root"/tests/markup/cases/*.txt
}

case "$target" in
  converter)
    # Template pages plain (000) and with the side files present (036);
    # support pages with support options (001).
    for f in "$site"/*/*.txt; do
      seed 000 <"$f"
      seed 036 <"$f"
    done
    while IFS= read -r -d '' f; do seed 001 <"$f"; done < <(find "$site"/*/support -name '*.txt' -print0)
    tmp=$(mktemp -d)
    case_texts "$tmp"
    for f in "$tmp"/template-*; do seed 000 <"$f"; done
    for f in "$tmp"/support-*; do seed 001 <"$f"; done
    rm -rf "$tmp"
    ;;
  language_file)
    for f in "$site"/*.txt; do
      case "$(basename "$f")" in "{{"*) ;; *) seed "" <"$f" ;; esac
    done
    ;;
  csv)
    for f in "$site"/*.csv; do seed "" <"$f"; done
    ;;
  links)
    # Every link and image of the examples, as a string (002: files listed)
    # and, at the root build, its target alone (003).
    while IFS= read -r link; do
      seed 002 "$link"
      target_only=${link#\[\[}
      target_only=${target_only%\]\]}
      seed 003 "${target_only%%|*}"
    done < <(grep -rhoa '\[\[[^]]*\]\]' "$site" "$root"/tests/markup/cases | sort -u)
    ;;
  slug)
    # Support page names and heading lines.
    while IFS= read -r -d '' f; do
      name=$(basename "$f" .txt)
      seed "" "$name"$'\n'"=$name="$'\n'
    done < <(find "$site"/*/support -name '*.txt' -print0)
    while IFS= read -r line; do seed "" "${line#=}"; done < <(grep -rha '^=' "$site" | sort -u)
    ;;
  *)
    echo "unknown fuzz target: $target" >&2
    exit 2
    ;;
esac

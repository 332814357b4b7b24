#!/usr/bin/env bash
# Messages that name paths, as Windows shows them: runs of maketarnwick.exe
# under wine on a site made to hit them (sources that cannot be opened or
# leave the site, the shared page text including itself, a missing table,
# output paths blocked by a file and a folder, a copy with no source, support
# pages of one address and folders in two letter cases, a stale page,
# --prune keeping changed and unrecorded files, --changes files over a
# source or in no folder, PO files, --status, --init, paths given with '/'),
# compared byte for byte with tests/golden/windows_messages.out. A path
# shows '\' between its parts; URLs, page names and translators' item names
# keep '/'. Sourced by tools/windows.sh (which defines pass, fail and
# $work); run alone it expects both builds of tools/windows.sh there.
# MT_UPDATE_GOLDEN=1 rewrites the golden file; MT_MESSAGES_TOOL runs another
# tool instead of the .exe.
set -euo pipefail

check_path_messages() {
  local site=$work/messages/site out=$work/messages/out log=$work/messages/log
  local golden=$root/tests/golden/windows_messages.out
  rm -rf "$work/messages" && mkdir -p "$site" "$out"
  echo "secret-5f3a9c" >"$work/messages/secret.key"
  cp -r examples/site/. "$site"
  rm -rf "$site"/ar-sa* "$site"/ru-ru*
  printf 'ALTERNATE_LINKS = "on"\nSITEMAPS = "on"\n' >>"$site/maketarnwick.conf"
  examples/release-files.sh "$out" >/dev/null
  # A template that is a folder, one outside the site, a copy with no source.
  mv "$site/en-us/faq.txt" "$work/messages/faq.txt" && mkdir "$site/en-us/faq.txt"
  mv "$site/en-us/about.txt" "$work/messages/about.txt"
  ln -s ../../secret.key "$site/en-us/about.txt"
  local wendrel="$site/en-us/support/01 Wendrel"
  printf '=Copies=\n[[files/none.zip]]\n' >"$wendrel/09 Copies.txt"
  # The shared page text including itself, a table missing, two support
  # pages of one address, support folders differing in letter case only.
  echo '{{PREVIOUS_VERSIONS}}' >>"$site/{{PREVIOUS_VERSIONS}}.txt"
  mv "$site/donations.csv" "$work/messages/"
  printf '=Glossary too=\n' >"$wendrel/Glossary!.txt"
  mkdir -p "$wendrel/03 OPTIONS"
  printf '=Upper=\n' >"$wendrel/03 OPTIONS/Upper.txt"
  # Output paths taken by a file and a folder.
  mkdir -p "$out/de-de" "$out/en-us/index.html"
  echo taken >"$out/de-de/faq"
  : >"$log"
  # A run at a time: "$ ARGS" then what it printed, line ends as Linux's.
  run_messages() {
    printf '$ %s\n' "$*" >>"$log"
    (cd "$site" && ${MT_MESSAGES_TOOL:-wine "$root/build/windows/maketarnwick.exe"} "$@") | tr -d '\r' >>"$log" || true
  }
  run_messages --pedantic '..\out' http://example.test
  # Sources and output mended, a --prune run records what it wrote.
  rm -r "$site/en-us/faq.txt" "$site/en-us/about.txt" "$out/de-de/faq" "$out/en-us/index.html"
  mv "$work/messages/faq.txt" "$work/messages/about.txt" "$site/en-us/"
  mv "$work/messages/donations.csv" "$site/"
  cp "examples/site/{{PREVIOUS_VERSIONS}}.txt" "$site/"
  printf '=Copies=\n' >"$wendrel/09 Copies.txt"
  run_messages --prune --changes '..\changes.txt' '..\out' http://example.test
  # A page gone whose file changed since, one file the manifest
  # names without a record, a page file no language has now.
  rm "$wendrel/09 Copies.txt" "$site/de-de/faq.txt"
  echo edited >>"$out/en-us/support/wendrel/copies/index.html"
  echo extra >"$out/de-de/extra.html"
  printf 'de-de/extra.html\n' >>"$out/.maketarnwick-manifest"
  run_messages --prune '..\out' http://example.test
  run_messages --changes 'en-us\list' '..\out' http://example.test
  run_messages --changes '..\no\such\list' '..\out' http://example.test
  run_messages --export-po de-de '..\de.po'
  run_messages --import-po '..\none.po'
  run_messages --status --html '..\status.html'
  run_messages --init '..\no\such\site'
  # Paths given with '/', on the command line and in the configuration.
  echo 'RELEASE_FOLDER = "release/none"' >>"$site/maketarnwick.conf"
  run_messages --changes ../no/list ../out http://example.test
  if [ -n "${MT_UPDATE_GOLDEN:-}" ]; then cp "$log" "$golden"; fi
  if diff "$golden" "$log" >"$work/messages/diff"; then
    pass "Windows messages with paths as tests/golden/windows_messages.out ($(wc -l <"$log") lines)"
  else
    fail "Windows messages differ from tests/golden/windows_messages.out:"; head -n 20 "$work/messages/diff"
  fi
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  cd "$(dirname "$0")/.."
  root=$PWD work=$root/build/windows-sites
  export WINEPREFIX=$root/build/wineprefix WINEDEBUG=-all
  status=0
  pass() { echo "ok: $*"; }
  fail() { echo "FAILED: $*"; status=1; }
  check_path_messages
  exit "$status"
fi

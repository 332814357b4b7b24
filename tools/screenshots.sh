#!/usr/bin/env bash
# Takes screenshots of the example site in headless Chromium: the home page,
# the downloads page and a support page, in a left-to-right language (en-us)
# and in the first right-to-left language of the example.
#
# usage: tools/screenshots.sh [--docs] [OUTDIR]
#   OUTDIR  where the PNGs go (default build/screenshots)
#   --docs  also refresh the two pictures the README shows, in docs/
# MAKETARNWICK=path uses that binary instead of building build/e2e.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

docs=0
if [ "${1:-}" = "--docs" ]; then
  docs=1
  shift
fi
outdir=$(realpath -m "${1:-build/screenshots}")

. tools/deps.sh
need_packages "${BUILD_PACKAGES[@]}" chromium php-cli fonts-dejavu-core

if [ -z "${MAKETARNWICK:-}" ]; then
  cmake -S . -B build/e2e -G Ninja -DCMAKE_BUILD_TYPE=Release -DMT_TESTS=OFF >/dev/null
  cmake --build build/e2e --target maketarnwick -j 2
  MAKETARNWICK=$repo/build/e2e/maketarnwick
fi

work=$(mktemp -d)
server=""
cleanup() {
  if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

port=$(node -e 'const s=require("net").createServer().listen(0,"127.0.0.1",()=>{console.log(s.address().port);s.close();})')
root="http://127.0.0.1:$port"
site=$work/site
mkdir -p "$site" "$outdir"
examples/release-files.sh "$site" >/dev/null
(cd examples/site && "$MAKETARNWICK" "$site" "$root" | tail -n 1)

php -S "127.0.0.1:$port" -t "$site" tests/e2e/router.php >"$work/php.log" 2>&1 &
server=$!
for _ in $(seq 100); do
  if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then break; fi
  sleep 0.1
done

rtl=$(grep -lis '^[[:space:]]*_LANGUAGE_TEXT_DIRECTION[[:space:]]*=[[:space:]]*"rtl"' examples/site/*.txt | head -n 1)
rtl=$(basename "${rtl:?the example has no right-to-left language}" .txt | tr 'A-Z' 'a-z')

# The target of the Support menu item (the fourth) on the language's home page.
support_url() {
  grep -o '<div class="[a-z]*menuitem"><a href="[^"]*"' "$site/$1/index.html" | sed -n 4p | sed 's/.*href="//; s/"$//'
}

shoot() {
  local name=$1 url=$2
  timeout 60 chromium --headless --no-sandbox --disable-gpu --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --hide-scrollbars --user-data-dir="$work/profile" --window-size=1200,900 \
    --screenshot="$outdir/$name.png" "$url" >/dev/null 2>&1
  echo "$outdir/$name.png  <- $url"
}

for code in en-us "$rtl"; do
  shoot "home-$code" "$root/$code/"
  shoot "downloads-$code" "$root/$code/downloads"
  shoot "support-$code" "$(support_url "$code")"
done

if [ "$docs" = 1 ]; then
  cp "$outdir/home-en-us.png" docs/screenshot-home-ltr.png
  cp "$outdir/home-$rtl.png" docs/screenshot-home-rtl.png
  echo "updated docs/screenshot-home-ltr.png and docs/screenshot-home-rtl.png"
fi

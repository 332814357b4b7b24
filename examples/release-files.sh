#!/bin/sh
# Puts placeholder release files and the static files of the site root into
# OUTDIR, the output folder of the example build. The download tables read
# the release files' sizes from there, and the pages link the static files
# (logo, icons, feed, screenshot) at the URL root; the site tool writes
# neither. Each release file gets its own small size so the size column
# shows different values.
#
# usage: release-files.sh OUTDIR
set -eu

if [ "$#" -ne 1 ]; then
	echo "usage: $0 OUTDIR" >&2
	exit 2
fi
out=$1
assets=$(cd "$(dirname "$0")/assets" && pwd)

mkdir -p "$out/wendrel"

# name and size in bytes, one per line
release_files='
Wendrel-1.4.1.877.x86.en-US-Setup.exe 1843200
Wendrel-1.4.1.877.x64.en-US-Setup.exe 1966080
Wendrel-1.4.1.877.x86-Setup.exe 2457600
Wendrel-1.4.1.877.x64-Setup.exe 2580480
Wendrel-1.4.1.877.x86.msi 2703360
Wendrel-1.4.1.877.x64.msi 2826240
Wendrel-1.4.1.877.x86.en-US.zip 1024000
Wendrel-1.4.1.877.x64.en-US.zip 1126400
Wendrel-1.4.1.877.ARM.en-US.zip 1077248
Wendrel-1.4.1.877.x86.zip 1536000
Wendrel-1.4.1.877.x64.zip 1638400
Wendrel-1.4.1.877.ARM.zip 1587200
Wendrel-1.3.4.686.x86-Setup.exe 1331200
Wendrel-1.3.4.686.x64-Setup.exe 1433600
Wendrel-1.3.4.686.x86.Multilingual-Setup.exe 1740800
Wendrel-1.3.4.686.x64.Multilingual-Setup.exe 1843201
Wendrel-1.3.4.686.x86.zip 921600
Wendrel-1.3.4.686.x64.zip 1000
Wendrel-1.3.4.686.x86.Multilingual.zip 1228800
Wendrel-1.3.4.686.x64.Multilingual.zip 0
Wendrel.lng.zip 512000
Wendrel-SDK.zip 307200
Wendrel.chm.zip 716800
WCL-1.1.0.8.zip 204800
'

echo "$release_files" | while read -r name size; do
	[ -n "$name" ] || continue
	head -c "$size" /dev/zero >"$out/$name"
done

for image in tarnwick9.png sssmall2.gif searchicon.png cli.png e2.png e2-1.3.png \
	h.png c.png cl.png dot.png; do
	cp "$assets/$image" "$out/$image"
done

cat >"$out/rss.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<rss version="2.0">
<channel>
<title>tarnwick</title>
<link>https://www.tarnwick.example/</link>
<description>Wendrel releases</description>
<item>
<title>Wendrel 1.4.1.877</title>
<link>https://www.tarnwick.example/downloads</link>
<description>Search inside archives, new filter options.</description>
</item>
</channel>
</rss>
EOF

cat >"$out/Changes.txt" <<'EOF'
Wendrel 1.4.1.877
- Searches inside zip archives.
- New filter options: size, date and attributes.
- 64-bit installer and portable zip for ARM.

Wendrel 1.3.4.686
- First multilingual release.
- Keyboard shortcuts can be changed.
EOF

# Checksums of the placeholders above, in the usual "<hash>  <name>" form.
sums=$(cd "$out" && sha256sum Wendrel-1.4.1.877.*.exe Wendrel-1.4.1.877.*.msi Wendrel-1.4.1.877.*.zip)
echo "$sums" >"$out/Wendrel-1.4.1.877.sha256"

cat >"$out/wendrel/version.ini" <<'EOF'
[Wendrel]
Version=1.4.1.877
EOF

echo "release files written to $out"

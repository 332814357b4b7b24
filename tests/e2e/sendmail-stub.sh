#!/bin/sh
# Stands in for sendmail: stores each mail that PHP's mail() pipes in as a
# file of its own in the folder given as the first argument.
set -eu
dir=$1
mkdir -p "$dir"
tmp=$(mktemp "$dir/mail-XXXXXX")
cat >"$tmp"
mv "$tmp" "$tmp.eml"

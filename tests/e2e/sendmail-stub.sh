#!/bin/sh
# Stands in for sendmail: stores each mail that PHP's mail() pipes in as a file of its own in the
# folder given as the first argument; without that folder it fails, as a broken transport does.
set -eu
cat >"$(mktemp "$1/mail-XXXXXX")"

#!/usr/bin/env bash
# make_archive.sh ZIP TIME README FILE...: packs the files, README.txt and SHA256SUMS
# into ZIP. Reproducible: fixed names, order, modes and times, and no extra fields.
set -euo pipefail
archive=$1 stamp=$2 readme=$3
shift 3
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$@" "$stage/"
cp "$readme" "$stage/README.txt"
cd "$stage"
names=$(LC_ALL=C ls | LC_ALL=C sort)
# shellcheck disable=SC2086 # the names hold no spaces
sha256sum $names >SHA256SUMS
chmod 644 ./*
touch -d "$stamp" ./*
rm -f "$archive"
mkdir -p "$(dirname "$archive")"
printf '%s\n' $names SHA256SUMS | TZ=UTC zip -X -D -q "$archive" -@

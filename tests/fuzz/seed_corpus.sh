#!/usr/bin/env bash
# Fills a fuzz target's corpus folder with starting inputs:
#   seed_corpus.sh TARGET CORPUS_DIR SHARED_DIR BUILD_DIR
# The kept regression inputs always join; each target adds real files.
set -euo pipefail
target=$1 corpus=$2 shared=$3 build=$4
here=$(cd "$(dirname "$0")" && pwd)

if [ -d "$here/regressions/$target" ]; then
    find "$here/regressions/$target" -type f ! -name '.*' -exec cp -n {} "$corpus/" \;
fi

case "$target" in
decode)
    # A control byte (bit 7: seek to frame bits 0..6) and then a real stream;
    # the larger streams are cut so each run stays short.
    for f in "$shared"/vectors/*.bit; do
        name=$(basename "$f" .bit)
        { printf '\x00'; head -c 16384 "$f"; } > "$corpus/$name"
        { printf '\x83'; head -c 16384 "$f"; } > "$corpus/$name-seek3"
    done
    ;;
esac

#!/usr/bin/env bash
# Fills a fuzz target's corpus folder with starting inputs:
#   seed_corpus.sh TARGET CORPUS_DIR SHARED_DIR BUILD_DIR
# The kept regression inputs always join; each target adds real files.
set -euo pipefail
target=$1 corpus=$2 shared=$3 build=$4
here=$(cd "$(dirname "$0")" && pwd)

# The kept regression inputs always join, and the corpus a campaign grew
# (minimised with -merge=1), so that short runs start where it ended.
for kept in "$here/regressions/$target" "$here/corpus/$target"; do
    if [ -d "$kept" ]; then
        find "$kept" -type f ! -name '.*' -exec cp -n {} "$corpus/" \;
    fi
done

case "$target" in
decode)
    # A control byte (bit 7: seek to frame bits 0..6) and then a real stream;
    # the larger streams are cut so each run stays short.
    for f in "$shared"/vectors/*.bit; do
        name=$(basename "$f" .bit)
        { printf '\x00'; head -c 4096 "$f"; } > "$corpus/$name"
        { printf '\x83'; head -c 4096 "$f"; } > "$corpus/$name-seek3"
    done
    ;;
decode_memory)
    # Two control bytes (bit 7: seek before the run / after its third frame,
    # to frame bits 0..6), then a real stream.
    for f in "$shared"/vectors/*.bit; do
        name=$(basename "$f" .bit)
        { printf '\x00\x00'; head -c 8192 "$f"; } > "$corpus/$name"
        { printf '\x85\x81'; head -c 8192 "$f"; } > "$corpus/$name-seeks"
    done
    ;;
mp3info)
    # A name length, a name, then a song's last bytes with its tag.
    tag_file=$(mktemp)
    { head -c 300 "$shared/vectors/l3-si.bit"; printf 'TAG'; printf '%-30s' "A Title" "An Artist" "An Album";
      printf '1999'; printf '%-28s' "Comment"; printf '\x00\x05\x11'; } > "$tag_file"
    name="/Music/The Band/(The Band) Song Title - The Album.mp3"
    { printf "\\x$(printf %02x ${#name})"; printf '%s' "$name"; cat "$tag_file"; } > "$corpus/tagged"
    # An ID3v2.3 tag with one title frame in front of the audio.
    name="/Music/lib/01 - River Song.mp3"
    { printf "\\x$(printf %02x ${#name})"; printf '%s' "$name";
      printf 'ID3\x03\x00\x00\x00\x00\x00\x17TIT2\x00\x00\x00\x0d\x00\x00\x00River Song!!';
      head -c 500 "$shared/vectors/l3-si.bit"; } > "$corpus/id3v2"
    name="/Music/Artist - Album - 05 - Title.MP3"
    { printf "\\x$(printf %02x ${#name})"; printf '%s' "$name"; head -c 500 "$shared/vectors/l3-si.bit"; } > "$corpus/untagged"
    rm -f "$tag_file"
    ;;
skin_polygon)
    # Offsets (4, 23) as two little-endian words, then outline texts.
    offsets='\x04\x00\x00\x00\x17\x00\x00\x00'
    { printf "$offsets"; printf '0,0\n400,0\n400,300\n0,300\n'; } > "$corpus/rectangle"
    { printf "$offsets"; printf '10 10, 200 5 390 20\r\n395,290 200,310 5,290 -3.5 +7\n'; } > "$corpus/shape"
    if [ -d "$build/../assets/skin" ]; then
        for f in "$build"/../assets/skin/*.txt; do
            [ -f "$f" ] && { printf "$offsets"; cat "$f"; } > "$corpus/$(basename "$f")"
        done
    fi
    ;;
esac

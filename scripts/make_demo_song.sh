#!/usr/bin/env bash
# Makes Songwell's demo song: a short stereo tune (a few notes of a major
# chord with a soft noise bed) encoded to MP3, with an ID3v1 tag.
#
# usage: scripts/make_demo_song.sh OUT.mp3 [SECONDS]
set -euo pipefail

out=${1:?usage: make_demo_song.sh OUT.mp3 [SECONDS]}
seconds=${2:-12}
for tool in sox lame; do
    command -v "$tool" >/dev/null || { echo "make_demo_song: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Four chord tones in turn, each a quarter of the song, over pink noise.
part=$(awk "BEGIN { printf \"%.3f\", $seconds / 4 }")
notes=()
for freq in 262 330 392 523; do
    sox -V1 -n -r 44100 -c 2 -b 16 "$work/$freq.wav" synth "$part" pluck "$freq" pluck "$((freq * 3 / 2))" \
        fade q 0.02 "$part" 0.3 vol 0.5
    notes+=("$work/$freq.wav")
done
sox -V1 "${notes[@]}" "$work/tune.wav"
sox -V1 -n -r 44100 -c 2 -b 16 "$work/bed.wav" synth "$seconds" pinknoise vol 0.03
sox -V1 -m "$work/tune.wav" "$work/bed.wav" "$work/demo.wav" trim 0 "$seconds"
mkdir -p "$(dirname "$out")"
lame --quiet -b 128 --tt "Demo song" --ta "Songwell" --tl "Songwell" --ty 2026 \
    "$work/demo.wav" "$out"

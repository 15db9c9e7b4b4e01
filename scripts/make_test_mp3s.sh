#!/usr/bin/env bash
# Makes short MPEG audio files with real encoders for the conversion tests:
# Layer III from lame (constant and variable bitrate, joint stereo, single
# channel, dual channel, with CRC, 32/44.1/48 kHz and the lower rates 16/22.05/24
# kHz, and castanet-like clicks that keep the encoder in short blocks), Layer II
# from twolame (the same channel modes, with CRC, all six rates), and one file
# whose frames change from Layer II to Layer III and back.
#
# usage: scripts/make_test_mp3s.sh OUTDIR
set -euo pipefail

out=${1:?usage: make_test_mp3s.sh OUTDIR}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for tool in sox lame twolame; do
    command -v "$tool" >/dev/null || { echo "make_test_mp3s: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done

seconds=2

# Music-like source: a sweep on the left, pink noise on the right, so the
# channels differ and the encoder uses its stereo tools.
music() { # RATE FILE
    sox -V1 -n -r "$1" -c 2 -b 16 "$2" synth "$seconds" sine 200-4000 pinknoise vol 0.4
}

# Castanet-like source: 4 ms noise bursts every 25 ms, sharp attacks that
# keep the encoder in short blocks (about 85% of granules), with a quiet tone
# under them.
clicks() { # RATE FILE
    sox -V1 -n -r "$1" -c 2 -b 16 "$work/burst-$1.wav" synth 0.004 whitenoise vol 0.9 pad 0 0.021
    sox -V1 "$work/burst-$1.wav" "$work/bursts-$1.wav" repeat $((seconds * 40 - 1))
    sox -V1 -n -r "$1" -c 2 -b 16 "$work/tone-$1.wav" synth "$seconds" sine 330 vol 0.05
    sox -V1 -m "$work/bursts-$1.wav" "$work/tone-$1.wav" "$2"
}

for rate in 16000 22050 24000 32000 44100 48000; do
    music "$rate" "$work/music-$rate.wav"
    clicks "$rate" "$work/clicks-$rate.wav"
done

l3() { # NAME SOURCE LAME-OPTIONS...
    local name=$1 source=$2
    shift 2
    lame --quiet "$@" "$work/$source.wav" "$out/$name.mp3"
}

l2() { # NAME SOURCE TWOLAME-OPTIONS...
    local name=$1 source=$2
    shift 2
    twolame --quiet "$@" "$work/$source.wav" "$out/$name.mp2"
}

l3 l3-cbr128-joint-44k music-44100 -b 128 -m j
l3 l3-cbr192-stereo-48k music-48000 -b 192 -m s
l3 l3-cbr64-mono-32k music-32000 -b 64 -m m
l3 l3-cbr256-dual-44k music-44100 -b 256 -m d
l3 l3-vbr2-joint-44k music-44100 -V 2 -m j
l3 l3-vbr5-mono-48k music-48000 -V 5 -m m
l3 l3-crc160-joint-44k music-44100 -b 160 -m j -p
l3 l3-crc96-mono-32k music-32000 -b 96 -m m -p
l3 l3-lsf64-joint-24k music-24000 -b 64 -m j
l3 l3-lsf32-mono-22k music-22050 -b 32 -m m
l3 l3-lsf-vbr4-stereo-16k music-16000 -V 4 -m s
l3 l3-lsf-crc48-joint-22k music-22050 -b 48 -m j -p
l3 l3-clicks128-joint-44k clicks-44100 -b 128 -m j
l3 l3-clicks-vbr3-stereo-48k clicks-48000 -V 3 -m s
l3 l3-clicks64-joint-24k clicks-24000 -b 64 -m j

l2 l2-192-stereo-44k music-44100 -b 192 -m s
l2 l2-160-joint-48k music-48000 -b 160 -m j
l2 l2-96-mono-32k music-32000 -b 96 -m m
l2 l2-256-dual-48k music-48000 -b 256 -m d
l2 l2-crc192-stereo-44k music-44100 -b 192 -m s -p
l2 l2-lsf64-joint-24k music-24000 -b 64 -m j
l2 l2-lsf48-stereo-22k music-22050 -b 48 -m s
l2 l2-lsf32-mono-16k music-16000 -b 32 -m m -p
l2 l2-clicks192-stereo-44k clicks-44100 -b 192 -m s

# Layer II, then Layer III, then Layer II again, all 44.1 kHz stereo. Without
# lame's info frame every Layer III frame carries audio; with no bit
# reservoir every frame decodes on its own, right after the switch.
twolame --quiet -b 192 -m s "$work/music-44100.wav" "$out/part-l2.mp2"
lame --quiet -t --nores -b 192 -m s "$work/music-44100.wav" "$out/part-l3.mp3.bin"
cat "$out/part-l2.mp2" "$out/part-l3.mp3.bin" "$out/part-l2.mp2" >"$out/mixed-layers.bin"
rm "$out/part-l2.mp2"
mv "$out/part-l3.mp3.bin" "$out/part-l3.bin"
twolame --quiet -b 192 -m s "$work/music-44100.wav" "$out/part-l2.bin"

#!/usr/bin/env bash
# Makes short MPEG audio files with real encoders for the conversion tests:
# Layer III from lame (constant bitrate, every variable-bitrate quality, average
# bitrate, joint stereo, single channel, dual channel, with CRC, without the
# info frame, with ID3v1 and ID3v2 tags, 32/44.1/48 kHz, the lower rates
# 16/22.05/24 kHz and the lowest 8/11.025/12 kHz, free format, and
# castanet-like clicks that keep the encoder in short blocks), Layer II from
# twolame (the same channel modes, with CRC, all six rates), files whose frames
# change from Layer II to Layer III and back or from stereo to single channel,
# and in long/ four 30-second songs for the seek tests.
#
# usage: scripts/make_test_mp3s.sh OUTDIR
set -euo pipefail

dest=${1:?usage: make_test_mp3s.sh OUTDIR}
mkdir -p "$dest/long"
work=$(mktemp -d)
# Made beside the folder, then renamed into it one file at a time: a test
# reading the folder while another run remakes it sees whole files. With
# sox's repeatable noise (-R) every run makes the same bytes.
out=$(mktemp -d "$dest/.making-XXXXXX")
trap 'rm -rf "$work" "$out"' EXIT

for tool in sox lame twolame; do
    command -v "$tool" >/dev/null || { echo "make_test_mp3s: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done

seconds=2
long_seconds=30

# Music-like source: a sweep on the left, pink noise on the right, so the
# channels differ and the encoder uses its stereo tools.
music() { # RATE FILE [SECONDS]
    sox -R -V1 -n -r "$1" -c 2 -b 16 "$2" synth "${3:-$seconds}" sine 200-4000 pinknoise vol 0.4
}

# Castanet-like source: 4 ms noise bursts every 25 ms, sharp attacks that
# keep the encoder in short blocks (about 85% of granules), with a quiet tone
# under them.
clicks() { # RATE FILE
    sox -R -V1 -n -r "$1" -c 2 -b 16 "$work/burst-$1.wav" synth 0.004 whitenoise vol 0.9 pad 0 0.021
    sox -R -V1 "$work/burst-$1.wav" "$work/bursts-$1.wav" repeat $((seconds * 40 - 1))
    sox -R -V1 -n -r "$1" -c 2 -b 16 "$work/tone-$1.wav" synth "$seconds" sine 330 vol 0.05
    sox -R -V1 -m "$work/bursts-$1.wav" "$work/tone-$1.wav" "$2"
}

for rate in 16000 22050 24000 32000 44100 48000; do
    music "$rate" "$work/music-$rate.wav"
    clicks "$rate" "$work/clicks-$rate.wav"
done
for rate in 8000 11025 12000; do
    music "$rate" "$work/music-$rate.wav"
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
# Every quality; from -V 7 on lame also lowers the rate (32, 24 and 22.05 kHz
# for -V 7, 8 and 9), so the names give the source's rate.
for q in 0 1 2 3 4 5 6 7 8 9; do
    l3 "l3-vbr$q-joint-44k" music-44100 -V "$q" -m j
done
l3 l3-abr128-joint-44k music-44100 --abr 128 -m j
l3 l3-noinfo128-joint-44k music-44100 -b 128 -m j -t
l3 l3-id3v1-joint-44k music-44100 -b 128 -m j --id3v1-only --tt x
l3 l3-id3v2-joint-44k music-44100 -b 128 -m j --id3v2-only --tt x
l3 l3-id3both-joint-44k music-44100 -b 128 -m j --add-id3v2 --tt x
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
# MPEG 2.5; at 8 kHz and 16 kbit/s a frame is too small for lame's info frame.
l3 l3-mpeg25-16-joint-8k music-8000 -b 16 -m j
l3 l3-mpeg25-vbr5-mono-11k music-11025 -V 5 -m m
l3 l3-mpeg25-32-stereo-12k music-12000 -b 32 -m s
# Free format: bitrate index 0 in every header, the info frame's too.
l3 l3-free400-stereo-44k music-44100 --freeformat -b 400 -m s

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

# Stereo, then single channel, and the other way round, both 44.1 kHz and
# built as the layer change above: each part decodes on its own.
lame --quiet -t --nores -b 128 -m s "$work/music-44100.wav" "$out/part-stereo.bin"
lame --quiet -t --nores -b 64 -m m "$work/music-44100.wav" "$out/part-mono.bin"
cat "$out/part-stereo.bin" "$out/part-mono.bin" >"$out/mode-change-stereo-first.bin"
cat "$out/part-mono.bin" "$out/part-stereo.bin" >"$out/mode-change-mono-first.bin"

# Songs long enough to seek in, kept apart from the short files above.
mkdir "$out/long"
music 44100 "$work/long-44100.wav" "$long_seconds"
music 48000 "$work/long-48000.wav" "$long_seconds"
lame --quiet -b 128 -m j "$work/long-44100.wav" "$out/long/cbr128-44k.mp3"
lame --quiet -V 2 -m j "$work/long-44100.wav" "$out/long/vbr2-44k.mp3"
lame --quiet -b 192 -m j "$work/long-48000.wav" "$out/long/cbr192-48k.mp3"
twolame --quiet -b 192 -m s "$work/long-44100.wav" "$out/long/l2-192-44k.mp2"

for made in "$out"/* "$out"/long/*; do
    [ -f "$made" ] && mv -f "$made" "$dest/${made#"$out"/}"
done

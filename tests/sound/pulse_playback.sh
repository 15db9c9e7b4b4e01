#!/usr/bin/env bash
# Plays a 30-second song with `audiocore play` through SDL's pulseaudio driver
# into the tests' own PulseAudio server, records the null sink's monitor with
# parec and checks that the recording is the song's conversion, sample for
# sample, without a gap. With "hogs", two processor hogs run beside it for
# the whole song. With "pause", PROBE plays it instead, pausing twice: the
# recording must be the conversion but for the fades at the pauses, with no
# frame skipped or repeated, and the positions PROBE logged must be what was
# heard, within 150 ms.
#
# usage: pulse_playback.sh AUDIOCORE PULSEDIR WORKDIR [quiet|hogs|pause PROBE]
set -euo pipefail

audiocore=${1:?}
pulse_dir=${2:?}
work=${3:?}
mode=${4:-quiet}
probe=${5:-}
here=$(cd "$(dirname "$0")" && pwd)
export PULSE_SERVER=unix:$pulse_dir/runtime/native PULSE_RUNTIME_PATH=$pulse_dir/runtime
export XDG_RUNTIME_DIR=$pulse_dir/runtime HOME=$pulse_dir
export AUDIOCORE_OUTPUT=sdl SDL_AUDIODRIVER=pulseaudio

rm -rf "$work"
mkdir -p "$work"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT

# A song with music-like content on both channels, made by real encoders.
sox -V1 -n -r 44100 -c 2 -b 16 "$work/song.wav" synth 30 sine 200-4000 pinknoise vol 0.4
lame --quiet -b 160 "$work/song.wav" "$work/song.mp3"
"$audiocore" convert "$work/song.mp3" "$work/reference.wav" >/dev/null

timeout 60 parec -d songwell_null.monitor --format=s16le --rate=44100 --channels=2 --raw \
    --latency-msec=20 >"$work/recording.raw" &
pids+=($!)
# On a busy machine parec may connect, or start to receive, only after the
# song has begun. The null sink's monitor gives silence while nothing plays,
# so once the recording has grown past a few pulls it is live.
for _ in $(seq 100); do
    [ "$(stat -c %s "$work/recording.raw" 2>/dev/null || echo 0)" -gt 32768 ] && break
    sleep 0.1
done
if [ "$mode" = hogs ]; then
    command -v stress-ng >/dev/null || { echo "stress-ng is missing (scripts/setup.sh installs it)" >&2; exit 1; }
    timeout 45 stress-ng --cpu 2 --cpu-method matrixprod --timeout 40s --quiet &
    pids+=($!)
fi
if [ "$mode" = pause ]; then
    timeout 50 "$probe" "$work/song.mp3" "$work/recording.raw" "$work/positions.log"
else
    timeout 45 "$audiocore" play "$work/song.mp3"
fi
# The sound server's own latency: what was sent is heard a little later.
sleep 0.7
cleanup
pids=()
if [ "$mode" = pause ]; then
    python3 "$here/check_pause.py" "$work/positions.log" "$work/recording.raw" \
        "$work/reference.wav"
else
    python3 "$here/compare_recording.py" "$work/recording.raw" "$work/reference.wav"
fi

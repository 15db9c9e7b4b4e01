#!/usr/bin/env bash
# An album whose songs run into each other, played through the tests' own
# PulseAudio server and recorded from its null sink's monitor: a 12 s tone
# cut into three songs, made by three encoders. `audiocore play A B C` and
# the player with the list (Standard mode) must give the three gapless
# conversions one after another, sample for sample; the player in Repeat
# mode (set over MPRIS) must go on from the third song into the first.
#
# usage: pulse_album.sh AUDIOCORE SONGWELL PULSEDIR WORKDIR
set -euo pipefail

audiocore=${1:?}
songwell=${2:?}
pulse_dir=${3:?}
work=${4:?}
here=$(cd "$(dirname "$0")" && pwd)
export PULSE_SERVER=unix:$pulse_dir/runtime/native PULSE_RUNTIME_PATH=$pulse_dir/runtime
export XDG_RUNTIME_DIR=$pulse_dir/runtime HOME=$pulse_dir
export AUDIOCORE_OUTPUT=sdl SDL_AUDIODRIVER=pulseaudio QT_QPA_PLATFORM=offscreen

rm -rf "$work"
mkdir -p "$work"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    pids=()
}
trap cleanup EXIT

# A steady tone, so that any gap is plain, cut into three 4 s songs.
sox -V1 -n -r 44100 -c 2 -b 16 "$work/album.wav" synth 12 sine 441 vol 0.5
for i in 0 1 2; do
    sox -V1 "$work/album.wav" "$work/part$i.wav" trim $((4 * i)) 4
done
lame --quiet -b 192 "$work/part0.wav" "$work/a.mp3"
lame --quiet -V 2 "$work/part1.wav" "$work/b.mp3"
ffmpeg -v error -y -i "$work/part2.wav" -c:a libmp3lame -b:a 160k "$work/c.mp3"
for song in a b c; do
    "$audiocore" convert "$work/$song.mp3" "$work/$song.wav"
done
sox -V1 "$work/a.wav" "$work/b.wav" "$work/c.wav" "$work/abc.wav"
sox -V1 "$work/a.wav" "$work/b.wav" "$work/c.wav" "$work/a.wav" "$work/abca.wav"

# Records the monitor into $1 while the rest of the command line runs.
record() {
    local out=$1
    shift
    timeout 60 parec -d songwell_null.monitor --format=s16le --rate=44100 --channels=2 --raw \
        --latency-msec=20 >"$out" &
    local recorder=$!
    # The monitor gives silence while nothing plays: once the recording has
    # grown past a few pulls it is live.
    for _ in $(seq 100); do
        [ "$(stat -c %s "$out" 2>/dev/null || echo 0)" -gt 32768 ] && break
        sleep 0.1
    done
    "$@"
    # The sound server's own latency: what was sent is heard a little later.
    sleep 0.7
    kill "$recorder" 2>/dev/null || true
    wait "$recorder" 2>/dev/null || true
}

# Runs the player on the three songs for $1 seconds, then ends it. The
# encoders' own loudness fields are left aside: the conversions are the
# songs as they are.
player_for() {
    local seconds=$1
    shift
    "$songwell" --replaygain off "$work/a.mp3" "$work/b.mp3" "$work/c.mp3" &
    local player=$!
    "$@"
    sleep "$seconds"
    kill "$player" 2>/dev/null || true
    wait "$player" 2>/dev/null || true
}

# The player in Repeat mode, set over MPRIS on a private session bus.
repeat_over_mpris() {
    local service=org.mpris.MediaPlayer2.songwell
    for _ in $(seq 100); do
        dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:$service 2>/dev/null | grep -q true && break
        sleep 0.1
    done
    dbus-send --session --print-reply --dest=$service /org/mpris/MediaPlayer2 \
        org.freedesktop.DBus.Properties.Set string:org.mpris.MediaPlayer2.Player \
        string:LoopStatus variant:string:Playlist >/dev/null
}

# The player starts at a third of full volume (its volume bar's first place,
# times five): what it plays is scaled so.
player_volume=$((13107 / 3 * 5))

status=0
echo "=== audiocore play A B C"
record "$work/cli.raw" timeout 45 "$audiocore" play "$work/a.mp3" "$work/b.mp3" "$work/c.mp3"
python3 "$here/compare_recording.py" "$work/cli.raw" "$work/abc.wav" || status=1

echo "=== songwell A B C, Standard"
record "$work/player.raw" player_for 14 true
python3 "$here/compare_recording.py" --volume $player_volume "$work/player.raw" "$work/abc.wav" ||
    status=1

echo "=== songwell A B C, Repeat"
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus" 4>"$work/bus.pid"
pids+=("$(cat "$work/bus.pid")")
DBUS_SESSION_BUS_ADDRESS=$(cat "$work/bus")
export DBUS_SESSION_BUS_ADDRESS
record "$work/repeat.raw" player_for 22 repeat_over_mpris
python3 "$here/compare_recording.py" --volume $player_volume --leading "$work/repeat.raw" \
    "$work/abca.wav" || status=1
exit $status

#!/usr/bin/env bash
# The gap between two songs of an album, heard as a listener hears it: a 12 s
# tone cut into two 6 s songs (lame -b 192), played by songwell and by
# mpg123 through a private PulseAudio server and recorded from its null
# sink's monitor. Prints, for each player, the longest silence inside the
# music and the time from the first sound to the last.
#
# usage: bench/gapless_album.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
work=$(mktemp -d)
pulse=$work/pulse
trap '"$here/tests/sound/pulse_server.sh" stop "$pulse" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
"$here/tests/sound/pulse_server.sh" start "$pulse"
export PULSE_SERVER=unix:$pulse/runtime/native PULSE_RUNTIME_PATH=$pulse/runtime
export XDG_RUNTIME_DIR=$pulse/runtime HOME=$pulse
export AUDIOCORE_OUTPUT=sdl SDL_AUDIODRIVER=pulseaudio QT_QPA_PLATFORM=offscreen

sox -V1 -n -r 44100 -c 2 -b 16 "$work/album.wav" synth 12 sine 441 vol 0.5
sox -V1 "$work/album.wav" "$work/one.wav" trim 0 6
sox -V1 "$work/album.wav" "$work/two.wav" trim 6 6
lame --quiet -b 192 "$work/one.wav" "$work/one.mp3"
lame --quiet -b 192 "$work/two.wav" "$work/two.mp3"

# Records the monitor while the command runs; the command ends itself.
record() {
    local out=$1
    shift
    parec -d songwell_null.monitor --format=s16le --rate=44100 --channels=2 --raw \
        --latency-msec=20 >"$out" &
    local recorder=$!
    sleep 1
    "$@" || true
    sleep 1
    kill "$recorder"
    wait "$recorder" 2>/dev/null || true
}

measure() { # NAME RAW
    python3 - "$1" "$2" <<'PY'
import array, sys
name, path = sys.argv[1], sys.argv[2]
pcm = array.array('h')
pcm.frombytes(open(path, 'rb').read())
frames = [max(abs(pcm[i]), abs(pcm[i + 1])) for i in range(0, len(pcm) - 1, 2)]
sound = [i for i, v in enumerate(frames) if v > 0]
first, last = sound[0], sound[-1]
longest = run = 0
for v in frames[first:last + 1]:
    run = run + 1 if v == 0 else 0
    longest = max(longest, run)
print(f'{name}: longest silence inside the music {longest / 44.1:.1f} ms, '
      f'first to last sound {(last - first + 1) / 44100:.3f} s')
PY
}

# The player keeps playing its list; it is ended once both songs are over.
player() {
    "$build/bin/songwell" --replaygain off "$work/one.mp3" "$work/two.mp3" &
    local pid=$!
    sleep 16
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}
record "$work/songwell.raw" player
record "$work/mpg123.raw" mpg123 -q -o pulse "$work/one.mp3" "$work/two.mp3"
measure songwell "$work/songwell.raw"
measure mpg123 "$work/mpg123.raw"

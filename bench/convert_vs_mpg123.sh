#!/usr/bin/env bash
# Converts the same four-minute 128 kbit/s stereo MP3 to WAV with
# `audiocore convert` and with Debian's mpg123 (as a black box), side by side
# in one run, and prints the ratio of their times and audiocore's peak memory;
# then the same for a Layer II encoding of the same sound.
#
# usage: bench/convert_vs_mpg123.sh [BUILD_DIR]      (default: build)
# Targets: audiocore takes at most 1.5 times mpg123's time; its peak resident
# memory stays under 16 MiB (Layer III). The exit status is 1 when a target is
# missed; the Layer II figures are for information.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
audiocore=$build/bin/audiocore
[ -x "$audiocore" ] || { echo "no $audiocore: build first (scripts/build.sh)" >&2; exit 2; }
for tool in sox lame twolame mpg123 hyperfine python3 /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/setup.sh installs it)" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Four minutes of music-like sound: a slow sweep with a second tone on the
# left, pink noise with a tremolo on the right, so the encoder has real work.
# The same sound is encoded as Layer III (the target) and as Layer II.
sox -V1 -n -r 44100 -c 2 -b 16 "$work/source.wav" \
    synth 240 sine 110-3520 pinknoise tremolo 3 60 vol 0.4
lame --quiet -b 128 -m j "$work/source.wav" "$work/song.mp3"
twolame --quiet -b 192 "$work/source.wav" "$work/song.mp2"
rm "$work/source.wav"

peak_kib() {
    /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F: '/Maximum resident set size/ {gsub(/ /, "", $2); print $2}'
}

# compare FILE DESCRIPTION TARGETED: times both decoders on FILE; with
# TARGETED=yes the time and memory targets decide the exit status.
compare() {
    local file=$1 description=$2 targeted=$3
    echo "input: $description ($(stat -c %s "$file") bytes)"
    hyperfine --style basic --warmup 1 --runs 7 --export-json "$work/times.json" \
        -n audiocore "$audiocore convert $file $work/audiocore.wav" \
        -n mpg123 "mpg123 -q -w $work/mpg123.wav $file"
    local audiocore_kib mpg123_kib
    audiocore_kib=$(peak_kib "$audiocore" convert "$file" "$work/audiocore.wav")
    mpg123_kib=$(peak_kib mpg123 -q -w "$work/mpg123.wav" "$file")
    python3 - "$work/times.json" "$audiocore_kib" "$mpg123_kib" "$targeted" <<'PY'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
a, m = results["audiocore"], results["mpg123"]
ratio = a["median"] / m["median"]
a_mib, m_mib = int(sys.argv[2]) / 1024, int(sys.argv[3]) / 1024
targeted = sys.argv[4] == "yes"
time_ok, memory_ok = ratio <= 1.5, a_mib < 16
# CPU time too: on a busy machine waiting for a core inflates the wall times.
cpu = (a["user"] + a["system"]) / (m["user"] + m["system"])
def verdict(ok):
    return f" (target: {'met' if ok else 'MISSED'})" if targeted else ""
print(f"time ratio audiocore/mpg123 (medians): {ratio:.2f}{verdict(time_ok)}")
print(f"cpu time ratio audiocore/mpg123 (user + system, means): {cpu:.2f}")
print(f"peak memory audiocore: {a_mib:.1f} MiB, mpg123: {m_mib:.1f} MiB{verdict(memory_ok)}")
sys.exit(0 if not targeted or (time_ok and memory_ok) else 1)
PY
}

status=0
compare "$work/song.mp3" "four minutes, Layer III, 128 kbit/s joint stereo, 44.1 kHz" yes || status=1
echo
compare "$work/song.mp2" "the same four minutes, Layer II, 192 kbit/s stereo, 44.1 kHz" no || status=1
exit $status

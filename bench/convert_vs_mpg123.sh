#!/usr/bin/env bash
# Converts the same four-minute 128 kbit/s stereo MP3 to WAV with
# `audiocore convert` and with Debian's mpg123 (as a black box), side by side
# in one run, and prints the ratio of their times and audiocore's peak memory.
#
# usage: bench/convert_vs_mpg123.sh [BUILD_DIR]      (default: build)
# Targets: audiocore takes at most 1.5 times mpg123's time; its peak resident
# memory stays under 16 MiB. The exit status is 1 when a target is missed.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
audiocore=$build/bin/audiocore
[ -x "$audiocore" ] || { echo "no $audiocore: build first (scripts/build.sh)" >&2; exit 2; }
for tool in sox lame mpg123 hyperfine python3 /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/setup.sh installs it)" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Four minutes of music-like sound: a slow sweep with a second tone on the
# left, pink noise with a tremolo on the right, so the encoder has real work.
sox -V1 -n -r 44100 -c 2 -b 16 "$work/source.wav" \
    synth 240 sine 110-3520 pinknoise tremolo 3 60 vol 0.4
lame --quiet -b 128 -m j "$work/source.wav" "$work/song.mp3"
rm "$work/source.wav"

echo "input: four minutes, 128 kbit/s joint stereo, 44.1 kHz ($(stat -c %s "$work/song.mp3") bytes)"
hyperfine --style basic --warmup 1 --runs 7 --export-json "$work/times.json" \
    -n audiocore "$audiocore convert $work/song.mp3 $work/audiocore.wav" \
    -n mpg123 "mpg123 -q -w $work/mpg123.wav $work/song.mp3"

peak_kib() {
    /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F: '/Maximum resident set size/ {gsub(/ /, "", $2); print $2}'
}
audiocore_kib=$(peak_kib "$audiocore" convert "$work/song.mp3" "$work/audiocore.wav")
mpg123_kib=$(peak_kib mpg123 -q -w "$work/mpg123.wav" "$work/song.mp3")

python3 - "$work/times.json" "$audiocore_kib" "$mpg123_kib" <<'PY'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
a, m = results["audiocore"], results["mpg123"]
ratio = a["median"] / m["median"]
a_mib, m_mib = int(sys.argv[2]) / 1024, int(sys.argv[3]) / 1024
time_ok, memory_ok = ratio <= 1.5, a_mib < 16
# CPU time too: on a busy machine waiting for a core inflates the wall times.
cpu = (a["user"] + a["system"]) / (m["user"] + m["system"])
print(f"time ratio audiocore/mpg123 (medians): {ratio:.2f}  (target <= 1.50: {'met' if time_ok else 'MISSED'})")
print(f"cpu time ratio audiocore/mpg123 (user + system, means): {cpu:.2f}")
print(f"peak memory audiocore: {a_mib:.1f} MiB, mpg123: {m_mib:.1f} MiB  (target < 16 MiB: {'met' if memory_ok else 'MISSED'})")
sys.exit(0 if time_ok and memory_ok else 1)
PY

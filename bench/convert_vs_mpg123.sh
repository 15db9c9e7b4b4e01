#!/usr/bin/env bash
# Converts the same four minutes of sound to WAV with `audiocore convert` and
# with Debian's mpg123 (as a black box), side by side in one run, for each
# kind of file people have: Layer III at 128 kbit/s joint stereo, at 320
# kbit/s and at lame's -V2, Layer II at 192 kbit/s, and Layer I (a
# conformance stream repeated). For each it prints the ratio of CPU times
# (user + system, means of 9 runs) on one thread, the ratio of wall times
# (medians) with the threads the machine gives a conversion, and the peak
# memory of both; then how long `audiocore info` takes against
# `mpg123 -t -n 1`.
#
# usage: bench/convert_vs_mpg123.sh [BUILD_DIR]      (default: build)
# Targets: CPU time on one thread at most 0.67 of mpg123's on every file;
# wall time with the threads at most 0.45 of mpg123's on the 128 kbit/s
# file; peak resident memory at most 4 MiB; `info` at most 1.5 times
# mpg123's time. The exit
# status is 1 when one is missed.
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
# left, pink noise with a tremolo on the right, so the encoders have real work.
sox -R -V1 -n -r 44100 -c 2 -b 16 "$work/source.wav" \
    synth 240 sine 110-3520 pinknoise tremolo 3 60 vol 0.4
lame --quiet -b 128 -m j "$work/source.wav" "$work/l3-128.mp3"
lame --quiet -b 320 "$work/source.wav" "$work/l3-320.mp3"
lame --quiet -V2 "$work/source.wav" "$work/l3-v2.mp3"
twolame --quiet -b 192 "$work/source.wav" "$work/l2-192.mp2"
rm "$work/source.wav"
# The Layer I conformance stream lasts 0.43 s: 564 copies make four minutes.
layer1=$here/../shared/vectors/l1-fl6.bit
if [ -f "$layer1" ]; then
    for _ in $(seq 564); do cat "$layer1"; done > "$work/l1.mp1"
fi

peak_kib() {
    /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F: '/Maximum resident set size/ {gsub(/ /, "", $2); print $2}'
}

status=0

# verdict NAME VALUE LIMIT: prints the figure against its target.
verdict() {
    python3 - "$@" <<'PY'
import sys
name, value, limit = sys.argv[1], float(sys.argv[2]), float(sys.argv[3])
ok = value <= limit
print(f"{name}: {value:.2f} (target at most {limit:g}: {'met' if ok else 'MISSED'})")
sys.exit(0 if ok else 1)
PY
}

# compare FILE DESCRIPTION [WALL_TARGET]: times both decoders on FILE.
compare() {
    local file=$1 description=$2 wall_target=${3:-}
    echo "== $description ($(stat -c %s "$file") bytes)"
    hyperfine --style none -N --warmup 1 --runs 9 --export-json "$work/times.json" \
        -n audiocore "$audiocore convert $file $work/audiocore.wav --threads 1" \
        -n threads "$audiocore convert $file $work/threads.wav" \
        -n mpg123 "mpg123 -q -w $work/mpg123.wav $file" >/dev/null 2>&1
    read -r cpu cpu_threads wall < <(python3 - "$work/times.json" <<'PY'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
def cpu(r):
    return r["user"] + r["system"]
a, t, m = results["audiocore"], results["threads"], results["mpg123"]
print(f"{cpu(a) / cpu(m):.4f} {cpu(t) / cpu(m):.4f} {t['median'] / m['median']:.4f}")
PY
)
    verdict "cpu time audiocore/mpg123, one thread" "$cpu" 0.67 || status=1
    echo "cpu time audiocore/mpg123, with the threads: $cpu_threads"
    if [ -n "$wall_target" ]; then
        verdict "wall time audiocore/mpg123, with the threads" "$wall" "$wall_target" || status=1
    else
        echo "wall time audiocore/mpg123, with the threads: $wall"
    fi
    cmp -s "$work/audiocore.wav" "$work/threads.wav" || { echo "the threads wrote other bytes"; status=1; }
    local kib
    kib=$(peak_kib "$audiocore" convert "$file" "$work/audiocore.wav" --threads 1)
    verdict "peak memory of audiocore convert, one thread, MiB" "$(python3 -c "print($kib / 1024)")" 4 || status=1
    kib=$(peak_kib "$audiocore" convert "$file" "$work/audiocore.wav")
    verdict "peak memory of audiocore convert, with the threads, MiB" "$(python3 -c "print($kib / 1024)")" 4 || status=1
    echo "peak memory of mpg123 -w, MiB: $(python3 -c "print(round($(peak_kib mpg123 -q -w "$work/mpg123.wav" "$file") / 1024, 2))")"
}

compare "$work/l3-128.mp3" "Layer III, 128 kbit/s joint stereo, 44.1 kHz" 0.45
compare "$work/l3-320.mp3" "Layer III, 320 kbit/s stereo, 44.1 kHz"
compare "$work/l3-v2.mp3" "Layer III, lame -V2"
compare "$work/l2-192.mp2" "Layer II, 192 kbit/s stereo, 44.1 kHz"
[ -f "$work/l1.mp1" ] && compare "$work/l1.mp1" "Layer I, l1-fl6 repeated"

echo "== audiocore info against mpg123 -t -n 1 (Layer III, 128 kbit/s)"
hyperfine --style none -N --warmup 3 --runs 30 --export-json "$work/info.json" \
    -n audiocore "$audiocore info $work/l3-128.mp3" \
    -n mpg123 "mpg123 -q -t -n 1 $work/l3-128.mp3" >/dev/null 2>&1
ratio=$(python3 -c 'import json, sys; r = {x["command"]: x for x in json.load(open(sys.argv[1]))["results"]}
print(r["audiocore"]["median"] / r["mpg123"]["median"])' "$work/info.json")
verdict "info time audiocore/mpg123 (medians)" "$ratio" 1.5 || status=1
exit $status

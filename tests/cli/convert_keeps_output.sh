#!/usr/bin/env bash
# `audiocore convert` replaces its output only with a whole WAV file: a
# conversion ended by SIGINT, SIGTERM or SIGHUP at any moment, or failing on
# a full disk, leaves the file it was to write as it was, keeps links and the
# files they name, never removes a device, and leaves no temporary file.
#
# usage: convert_keeps_output.sh AUDIOCORE
set -uo pipefail

audiocore=${1:?usage: convert_keeps_output.sh AUDIOCORE}
work=$(mktemp -d)
tmpfs=""
cleanup() {
    [ -n "$tmpfs" ] && umount "$tmpfs" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
failed=0

fail() {
    echo "FAIL: $*" >&2
    failed=1
}

# A song of an hour from one 20-second piece said 180 times: the decoder
# converts a few minutes in a fraction of a second, and each conversion must
# still run when the signal comes. It is stopped early, so its WAV (600 MB)
# is never written whole.
sox -n -r 44100 -c 2 "$work/piece.wav" synth 20 sine 440 sine 660 vol 0.5 || exit 1
lame --silent -t -b 128 "$work/piece.wav" "$work/piece.mp3" || exit 1
for _ in $(seq 12); do cat "$work/piece.mp3"; done >"$work/four.mp3"
for _ in $(seq 15); do cat "$work/four.mp3"; done >"$work/long.mp3"
rm "$work/piece.wav" "$work/four.mp3"

# Every file of `dir` whose name is not one of the others given: a
# temporary file left behind shows here.
leftovers() {
    local dir=$1
    shift
    local name keep
    for name in $(ls -A "$dir"); do
        keep=0
        for known in "$@"; do [ "$name" = "$known" ] && keep=1; done
        [ $keep -eq 0 ] && echo "$name"
    done
}

# The size of the temporary file the conversion writes beside `target`.
partial_size() {
    local f
    for f in "$(dirname "$1")"/.*.part; do
        [ -f "$f" ] && stat -c %s "$f" 2>/dev/null && return
    done
    echo 0
}

# Starts a conversion into `target`, waits until its partial output has
# grown to `bytes`, sends it SIG`signal`, and checks the status and that the
# target holds `expected`.
interrupt_at() {
    local signal=$1 bytes=$2 target=$3 expected=$4 status=$5 threads=$6
    local name="SIG$signal after $bytes bytes, $threads thread(s)"
    # The file named holds its text again, so that one failure is not
    # counted again in every later case.
    echo "$expected" >"$(readlink -f "$target")"
    # A background job of a script starts with SIGINT ignored; a
    # conversion in a terminal, which these stand for, does not.
    env --default-signal=HUP,INT,TERM \
        "$audiocore" convert "$work/long.mp3" "$target" --threads "$threads" 2>/dev/null &
    local pid=$!
    for _ in $(seq 3000); do
        [ "$(partial_size "$target")" -ge "$bytes" ] && break
        kill -0 $pid 2>/dev/null || break
        sleep 0.01
    done
    kill -"$signal" $pid 2>/dev/null || { fail "$name: the conversion ended before the signal"; return; }
    local got=0
    wait $pid || got=$?
    [ "$got" -eq "$status" ] || fail "$name: exit status $got, wanted $status"
    [ "$(head -c 100 "$target" | tr -d '\0')" = "$expected" ] ||
        fail "$name: $target was changed"
}

echo "precious" >"$work/keep.wav"
echo "named" >"$work/named.wav"
ln -s named.wav "$work/link.wav"
for threads in 1 2; do
    for moment in 0 65536 8000000; do
        interrupt_at INT $moment "$work/keep.wav" precious 130 $threads
        interrupt_at TERM $moment "$work/keep.wav" precious 143 $threads
        interrupt_at HUP $moment "$work/keep.wav" precious 129 $threads
    done
    interrupt_at INT 4000000 "$work/link.wav" named 130 $threads
done
[ -L "$work/link.wav" ] || fail "the link was replaced after a signal"

# Started with SIGHUP ignored, as nohup starts it, the conversion outlives
# the terminal: a SIGHUP changes nothing, and a SIGTERM after it is what
# ends the run.
echo "precious" >"$work/keep.wav"
(
    trap '' HUP
    exec env --default-signal=INT,TERM "$audiocore" convert "$work/long.mp3" "$work/keep.wav" 2>/dev/null
) &
pid=$!
for _ in $(seq 3000); do
    [ "$(partial_size "$work/keep.wav")" -ge 65536 ] && break
    kill -0 $pid 2>/dev/null || break
    sleep 0.01
done
kill -HUP $pid 2>/dev/null && kill -TERM $pid 2>/dev/null
got=0
wait $pid || got=$?
[ "$got" -eq 143 ] || fail "under nohup: exit status $got after SIGHUP and SIGTERM, wanted 143"
[ "$(cat "$work/keep.wav")" = precious ] || fail "under nohup: keep.wav was changed"
extra=$(leftovers "$work" long.mp3 piece.mp3 keep.wav named.wav link.wav)
[ -z "$extra" ] || fail "left after the signals: $extra"

# A full disk, as a file size limit (in 1024-byte blocks) makes it: the
# write past the limit fails, the conversion says so, the target stays.
full_disk() {
    local target=$1 expected=$2
    local got=0
    (ulimit -f 2048; exec "$audiocore" convert "$work/long.mp3" "$target") 2>"$work/err" || got=$?
    [ "$got" -eq 1 ] || fail "full disk, $target: exit status $got, wanted 1"
    [ "$(head -c 100 "$target" | tr -d '\0')" = "$expected" ] ||
        fail "full disk: $target was changed"
    grep -q "audiocore: $target:" "$work/err" || fail "full disk, $target: no message"
}
full_disk "$work/keep.wav" precious
full_disk "$work/link.wav" named
[ -L "$work/link.wav" ] || fail "the link was replaced after a full disk"
rm -f "$work/err"
extra=$(leftovers "$work" long.mp3 piece.mp3 keep.wav named.wav link.wav)
[ -z "$extra" ] || fail "left after a full disk: $extra"

# A real full file system, where the tests run as root.
mkdir "$work/small"
if [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o size=4m tmpfs "$work/small" 2>/dev/null; then
    tmpfs="$work/small"
    echo "precious" >"$tmpfs/keep.wav"
    got=0
    "$audiocore" convert "$work/long.mp3" "$tmpfs/keep.wav" 2>/dev/null || got=$?
    [ "$got" -eq 1 ] || fail "full tmpfs: exit status $got, wanted 1"
    [ "$(cat "$tmpfs/keep.wav")" = precious ] || fail "full tmpfs: the target was changed"
    extra=$(leftovers "$tmpfs" keep.wav)
    [ -z "$extra" ] || fail "left on the full tmpfs: $extra"
else
    echo "no tmpfs of our own (not root, or mounting refused): checked with ulimit only"
fi

# Done: the link still names the file, which now holds the whole WAV.
got=0
"$audiocore" convert "$work/piece.mp3" "$work/link.wav" || got=$?
[ "$got" -eq 0 ] || fail "a conversion through the link failed with $got"
[ -L "$work/link.wav" ] || fail "a conversion replaced the link itself"
[ "$(head -c 4 "$work/named.wav")" = RIFF ] || fail "the file the link names was not replaced"
"$audiocore" convert "$work/piece.mp3" "$work/keep.wav" || fail "a plain conversion failed"
[ "$(head -c 4 "$work/keep.wav")" = RIFF ] || fail "the target was not replaced"

# Devices are written directly and never removed.
got=0
"$audiocore" convert "$work/piece.mp3" /dev/null || got=$?
[ "$got" -eq 0 ] || fail "/dev/null: exit status $got, wanted 0"
[ -c /dev/null ] || fail "/dev/null is gone"
got=0
"$audiocore" convert "$work/piece.mp3" /dev/full 2>/dev/null || got=$?
[ "$got" -eq 1 ] || fail "/dev/full: exit status $got, wanted 1"
[ -c /dev/full ] || fail "/dev/full is gone"
ln -s /dev/full "$work/full.wav"
got=0
"$audiocore" convert "$work/piece.mp3" "$work/full.wav" 2>/dev/null || got=$?
[ "$got" -eq 1 ] || fail "link to /dev/full: exit status $got, wanted 1"
[ -L "$work/full.wav" ] && [ -c /dev/full ] || fail "the link to /dev/full or /dev/full is gone"
rm "$work/full.wav"
# A FIFO: its reader gets the whole file, and the FIFO stays.
mkfifo "$work/pipe.wav"
cat "$work/pipe.wav" >"$work/from-pipe" &
reader=$!
got=0
"$audiocore" convert "$work/piece.mp3" "$work/pipe.wav" 2>/dev/null || got=$?
wait $reader
[ -p "$work/pipe.wav" ] || fail "the FIFO is gone"
[ "$(head -c 4 "$work/from-pipe")" = RIFF ] || fail "the FIFO's reader got no WAV file"
rm -f "$work/from-pipe" "$work/pipe.wav"

extra=$(leftovers "$work" long.mp3 piece.mp3 keep.wav named.wav link.wav small)
[ -z "$extra" ] || fail "left at the end: $extra"
[ $failed -eq 0 ] && echo "all outputs kept"
exit $failed

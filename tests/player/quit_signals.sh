#!/usr/bin/env bash
# SIGTERM, SIGINT and SIGHUP end a playing songwell (run under xvfb-run) within one
# second, with a normal exit: the song stops and the program quits, as a
# logout, kill or Ctrl-C in the terminal expect.
#
# usage: quit_signals.sh SONGWELL SONG
set -euo pipefail

songwell=${1:?}
song=${2:?}
failed=0
for signal in TERM INT HUP; do
    "$songwell" "$song" &
    pid=$!
    # Let it open the window, the device and begin playing.
    sleep 3
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "songwell ended before it got SIG$signal" >&2
        exit 1
    fi
    start=$(date +%s%N)
    kill -"$signal" "$pid"
    # Polled, so a player that ignores the signal fails here instead of hanging.
    for _ in $(seq 200); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.01
    done
    ms=$((($(date +%s%N) - start) / 1000000))
    if kill -0 "$pid" 2>/dev/null; then
        echo "SIG$signal: songwell still runs after $ms ms" >&2
        kill -KILL "$pid"
        wait "$pid" || true
        failed=1
        continue
    fi
    status=0
    wait "$pid" || status=$?
    echo "SIG$signal: ended in $ms ms with exit status $status"
    if [ "$status" -ne 0 ] || [ "$ms" -gt 1000 ]; then
        failed=1
    fi
done
exit $failed

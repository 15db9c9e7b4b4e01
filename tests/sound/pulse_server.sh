#!/usr/bin/env bash
# Starts or stops a PulseAudio daemon of the tests' own: a private runtime
# folder, no configuration of the machine or the user, and one null sink whose
# monitor the tests record. Nothing else on the machine is touched.
#
# usage: pulse_server.sh start|stop DIR
set -euo pipefail

action=${1:?usage: pulse_server.sh start|stop DIR}
dir=${2:?usage: pulse_server.sh start|stop DIR}
export PULSE_RUNTIME_PATH=$dir/runtime PULSE_STATE_PATH=$dir/state XDG_RUNTIME_DIR=$dir/runtime
export PULSE_SERVER=unix:$dir/runtime/native HOME=$dir

case $action in
start)
    "$0" stop "$dir" 2>/dev/null || true
    rm -rf "$dir"
    mkdir -p "$dir/runtime" "$dir/state"
    chmod 700 "$dir/runtime"
    command -v pulseaudio >/dev/null || { echo "pulse_server: pulseaudio is missing (scripts/setup.sh installs it)" >&2; exit 1; }
    # -n: no default script; the sink runs at the songs' own format, so what
    # reaches its monitor is what the player sent, untouched.
    pulseaudio -n --daemonize=yes --use-pid-file=yes --exit-idle-time=-1 --disallow-exit \
        --disable-shm=yes --log-target=file:"$dir/pulse.log" \
        --load="module-native-protocol-unix socket=$dir/runtime/native auth-anonymous=1" \
        --load="module-null-sink sink_name=songwell_null rate=44100 format=s16le channels=2" \
        --load="module-always-sink" 2>>"$dir/pulse.log"
    for _ in $(seq 100); do
        pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    pactl info >/dev/null
    pactl set-default-sink songwell_null
    pactl set-sink-volume songwell_null 100%
    ;;
stop)
    if [ -d "$dir/runtime" ]; then
        pulseaudio --kill 2>/dev/null || true
        for _ in $(seq 50); do
            pulseaudio --check 2>/dev/null || break
            sleep 0.1
        done
    fi
    ;;
*)
    echo "usage: pulse_server.sh start|stop DIR" >&2
    exit 2
    ;;
esac

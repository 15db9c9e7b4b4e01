#!/usr/bin/env bash
# The player on a private session bus, driven through MPRIS as media keys and
# playerctl drive it: PlayPause, Next, Seek and Volume, with Metadata,
# PlaybackStatus and PropertiesChanged read back. Run under xvfb-run.
#
# usage: mpris.sh SONGWELL SONG...
set -euo pipefail

songwell=${1:?}
shift
# shellcheck source=private_bus.sh
. "$(dirname "$0")/private_bus.sh"

service=org.mpris.MediaPlayer2.songwell
path=/org/mpris/MediaPlayer2
player=org.mpris.MediaPlayer2.Player
dbus-monitor "type='signal',interface='org.freedesktop.DBus.Properties',member='PropertiesChanged'" \
    >"$work/signals" 2>/dev/null &
pids+=($!)

call() { dbus-send --session --print-reply --dest=$service $path "$@" >/dev/null; }
get() {
    dbus-send --session --print-reply=literal --dest=$service $path \
        org.freedesktop.DBus.Properties.Get string:$player string:"$1"
}
fail() {
    echo "mpris: $*" >&2
    exit 1
}
# Waits up to 5 s for property $1 to match the pattern $2.
expect() {
    for _ in $(seq 50); do
        get "$1" 2>/dev/null | grep -Eq "$2" && return 0
        sleep 0.1
    done
    fail "$1 is $(get "$1" 2>&1 | tr -s ' \n' ' '), not /$2/"
}
position_s() { get Position | awk '{ print int($NF / 1000000) }'; }

AUDIOCORE_OUTPUT=null "$songwell" "$@" &
pids+=($!)
for _ in $(seq 100); do
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:$service 2>/dev/null | grep -q true && break
    sleep 0.1
done
dbus-send --session --print-reply --dest=$service $path org.freedesktop.DBus.Properties.Get \
    string:org.mpris.MediaPlayer2 string:Identity | grep -q Songwell || fail "no Identity"

# The first song plays by itself.
expect PlaybackStatus Playing
first=$(basename "$1" .mp3)
expect Metadata "$first"
get Metadata | grep -q "mpris:length" || fail "Metadata has no length"

# A pause keeps the position heard so far, which tells it from a stop.
expect Position "int64 [1-9]"
call $player.PlayPause
expect PlaybackStatus Paused
call $player.PlayPause
expect PlaybackStatus Playing

second=$(basename "$2" .mp3)
call $player.Next
expect Metadata "$second"
expect PlaybackStatus Playing

sleep 1
before=$(position_s)
call $player.Seek int64:8000000
after=$(position_s)
[ $((after - before)) -ge 7 ] && [ $((after - before)) -le 10 ] ||
    fail "Seek of 8 s moved the position from $before s to $after s"

dbus-send --session --print-reply --dest=$service $path org.freedesktop.DBus.Properties.Set \
    string:$player string:Volume variant:double:0.5 >/dev/null
expect Volume "0\.[45]"

call $player.Stop
expect PlaybackStatus Stopped

sleep 0.5
for property in PlaybackStatus Metadata Volume; do
    grep -q "\"$property\"" "$work/signals" || fail "no PropertiesChanged for $property"
done
echo "mpris: PlayPause, Next, Seek, Volume and Stop drove the player; its properties followed"

#!/usr/bin/env bash
# A folder and a song whose names are not UTF-8 (a Latin-1 "café" in a
# folder named with bytes 0xFF 0xFE), given to the player on the command
# line: the song plays, and MPRIS Metadata names it with a readable title
# and a file URL that keeps every byte. Run under xvfb-run.
#
# usage: mpris_names.sh SONGWELL SONG
set -euo pipefail

songwell=${1:?}
song=${2:?}
# shellcheck source=private_bus.sh
. "$(dirname "$0")/private_bus.sh"

folder="$work/"$'\xff\xfe'
mkdir "$folder"
cp "$song" "$folder/caf"$'\xe9'".mp3"

AUDIOCORE_OUTPUT=null "$songwell" "$folder" &
pids+=($!)

get() {
    dbus-send --session --print-reply=literal --dest=org.mpris.MediaPlayer2.songwell \
        /org/mpris/MediaPlayer2 org.freedesktop.DBus.Properties.Get \
        string:org.mpris.MediaPlayer2.Player string:"$1" 2>/dev/null
}
for _ in $(seq 100); do
    get PlaybackStatus | grep -q Playing && break
    sleep 0.1
done
get PlaybackStatus | grep -q Playing || { echo "mpris_names: the song does not play" >&2; exit 1; }
metadata=$(get Metadata)
echo "$metadata" | grep -q 'file://.*/%FF%FE/caf%E9.mp3' ||
    { echo "mpris_names: no byte-true URL in: $metadata" >&2; exit 1; }
echo "$metadata" | grep -q 'xesam:title' || { echo "mpris_names: no title" >&2; exit 1; }
echo "mpris_names: the song with a Latin-1 name in a folder of raw bytes plays and is named"

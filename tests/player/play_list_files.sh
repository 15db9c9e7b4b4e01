#!/usr/bin/env bash
# songwell given a play list file on its command line, in each format the
# player reads (M3U in Latin-1 with CRLF, M3U8, PLS, XSPF), on a private
# session bus: stepping through the list with MPRIS Next, Metadata's
# xesam:url names the expected songs in order (absolute and relative paths,
# a file URL, a UTF-8 name, a name with a Latin-1 byte; a missing song and a
# URL skipped), and the list then ends. Run under xvfb-run.
#
# usage: play_list_files.sh SONGWELL SONG
set -euo pipefail

songwell=${1:?}
song=${2:?}
# shellcheck source=private_bus.sh
. "$(dirname "$0")/private_bus.sh"

service=org.mpris.MediaPlayer2.songwell
path=/org/mpris/MediaPlayer2
player=org.mpris.MediaPlayer2.Player
fail() {
    echo "play_list_files: $*" >&2
    exit 1
}
get() {
    dbus-send --session --print-reply=literal --dest=$service $path \
        org.freedesktop.DBus.Properties.Get string:$player string:"$1"
}
# Waits up to 10 s for property $1 to hold the text $2.
expect() {
    for _ in $(seq 100); do
        get "$1" 2>/dev/null | grep -qF -- "$2" && return 0
        sleep 0.1
    done
    fail "$1 is $(get "$1" 2>&1 | tr -s ' \n' ' '), without $2"
}

root=$work/music
mkdir -p "$root/lists/sub" "$root/other"
for name in lists/one.mp3 lists/sub/two.mp3 "other/three 3.mp3" $'lists/caf\xc3\xa9.mp3' \
    $'lists/dj\xe9.mp3'; do
    cp "$song" "$root/$name"
done
# The songs as Metadata names them: file URLs with every byte escaped.
urls=("file://$root/lists/one.mp3" "file://$root/lists/sub/two.mp3"
    "file://$root/other/three%203.mp3" "file://$root/lists/caf%C3%A9.mp3"
    "file://$root/lists/dj%E9.mp3")

printf '#EXTM3U\r\n#EXTINF:2,One\r\n%s/lists/one.mp3\r\nsub/two.mp3\r\n' "$root" \
    >"$root/lists/latin1.m3u"
printf 'file://%s/other/three%%203.mp3\r\nmissing.mp3\r\nhttp://radio.example/live\r\n' "$root" \
    >>"$root/lists/latin1.m3u"
printf 'caf\xe9.mp3\r\nfile://%s/lists/dj%%E9.mp3\r\n' "$root" >>"$root/lists/latin1.m3u"

printf '#EXTM3U\n%s/lists/one.mp3\nsub/two.mp3\n../other/three 3.mp3\nmissing.mp3\n' "$root" \
    >"$root/lists/utf8.m3u8"
printf 'http://radio.example/live\ncaf\xc3\xa9.mp3\ndj\xe9.mp3\n' >>"$root/lists/utf8.m3u8"

printf '[playlist]\r\nFile1=%s/lists/one.mp3\r\nFile2=sub/two.mp3\r\n' "$root" \
    >"$root/lists/list.pls"
printf 'File3=file://%s/other/three%%203.mp3\r\nFile4=missing.mp3\r\n' "$root" \
    >>"$root/lists/list.pls"
printf 'File5=http://radio.example/live\r\nFile6=caf\xc3\xa9.mp3\r\nFile7=dj\xe9.mp3\r\n' \
    >>"$root/lists/list.pls"
printf 'NumberOfEntries=7\r\nVersion=2\r\n' >>"$root/lists/list.pls"

{
    printf '<?xml version="1.0" encoding="UTF-8"?>\r\n'
    printf '<playlist version="1" xmlns="http://xspf.org/ns/0/"><trackList>\r\n'
    for location in "file://$root/lists/one.mp3" sub/two.mp3 ../other/three%203.mp3 \
        missing.mp3 http://radio.example/live caf%C3%A9.mp3 dj%E9.mp3; do
        printf '<track><location>%s</location></track>\r\n' "$location"
    done
    printf '</trackList></playlist>\r\n'
} >"$root/lists/list.xspf"

for list in latin1.m3u utf8.m3u8 list.pls list.xspf; do
    AUDIOCORE_OUTPUT=null "$songwell" "$root/lists/$list" &
    pid=$!
    pids+=("$pid")
    for _ in $(seq 100); do
        dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:$service 2>/dev/null | grep -q true && break
        sleep 0.1
    done
    for url in "${urls[@]}"; do
        expect Metadata "$url"
        expect PlaybackStatus Playing
        dbus-send --session --print-reply --dest=$service $path $player.Next >/dev/null
    done
    # Past the last song the list ends: nothing plays.
    expect PlaybackStatus Stopped
    kill "$pid"
    wait "$pid" || true
    for _ in $(seq 100); do
        dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:$service 2>/dev/null | grep -q false && break
        sleep 0.1
    done
    echo "play_list_files: $list played its five songs in order"
done

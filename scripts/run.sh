#!/usr/bin/env bash
# Sets up, builds and starts Songwell: only what the player needs (the
# player, its plugins and `audiocore`, in build-player/; no test tools, no
# tests). Without arguments it plays the project's demo song; otherwise the
# files, folders and play list files given.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh" --player
# The window needs its plugins and skin, which building songwell brings.
"$here/scripts/build.sh" build-player -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONGWELL_TESTS=OFF \
    -- songwell audiocore
demo=$here/build-player/share/songwell/demo.mp3
if [ ! -f "$demo" ]; then
    "$here/scripts/make_demo_song.sh" "$demo"
fi
if [ $# -eq 0 ]; then
    set -- "$demo"
fi
exec "$here/build-player/bin/songwell" "$@"

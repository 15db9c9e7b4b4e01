#!/usr/bin/env bash
# Sets up, builds and starts Songwell. Without arguments it plays the
# project's demo song; otherwise the files and folders given.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
"$here/scripts/build.sh" build
demo=$here/build/share/songwell/demo.mp3
if [ ! -f "$demo" ]; then
    "$here/scripts/make_demo_song.sh" "$demo"
fi
if [ $# -eq 0 ]; then
    set -- "$demo"
fi
exec "$here/build/bin/songwell" "$@"

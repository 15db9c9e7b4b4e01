#!/usr/bin/env bash
# Sets up, builds and starts Songwell.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
"$here/scripts/build.sh" build
if [ -x "$here/build/bin/songwell" ]; then
    exec "$here/build/bin/songwell" "$@"
fi
# Until the player window is built, show what the engine makes of a stream.
stream=${1:-$here/../shared/vectors/l3-hecommon.bit}
exec "$here/build/bin/audiocore" info "$stream"

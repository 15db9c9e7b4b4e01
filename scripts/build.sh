#!/usr/bin/env bash
# Configures and builds one build tree: scripts/build.sh DIR [CMAKE ARGS...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-build}
shift || true
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
cmake -S "$here" -B "$here/$dir" "${generator[@]}" "$@"
cmake --build "$here/$dir" --parallel "$(nproc)"

#!/usr/bin/env bash
# Configures and builds one build tree, all of it or only the targets named
# after "--": scripts/build.sh DIR [CMAKE ARGS...] [-- TARGET...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-build}
shift || true
cmake_args=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    cmake_args+=("$1")
    shift
done
[ $# -gt 0 ] && shift
targets=()
[ $# -gt 0 ] && targets=(--target "$@")
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
cmake -S "$here" -B "$here/$dir" "${generator[@]}" "${cmake_args[@]}"
cmake --build "$here/$dir" --parallel "$(nproc)" "${targets[@]}"

#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
# Fails on any finding; the input that failed is left in build-fuzz/findings/
# (copy it into tests/fuzz/regressions/<target>/ once fixed).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
"$here/scripts/setup.sh"

build="$here/build-fuzz"
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
CC=clang CXX=clang++ cmake -S "$here" -B "$build" "${generator[@]}" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONGWELL_FUZZ=ON -DSONGWELL_TESTS=OFF
# Only the fuzz programs and what they need, not the whole GUI.
cmake --build "$build" --target fuzzers --parallel "$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for program in "$build"/bin/*_fuzzer; do
        name=$(basename "$program")
        targets+=("${name%_fuzzer}")
    done
fi

shared=${SONGWELL_SHARED_DIR:-$here/../shared}
mkdir -p "$build/findings"
status=0
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    "$here/tests/fuzz/seed_corpus.sh" "$target" "$corpus" "$shared" "$build"
    # Name readers are quadratic in the worst case by nature; keep their
    # inputs to sizes a real path or tag has.
    case "$target" in
    decode) max_len=8192 ;;
    decode_memory) max_len=4096 ;;
    *) max_len=4096 ;;
    esac
    echo "=== fuzz $target for ${seconds}s"
    if ! "$build/bin/${target}_fuzzer" "$corpus" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
        -artifact_prefix="$build/findings/${target}-" -print_final_stats=1 \
        > "$build/findings/$target.log" 2>&1; then
        echo "fuzz $target: FINDING (see $build/findings/)"
        tail -40 "$build/findings/$target.log"
        status=1
    else
        grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "$build/findings/$target.log" || true
    fi
done
[ $status -eq 0 ] && echo "fuzz: ${#targets[@]} passed, 0 failed"
exit $status

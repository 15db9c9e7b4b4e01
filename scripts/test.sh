#!/usr/bin/env bash
# Sets up, builds and runs every test, twice: a normal build, and a build with
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export AUDIOCORE_OUTPUT=${AUDIOCORE_OUTPUT:-null}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# Qt's own libraries leak by design at exit; only the project's leaks count.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/tests/lsan.supp}

status=0
run_suite() {
    local dir=$1
    shift
    echo "=== build $dir"
    "$here/scripts/build.sh" "$dir" "$@"
    echo "=== test $dir"
    (cd "$here/$dir" && ctest --output-on-failure --timeout 600 -j "$(nproc)") || status=1
}

run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DSONGWELL_SANITIZE=ON
exit $status

#!/usr/bin/env bash
# Sets up, builds and runs every test, twice: a normal build, and a build with
# AddressSanitizer and UndefinedBehaviorSanitizer. A third build with
# ThreadSanitizer runs the tests of the threaded parts: the control, the
# command line and the player. The Wayland tests are left out of it: they test
# where the window is drawn and moved, not threads, and Qt's Wayland client,
# built without the sanitizer, only gives it false reports there.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export AUDIOCORE_OUTPUT=${AUDIOCORE_OUTPUT:-null}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# Qt's own libraries leak by design at exit; only the project's leaks count.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/tests/lsan.supp}
# The build itself runs Qt tools of the ThreadSanitizer build, so this is set
# for the build as well as for the tests.
export TSAN_OPTIONS=${TSAN_OPTIONS:-suppressions=$here/tests/tsan.supp:halt_on_error=1:second_deadlock_stack=1}

status=0
# run_suite DIR "CTEST ARGS" CMAKE ARGS...
run_suite() {
    local dir=$1 selection=$2
    shift 2
    echo "=== build $dir"
    "$here/scripts/build.sh" "$dir" "$@"
    echo "=== test $dir"
    # shellcheck disable=SC2086 # the selection is a list of ctest arguments
    (cd "$here/$dir" && ctest --output-on-failure --timeout 600 -j "$(nproc)" $selection) ||
        status=1
}

run_suite build "" -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_suite build-asan "" -DCMAKE_BUILD_TYPE=Debug -DSONGWELL_SANITIZE=ON
run_suite build-tsan "-L control|player|cli -LE wayland" -DCMAKE_BUILD_TYPE=Debug -DSONGWELL_TSAN=ON
exit $status

#!/usr/bin/env bash
# run_in_sway.sh COMMAND [ARGS...]: runs COMMAND as a client of a private,
# headless sway, as xvfb-run does for an X server, and ends sway afterwards.
#
# sway refuses to run as root, so under root (as in CI) it runs as the
# unprivileged user nobody, with a runtime folder of its own; the command
# keeps its own user and reaches sway through the socket's full path.
# COMMAND finds: WAYLAND_DISPLAY (the socket), SWAYSOCK (for swaymsg),
# SWAY_OUTPUT (the output's name). The output is 1280 x 800 with a plain
# background of SWAY_DESKTOP_COLOUR (#204080 unless set).
#
# Exits 77, which CTest counts as skipped, with the reason on standard error
# only when sway is missing or cannot start; otherwise with COMMAND's status.
set -euo pipefail

skip() {
    echo "SKIPPED: $*" >&2
    exit 77
}

for tool in sway swaymsg swaybg grim; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/setup.sh installs it)"
done

colour=${SWAY_DESKTOP_COLOUR:-#204080}
base=$(mktemp -d "${TMPDIR:-/tmp}/songwell-sway.XXXXXX")
chmod 755 "$base"
sway_runtime=$base/sway
client_runtime=$base/client
mkdir -m 700 "$sway_runtime" "$client_runtime"

run_as=()
if [ "$(id -u)" -eq 0 ]; then
    chown nobody:nogroup "$sway_runtime"
    run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi

cat >"$base/config" <<EOF
output HEADLESS-1 resolution 1280x800 position 0 0 scale 1 bg $colour solid_color
xwayland disable
default_border none
default_floating_border none
focus_follows_mouse no
EOF
chmod 644 "$base/config"

sway_pid=
finish() {
    local status=$?
    if [ -n "$sway_pid" ] && kill -0 "$sway_pid" 2>/dev/null; then
        kill -TERM "$sway_pid" 2>/dev/null || true
        for _ in $(seq 50); do
            kill -0 "$sway_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$sway_pid" 2>/dev/null || true
    fi
    rm -rf "$base"
    exit "$status"
}
trap finish EXIT
trap 'exit 143' TERM INT

(
    cd /
    exec "${run_as[@]}" env -i PATH="$PATH" HOME="$sway_runtime" XDG_RUNTIME_DIR="$sway_runtime" \
        WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway --config "$base/config"
) >"$base/sway.log" 2>&1 &
sway_pid=$!

# The compositor is up once both its sockets answer; it may take a while on
# a loaded machine.
socket=
for _ in $(seq 300); do
    if ! kill -0 "$sway_pid" 2>/dev/null; then
        cat "$base/sway.log" >&2
        skip "sway could not start (log above)"
    fi
    ipc=$(find "$sway_runtime" -maxdepth 1 -name 'sway-ipc.*.sock' -print -quit 2>/dev/null)
    if [ -S "$sway_runtime/wayland-1" ] && [ -n "$ipc" ] &&
        SWAYSOCK=$ipc swaymsg -t get_outputs >/dev/null 2>&1; then
        socket=$sway_runtime/wayland-1
        break
    fi
    sleep 0.1
done
[ -n "$socket" ] || {
    cat "$base/sway.log" >&2
    skip "sway did not open its sockets within 30 s (log above)"
}

export WAYLAND_DISPLAY=$socket SWAYSOCK=$ipc SWAY_OUTPUT=HEADLESS-1
export XDG_RUNTIME_DIR=$client_runtime
export SWAY_DESKTOP_COLOUR=$colour
unset DISPLAY
status=0
"$@" || status=$?
exit "$status"

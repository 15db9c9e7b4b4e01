# Sourced by the player's bus tests: a scratch folder, a private session bus
# for the test alone, and a clean-up that ends what the test started (every
# pid it adds to `pids`) and removes the folder.
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/address" 4>"$work/pid"
pids+=("$(cat "$work/pid")")
DBUS_SESSION_BUS_ADDRESS=$(cat "$work/address")
export DBUS_SESSION_BUS_ADDRESS

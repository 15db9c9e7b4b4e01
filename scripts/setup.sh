#!/usr/bin/env bash
# Installs the Debian packages that Songwell needs: all of them (building,
# running and testing), or with --player only those that building and
# running the player, its plugins and `audiocore` need (scripts/run.sh).
# Safe to run again: only missing packages are installed.
#
# usage: scripts/setup.sh [--player]
set -euo pipefail

# Building and running the player; sox and lame make the demo song.
player_packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-tools-dev qt6-svg-dev libqt6svg6 libqt6opengl6-dev libgl-dev qt6-qpa-plugins
    qt6-wayland libsdl2-dev libtag1-dev fonts-dejavu-core
    sox lame
)
# The tests, benchmarks, fuzzing and packaging: their frameworks, reference
# decoders, X and Wayland servers, sound server, session bus and load.
test_packages=(
    python3
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth libxcb1-dev
    clang libclang-rt-14-dev
    mpg123 twolame ffmpeg hyperfine time
    pulseaudio pulseaudio-utils stress-ng dbus-daemon dbus-bin
    desktop-file-utils appstream dpkg-dev
    sway swaybg grim libwayland-dev libwayland-bin
)

packages=("${player_packages[@]}")
case ${1:-} in
--player) ;;
"") packages+=("${test_packages[@]}") ;;
*)
    echo "usage: scripts/setup.sh [--player]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

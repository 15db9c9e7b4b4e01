#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Songwell need.
# Safe to run again: only missing packages are installed.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config python3
    qt6-base-dev qt6-tools-dev qt6-svg-dev libqt6svg6 libqt6opengl6-dev libgl-dev qt6-qpa-plugins
    libsdl2-dev libtag1-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth fonts-dejavu-core libxcb1-dev
    clang libclang-rt-14-dev
    mpg123 lame sox twolame ffmpeg hyperfine time
    pulseaudio pulseaudio-utils stress-ng dbus-daemon dbus-bin
    desktop-file-utils appstream dpkg-dev
    qt6-wayland sway swaybg grim libwayland-dev libwayland-bin
)

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

#!/usr/bin/env bash
# Builds the Debian package from the normal build (build/), and with --check
# installs it with apt-get as a user would, runs the installed programs and
# removes the package again.
#   scripts/package.sh [--check]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
"$here/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cd "$here/build"
rm -f songwell_*.deb
cpack -G DEB
package=$(ls songwell_*.deb)
dpkg-deb --field "$package" Package Version Depends Recommends
[ "${1:-}" = --check ] || exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "./$package"
trap 'DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq songwell' EXIT
/usr/bin/songwell --version
/usr/bin/audiocore --version
# The installed program finds its plugins and skin where the package put
# them: without them it would end at once.
desktop-file-validate /usr/share/applications/songwell.desktop
(
    export QT_QPA_PLATFORM=offscreen AUDIOCORE_OUTPUT=null
    timeout 5 /usr/bin/songwell || [ $? -eq 124 ]
)
echo "package: $package installs, and the installed songwell starts"

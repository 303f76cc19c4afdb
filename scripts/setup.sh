#!/usr/bin/env bash
# Installs the Debian packages the project needs when they are missing, then configures and
# builds it in build/. Sourced by run.sh and test.sh.
set -euo pipefail

PACKAGES=(cmake ninja-build g++ qt6-base-dev libqt6test6 libgl-dev fonts-dejavu-core
          xvfb xdotool imagemagick x11-utils
          iproute2 dbus-daemon dbus-bin dbus-session-bus-common at-spi2-core python3-gi
          gir1.2-atspi-2.0)

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    if [[ $(id -u) -ne 0 ]]; then
        echo "Missing packages. Install them as root with:" >&2
        echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -- -j"$(nproc)"

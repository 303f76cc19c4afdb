#!/usr/bin/env bash
# Installs the Debian packages the project needs when they are missing, then configures and
# builds it in build/. Sourced by run.sh and test.sh.
set -euo pipefail

PACKAGES=(cmake ninja-build g++ qt6-base-dev libqt6test6 libgl-dev fonts-dejavu-core
          xvfb xdotool imagemagick x11-utils xclip
          iproute2 dbus-daemon dbus-bin dbus-session-bus-common at-spi2-core python3-gi
          gir1.2-atspi-2.0)
# "Test GDB": the Firebird client and its headers, the embedded engine for local files, and
# for the tests and the demo a server to start privately and the command-line tools.
PACKAGES+=(libfbclient2 firebird-dev firebird3.0-server-core firebird3.0-server firebird3.0-utils)

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
    # Installing firebird3.0-server would start the machine's own server; the tests start
    # private ones and must not meet it. Without a policy already in place, one is held for
    # the install only (debconf's SYSDBA password question takes its default unasked).
    policy=""
    if [[ ! -e /usr/sbin/policy-rc.d ]]; then
        policy=/usr/sbin/policy-rc.d
        printf '#!/bin/sh\nexit 101\n' >"$policy"
        chmod 755 "$policy"
    fi
    status=0
    apt-get -o DPkg::Lock::Timeout=300 update -qq || status=$?
    if ((status == 0)); then
        apt-get -o DPkg::Lock::Timeout=300 install -y -qq --no-install-recommends \
            "${missing[@]}" || status=$?
    fi
    [[ -z "$policy" ]] || rm -f "$policy"
    ((status == 0)) || exit "$status"
fi

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -- -j"$(nproc)"

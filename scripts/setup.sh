#!/bin/sh
# Installs everything the build and the tests need on Debian/Ubuntu, and
# cross-builds libjpeg-turbo for i686 Windows once. Idempotent: a second run
# with everything present only checks and returns.
set -eu

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${QUORVANE_BUILD:-$ROOT/build}

PACKAGES="g++-mingw-w64-i686-win32 wine wine32:i386 fonts-wine xvfb xauth xdotool imagemagick openbox
cmake ninja-build nasm g++ clang libclang-rt-14-dev libjpeg62-turbo-dev
libjpeg-turbo-progs libgtest-dev libgmock-dev dpkg-dev binutils-mingw-w64-i686"

SUDO=
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi

missing_packages() {
    for p in $PACKAGES; do
        status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
        [ "$status" = installed ] || printf '%s ' "$p"
    done
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    $SUDO apt-get update -q
fi

MISSING=$(missing_packages)
if [ -n "$MISSING" ]; then
    echo "setup: installing $MISSING"
    $SUDO apt-get update -q
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $MISSING
fi

"$ROOT/scripts/build-libjpeg-win32.sh" "$BUILD/third_party"

#!/bin/sh
# Installs everything the build and the tests need on Debian/Ubuntu, and
# cross-builds libjpeg-turbo for i686 Windows once. Idempotent: a second run
# with everything present only checks and returns.
set -eu

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${QUORVANE_BUILD:-$ROOT/build}

PACKAGES="g++-mingw-w64-i686-win32 wine wine32:i386 fonts-wine xvfb xauth xdotool imagemagick openbox
cmake ninja-build nasm g++ clang libclang-rt-14-dev libjpeg62-turbo-dev
libjpeg-turbo-progs libgtest-dev libgmock-dev dpkg-dev binutils-mingw-w64-i686 python3 faketime"

SUDO=
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi

missing_packages() {
    for p in $PACKAGES; do
        status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
        [ "$status" = installed ] || printf '%s ' "$p"
    done
}

# A mirror caught mid-sync fails one index now and then: try again, and go on
# with what was fetched (the install below fails if something is truly missing).
apt_update() {
    for attempt in 1 2 3; do
        $SUDO apt-get update -q && return 0
        echo "setup: apt-get update failed (attempt $attempt)" >&2
        sleep 5
    done
}

apt_install() {
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "$@"
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    apt_update
fi

MISSING=$(missing_packages)
if [ -n "$MISSING" ]; then
    echo "setup: installing $MISSING"
    apt_update
    # shellcheck disable=SC2086
    if ! apt_install $MISSING; then
        # With one archive's 32-bit index missing (the mirror above), a 32-bit
        # library cannot match the version of its 64-bit twin from that
        # archive; the release's own versions always match.
        echo "setup: installing from the release's own archive instead" >&2
        # shellcheck disable=SC2086
        apt_install -t "$(. /etc/os-release && echo "$VERSION_CODENAME")" $MISSING
    fi
fi

"$ROOT/scripts/build-libjpeg-win32.sh" "$BUILD/third_party"

# A kernel that runs no 32-bit code (some virtual machines) cannot start the
# 32-bit Wine: the Windows tests then run as a 64-bit build under the 64-bit
# Wine (scripts/wine-env.sh), which needs its compiler and its libjpeg.
# QUORVANE_PRESET=win64 asks for that run on any machine.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1 || [ "${QUORVANE_PRESET:-}" = win64 ]; then
    PACKAGES="wine64 g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64"
    MISSING=$(missing_packages)
    if [ -n "$MISSING" ]; then
        echo "setup: this machine runs no 32-bit code; installing $MISSING"
        # shellcheck disable=SC2086
        apt_install $MISSING || apt_install -t "$(. /etc/os-release && echo "$VERSION_CODENAME")" $MISSING
    fi
    "$ROOT/scripts/build-libjpeg-win32.sh" "$BUILD/third_party" x86_64
fi

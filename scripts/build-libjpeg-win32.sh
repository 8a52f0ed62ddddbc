#!/bin/sh
# Cross-builds libjpeg-turbo (static, with its SIMD code through nasm) for
# i686 Windows from the distribution's own source package, once. The result
# is installed under $1/libjpeg-win32 and reused by every later run. With
# x86_64 as $2, the same for 64-bit Windows under $1/libjpeg-win64 (for the
# tests on a machine that runs no 32-bit code).
set -eu

DEST=${1:?usage: build-libjpeg-win32.sh DIR [i686|x86_64]}
ARCH=${2:-i686}
case "$ARCH" in
i686) PREFIX=$DEST/libjpeg-win32 ;;
x86_64) PREFIX=$DEST/libjpeg-win64 ;;
*) echo "unknown architecture $ARCH" >&2; exit 2 ;;
esac
# The stamp names the compiler flavour and the fixed build date (below), so
# a library left by another flavour, or dated by the clock, is rebuilt.
STAMP=$PREFIX/.built-win32-dated
[ -f "$STAMP" ] && exit 0

WORK=$DEST/libjpeg-src-$ARCH
rm -rf "$WORK" "$PREFIX"
SRC=$("$(dirname "$0")/fetch-libjpeg-source.sh" "$WORK")
# libjpeg-turbo writes the day of its build into its version string
# ("build 20261209"), which the exe carries; unless told, CMake takes the
# clock's. The source package's own date, its changelog's (which Debian's
# build of it takes too), keeps the library, and so the exe, the same on
# any day and machine, and the same whether it was built for this commit
# or an earlier one.
RELEASED=$(dpkg-parsechangelog -l "$SRC/debian/changelog" -S Timestamp)
BUILD_DAY=$(date -u -d "@$RELEASED" +%Y%m%d)

# -Wno-dev: the library's own CMake notices about its project, not ours.
cmake -S "$SRC" -B "$WORK/build" -G Ninja -Wno-dev \
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=$ARCH \
    -DCMAKE_C_COMPILER=$ARCH-w64-mingw32-gcc-win32 \
    -DCMAKE_RC_COMPILER=$ARCH-w64-mingw32-windres \
    -DCMAKE_ASM_NASM_COMPILER=nasm \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" -DBUILD="$BUILD_DAY" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=ON \
    -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF -DREQUIRE_SIMD=ON >"$WORK/configure.log"
cmake --build "$WORK/build" --target install >"$WORK/build.log"
rm -rf "$WORK"
touch "$STAMP"

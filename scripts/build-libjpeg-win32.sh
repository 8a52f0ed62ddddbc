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
# The stamp names the compiler flavour, so a library left by another one is rebuilt.
STAMP=$PREFIX/.built-win32
[ -f "$STAMP" ] && exit 0

WORK=$DEST/libjpeg-src-$ARCH
rm -rf "$WORK" "$PREFIX"
SRC=$("$(dirname "$0")/fetch-libjpeg-source.sh" "$WORK")

# -Wno-dev: the library's own CMake notices about its project, not ours.
cmake -S "$SRC" -B "$WORK/build" -G Ninja -Wno-dev \
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=$ARCH \
    -DCMAKE_C_COMPILER=$ARCH-w64-mingw32-gcc-win32 \
    -DCMAKE_RC_COMPILER=$ARCH-w64-mingw32-windres \
    -DCMAKE_ASM_NASM_COMPILER=nasm \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=ON \
    -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF -DREQUIRE_SIMD=ON >"$WORK/configure.log"
cmake --build "$WORK/build" --target install >"$WORK/build.log"
rm -rf "$WORK"
touch "$STAMP"

#!/bin/sh
# Builds libjpeg-turbo natively with Clang, the fuzzer's coverage
# instrumentation and the sanitizers, from the distribution's own source
# package, once, for the fuzz build only. Without SIMD, so every decoding
# step is C code the fuzzer can see into. Installed under $1/libjpeg-fuzz.
set -eu

DEST=${1:?usage: build-libjpeg-fuzz.sh DIR}
PREFIX=$DEST/libjpeg-fuzz
STAMP=$PREFIX/.built
[ -f "$STAMP" ] && exit 0

WORK=$DEST/libjpeg-fuzz-src
rm -rf "$WORK"
SRC=$("$(dirname "$0")/fetch-libjpeg-source.sh" "$WORK")

FLAGS="-g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined"
# -Wno-dev: the library's own CMake notices about its project, not ours.
cmake -S "$SRC" -B "$WORK/build" -G Ninja -Wno-dev \
    -DCMAKE_C_COMPILER=clang -DCMAKE_C_FLAGS="$FLAGS" \
    -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX="$PREFIX" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF \
    -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF >"$WORK/configure.log"
cmake --build "$WORK/build" --target install >"$WORK/build.log"
rm -rf "$WORK"
touch "$STAMP"
